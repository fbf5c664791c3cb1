#include "driver/start_up.h"

#include <string>
#include <vector>

#include "base/text.h"
#include "driver/watchdog.h"
#include "profile/server_listing.h"
#include "rfc/rfc_library.h"

namespace {

constexpr std::string_view kItemKey = "ITEM=";
constexpr std::string_view kGlobalProfile = "GLOBAL.P00";
constexpr std::string_view kGlobalListingFile = "SAP Quadrant.Gbl";
constexpr std::string_view kItemFile = "Quadrant.Prf";

constexpr std::string_view kUsage =
    "Usage: kestrelon [OPTIONS] PROFILE [PARAMETERS [MORE-PARAMETERS]]\n"
    "\n"
    "Measures the DB4 database of an SAP system and prints a PRTG EXE/XML\n"
    "document. PROFILE names the system profile (extension .P00 by default),\n"
    "\"global\" for the global server listing, or anything with ITEM=NAME in\n"
    "the parameters for the item file.\n"
    "\n"
    "Options (before PROFILE):\n"
    "  --mode=NAME          output mode: EXEXML (default), Vantrel, Mirabel,\n"
    "                       Tessaryn or Corvane\n"
    "  --drive-root=DIR     host directory holding the drive letters, so that\n"
    "                       C:\\a\\b opens DIR/C/a/b (not on Windows; default /)\n"
    "  --rfc-library=NAME   the RFC library file beside the program to load\n"
    "                       instead of the default\n"
    "  --timeout=SECONDS    end the run with an error document after SECONDS\n"
    "                       (1 to 3600), naming the system and the step that\n"
    "                       did not answer; set it below the sensor's timeout\n"
    "  --help               print this text\n"
    "  --version            print the program's name and version\n"
    "\n"
    "Parameter keywords: ITEM=, #, @, $, %, ,SYSLOG, CH=, ,HOST=, ,NO=, GIGABYTE\n";

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// Handles one "--" argument. Options with a value are written --NAME=VALUE.
Outcome ApplyOption(std::string_view option, RunTexts& run, Output& output,
                    std::FILE* out) {
  if (option == "--help") {
    std::fputs(std::string(kUsage).c_str(), out);
    return Outcome::End(0);
  }
  if (option == "--version") {
    std::fprintf(out, "%s %s\n", std::string(kProgramName).c_str(),
                 std::string(kProgramVersion).c_str());
    return Outcome::End(0);
  }
  std::string_view name = option.substr(0, option.find('='));
  bool has_value = name.size() < option.size();
  std::string_view value = has_value ? option.substr(name.size() + 1) : "";
  bool known = name == "--mode" || name == "--drive-root" || name == "--rfc-library" ||
               name == "--timeout";
  if (!known) {
    return ErrorExit(output, out,
                     "Error 1101: Option " + std::string(option) + " is unknown...");
  }
#ifdef _WIN32
  if (name == "--drive-root") {
    return ErrorExit(output, out,
                     "Error 1103: Option --drive-root is not supported on Windows...");
  }
#endif
  if (!has_value || (value.empty() && name != "--mode")) {
    return ErrorExit(output, out,
                     "Error 1104: Option " + std::string(name) + " needs a value...");
  }
  if (name == "--mode") {
    std::optional<OutputMode> mode = OutputModeNamed(value);
    if (!mode) {
      return ErrorExit(output, out,
                       "Error 1102: Output-Mode " + std::string(value) + " is unknown...");
    }
    output.mode = *mode;
  } else if (name == "--timeout") {
    run.timeout_seconds = TimeoutSeconds(value);
    if (run.timeout_seconds == 0) {
      return ErrorExit(output, out,
                       "Error 1141: Timeout " + std::string(value) + " is unknown...");
    }
  } else if (name == "--drive-root") {
    run.paths.drive_root = value;
  } else {
    // Only a file name: the library is loaded from the program's directory,
    // and a value naming another place is refused before anything is opened.
    if (!IsPlainLibraryName(value)) {
      return ErrorExit(output, out,
                       "Error 1112: RFC-Library " + std::string(value) +
                           " is no file name beside the program...");
    }
    run.rfc_library = value;
  }
  return Outcome::GoOn();
}

// Appends ".P00" unless the fourth-last character is a dot.
std::string WithExtension(std::string name) {
  if (name.size() < 4 || name[name.size() - 4] != '.') name += ".P00";
  return name;
}

bool IsGlobalProfile(std::string_view name) { return UpperCase(name) == kGlobalProfile; }

}  // namespace

Outcome ErrorExit(Output& output, std::FILE* out, std::string_view message) {
  WriteErrorDocument(output, message);
  PrintOutputBuffer(output, out);
  return Outcome::End(2);
}

Outcome StartUp(int argc, const char* const* argv, RunTexts& run, Output& output,
                std::FILE* out) {
  run.StartTime = TimeText();
  run.HeaderLine.AssignCut(HeaderText(run.StartTime));
  run.program_path = argc > 0 ? argv[0] : "";

  int next = 1;
  for (; next < argc && StartsWith(argv[next], "--"); ++next) {
    Outcome option = ApplyOption(argv[next], run, output, out);
    if (option.ended()) return option;
  }
  std::vector<std::string_view> arguments(argv + next, argv + argc);
  if (arguments.empty()) {
    return ErrorExit(output, out, "Error 1001: Parameter for Profile-Name is missing !");
  }

  std::string profile(arguments[0]);
  std::string parameters(arguments.size() > 1 ? arguments[1] : "");
  if (arguments.size() > 2) parameters.append(" ").append(arguments[2]);
  run.second_argument = arguments.size() > 1 ? arguments[1] : "";
  if (!run.ParameterText.Assign(parameters)) {
    return ErrorExit(output, out, "Error 1105: Parameters too long...");
  }
  run.ParameterKeys.AssignCut(UpperCase(parameters));

  std::size_t item = run.ParameterKeys.view().find(kItemKey);
  if (item != std::string_view::npos) {
    run.ItemId.AssignCut(TakeItemId(run.ParameterText.view().substr(item + kItemKey.size())));
    run.MultiSystemRun = true;
    profile = kItemFile;
  }

  profile = WithExtension(profile);
  if (IsGlobalProfile(profile)) {
    run.MultiSystemRun = true;
    profile = kGlobalListingFile;
  }

  std::string_view keys = run.ParameterKeys.view();
  run.ConsoleReport = Contains(keys, "#") || Contains(keys, "@") ||
                      Contains(keys, "$") || Contains(keys, "%");

  // A backslash in the first position alone does not split: "\x" is a name.
  std::string directory;
  std::size_t last_backslash = profile.rfind('\\');
  if (last_backslash != std::string::npos && last_backslash >= 1) {
    directory = profile.substr(0, last_backslash + 1);
    profile.erase(0, last_backslash + 1);
  }
  if (IsGlobalProfile(profile)) {
    run.MultiSystemRun = true;
    profile = kGlobalListingFile;
  }

  if (!run.ProfileDir.Assign(directory)) {
    return ErrorExit(output, out, "Error 1107: Profile-Path " + directory + " too long...");
  }
  if (!run.ProfileName.Assign(profile)) {
    return ErrorExit(output, out, "Error 1106: Profile-Name " + profile + " too long...");
  }
  return Outcome::GoOn();
}

void PrintStartReport(const RunTexts& run, Output& output, std::FILE* out) {
  if (run.ConsoleReport) {
    std::fprintf(out, "%s\n", run.HeaderLine.c_str());
    // The executing line shows the parameters with every ":" a blank and cut
    // before " @"; the run's own text stays as it is.
    std::string shown = ReplaceAll(run.ParameterText.view(), ':', ' ');
    PrintReportLine(ListingExecutingText(run.StartTime, CutBefore(shown, " @")), out);
  }
  OpenDocument(output);
  PrintOpening(output, out);
}

std::string_view UsageText() { return kUsage; }
