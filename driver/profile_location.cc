#include "driver/profile_location.h"

#include <string>

#include "base/text.h"
#include "driver/start_up.h"

namespace {

constexpr std::string_view kPathFile = "C:\\PRTG_Path.Txt";
// The path file is read in pieces of at most 99 characters.
constexpr std::size_t kPathFilePiece = 99;
constexpr std::string_view kInstallLevel = "PRTG Network Monitor\\Custom Sensors\\ExeXml\\";
constexpr std::string_view kSensorLevel = "Custom Sensors\\ExeXml\\";
// Tried in this order when there is no path file; each names the root of
// the current drive.
constexpr std::string_view kFixedDirectories[] = {
    "\\Programme\\PRTG Network Monitor\\Custom Sensors\\ExeXml\\",
    "\\Program Files\\PRTG Network Monitor\\Custom Sensors\\ExeXml\\",
    "\\Program Files (x86)\\PRTG Network Monitor\\Custom Sensors\\ExeXml\\",
};

std::string MissingProfile(std::string_view name) {
  return "Error 1002: Profile " + std::string(name) + " is missing...";
}

std::string PathTooLong(std::string_view directory) {
  return "Error 1107: Profile-Path " + std::string(directory) + " too long...";
}

// A line names the PRTG installation directory when it starts with a
// backslash, or has a colon second or a backslash third.
bool QualifiesAsDirectory(std::string_view line) {
  return (line.size() >= 1 && line[0] == '\\') || (line.size() >= 2 && line[1] == ':') ||
         (line.size() >= 3 && line[2] == '\\');
}

// The last qualifying line of the path file, ending in a backslash.
std::string DirectoryFromPathFile(std::FILE* path_file) {
  std::string directory;
  LineReader reader(path_file);
  std::string line;
  while (reader.ReadPiece(kPathFilePiece, line)) {
    if (reader.piece_starts_line() && QualifiesAsDirectory(line)) directory = line;
  }
  if (directory.empty() || directory.back() != '\\') directory += '\\';
  return directory;
}

// The directory of the profile must end in ExeXml, in any letter case; the
// character after the six letters (the closing backslash) is not examined.
bool PassesPathCheck(std::string_view directory) {
  return directory.size() >= 7 &&
         UpperCase(directory.substr(directory.size() - 7, 6)) == "EXEXML";
}

Outcome OpenAsTyped(RunTexts& run, Output& output, std::FILE* out, FilePtr& profile_file) {
  run.ProfilePath = run.ProfileDir.str() + run.ProfileName.str();
  profile_file = OpenForReading(run.paths, run.ProfilePath);
  if (!profile_file) return ErrorExit(output, out, MissingProfile(run.ProfilePath));
  return Outcome::GoOn();
}

// Under the directory of the path file, the profile may lie at the
// installation level, the custom-sensor level or in the directory itself.
Outcome DescendFromPathFile(std::string& directory, const RunTexts& run, Output& output,
                            std::FILE* out) {
  const std::string name = run.ProfileName.str();
  for (std::string_view level : {kInstallLevel, kSensorLevel}) {
    std::string deeper = directory + std::string(level);
    if (!CanOpen(run.paths, deeper + name)) continue;
    if (deeper.size() > DirectoryField::kCapacity) {
      return ErrorExit(output, out, PathTooLong(deeper));
    }
    directory = deeper;
  }
  if (!CanOpen(run.paths, directory + name)) {
    return ErrorExit(output, out, MissingProfile(name));
  }
  return Outcome::GoOn();
}

Outcome SearchPrtgDirectories(RunTexts& run, Output& output, std::FILE* out,
                              FilePtr& profile_file) {
  std::string directory;
  if (FilePtr path_file = OpenForReading(run.paths, kPathFile)) {
    directory = DirectoryFromPathFile(path_file.get());
    if (directory.size() > DirectoryField::kCapacity) {
      return ErrorExit(output, out, PathTooLong(directory));
    }
    Outcome descended = DescendFromPathFile(directory, run, output, out);
    if (descended.ended()) return descended;
  }
  const std::string name = run.ProfileName.str();
  profile_file = OpenForReading(run.paths, directory + name);
  for (std::string_view fixed : kFixedDirectories) {
    if (profile_file) break;
    directory = fixed;
    profile_file = OpenForReading(run.paths, directory + name);
  }
  if (!profile_file) return ErrorExit(output, out, MissingProfile(name));
  run.ProfileDir.AssignCut(directory);
  run.ProfilePath = directory + name;
  if (!PassesPathCheck(directory)) return ErrorExit(output, out, "Sorry, invalid Path-Usage...");
  return Outcome::GoOn();
}

}  // namespace

Outcome LocateProfile(RunTexts& run, Output& output, std::FILE* out, FilePtr& profile_file) {
  if (output.mode != OutputMode::kExeXml || Contains(run.ParameterKeys.view(), "@")) {
    return OpenAsTyped(run, output, out, profile_file);
  }
  run.ProfileDir.Clear();
  return SearchPrtgDirectories(run, output, out, profile_file);
}
