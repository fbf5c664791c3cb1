// Hostile and broken input through the real program: over-long arguments
// and file contents, binary and zero bytes, the three kinds of line end,
// empty, unreadable and misplaced files, a listing of hundreds of profiles,
// and markup and other bytes in every text that reaches the document.
//
// Every case states its exact standard output and exit code, and the files
// it leaves where they matter. Every run must also end by itself with exit
// code 0, 1 or 2 and nothing on standard error, and the XML document it
// prints must hold only characters that XML allows and parse with its text
// intact.
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/test_files.h"
#include "gtest/gtest.h"
#include "tests/e2e/expected_output.h"
#include "tests/e2e/landscape.h"
#include "tests/e2e/program_run.h"
#include "tests/e2e/sample_files.h"

namespace {

using namespace std::string_literals;

const std::string kPrtgProfile = std::string(kProgramFilesDir) + "prd.P00";
const std::string kGlobalFile = std::string(kProgramFilesDir) + "SAP Quadrant.Gbl";
const std::string kItemFile = std::string(kProgramFilesDir) + "Quadrant.Prf";
const std::string kSensor(kSensorItem);
const std::string kMissingPrd = "Error 1002: Profile prd.P00 is missing...";
const std::string kGlobalLineTooLong = "Error 1114: Line in ProFile SAP Quadrant.Gbl too long...";
const std::string kInvalidPrd = "Error 1003: Invalid Parameter(s) at prd.P00 found...";

/// The bytes 1 to 31 but tab, line feed and carriage return, then DEL, bytes
/// above 127 and a broken UTF-8 pair: everything a binary file may hold
/// besides line ends and zero bytes.
const std::string kBinary =
    "\x01\x02\x03\x04\x05\x06\x07\x08\x0b\x0c\x0e\x0f\x10\x11\x12\x13\x14\x15\x16\x17\x18\x19"
    "\x1a\x1b\x1c\x1d\x1e\x1f\x7f\x80\x9f\xa0\xc3\x28\xe9\xfe\xff";
/// The characters that XML writes as entities, and both quotes.
const std::string kMarkup = "&<>\"'";

/// What a case must print and leave.
struct Expected {
  std::string out;  // standard output, every time of day as "HH:MM:SS"
  int exit_code = 0;
  // The XML document inside `out`: where it starts and how long it is
  // (npos when the output holds none), and what its Text reads once parsed.
  std::size_t xml_at = std::string::npos;
  std::size_t xml_length = 0;
  std::string text;
  bool error_document = false;  // Prtg/Error must read 1
  // Files after the run (host paths): their exact bytes, or nullopt when the
  // file must not be there.
  std::vector<std::pair<std::string, std::optional<std::string>>> files = {};

  Expected Leaving(std::string path, std::optional<std::string> bytes) && {
    files.emplace_back(std::move(path), std::move(bytes));
    return std::move(*this);
  }
};

/// The error document of `message` after `before`, exit code 2.
Expected Error(const std::string& message, const std::string& before = "") {
  std::string document = ErrorDocument(message);
  return {before + document, 2, before.size(), document.size(), message, true};
}

/// PRTG takes at most 2000 characters of a text, so an error document's
/// message is cut to 2000 (these messages hold no markup to escape).
std::string CutToDocument(const std::string& message) { return message.substr(0, 2000); }

const std::string kDefaultText = ResultText("PRD", "DB4", "20240115", "083000", "PRD     ");

/// The measurement document of the usable profile against ReachableSystem()
/// after `before`: every size 0, in MByte, with `result_text`.
Expected Measured(const std::string& result_text = kDefaultText, const std::string& before = "") {
  std::string document =
      MeasurementDocument("EXEXML", result_text, {"0", "0", "0", "0"}, "MByte");
  return {before + document, 0, before.size(), document.size(), result_text, false};
}

/// The summary message with all three counts.
std::string Counts(std::string_view item, int systems, int processed = 0, int failed = 0) {
  return "(***) " + std::string(item) + ": NoSystems=" + std::to_string(systems) +
         ", Processed=" + std::to_string(processed) + ", Failed=" + std::to_string(failed);
}

/// An EXEXML multi-system run without console lines: the opening, then the
/// summary of `message`, exit code 0.
Expected Summary(const std::string& message, const std::string& before = "",
                 const std::string& states = "", const std::string& after = "") {
  std::string document = std::string(kXmlOpening) + states + "\n<Text>" + XmlEscaped(message) +
                         "</Text>\n\n</Prtg>\n";
  return {before + document + "\n" + after, 0, before.size(), document.size(), message, false};
}

/// The text a parser reads: XML turns every CR LF and every lone CR into LF.
std::string AsParsed(std::string text) {
  std::string parsed;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    parsed += text[i] == '\r' ? '\n' : text[i];
  }
  return parsed;
}

void ExpectRun(const ProgramResult& result, const std::map<std::string, std::string>& left,
               const Expected& expected) {
  ExpectOrderlyEnd(result);
  ExpectOutput(result, expected.out, expected.exit_code);
  if (expected.xml_at != std::string::npos && expected.xml_at <= result.out.size()) {
    std::string_view document =
        std::string_view(result.out).substr(expected.xml_at, expected.xml_length);
    EXPECT_TRUE(HasOnlyXmlCharacters(document));
    if (expected.error_document) {
      EXPECT_TRUE(ParsesAsErrorDocument(document, AsParsed(expected.text)));
    } else {
      EXPECT_TRUE(ParsesWithText(document, AsParsed(expected.text)));
    }
  }
  for (const auto& [path, bytes] : expected.files) {
    auto found = left.find(path);
    if (!bytes) {
      EXPECT_EQ(found, left.end()) << path << " is there";
    } else if (found == left.end()) {
      ADD_FAILURE() << path << " is not there";
    } else {
      EXPECT_EQ(found->second, *bytes) << path;
    }
  }
}

struct Case {
  const char* name;
  std::vector<HostFile> files;
  std::vector<std::string> args;
  Expected expected;
  DriveRootOption drive_root = DriveRootOption::kGiven;
};

/// Runs each case in a fresh tree, after `prepare` when one is given.
void RunCases(const std::vector<Case>& cases, const TreePreparation* prepare = nullptr) {
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> kept;
    for (const auto& file : c.expected.files) kept.push_back(file.first);
    std::map<std::string, std::string> left;
    ProgramResult result;
    if (prepare != nullptr) {
      result = RunProgramInPreparedTree(c.files, *prepare, c.args, kept, &left);
    } else if (c.drive_root == DriveRootOption::kGiven) {
      result = RunProgramKeepingFiles(c.files, c.args, kept, &left);
    } else {
      result = RunProgram(c.files, c.args, c.drive_root);
    }
    ExpectRun(result, left, c.expected);
  }
}

HostFile PrtgProfileFile(std::string bytes) { return {kPrtgProfile, std::move(bytes)}; }
HostFile PathFileHolding(std::string bytes) { return {std::string(kPathFile), std::move(bytes)}; }
HostFile Landscape() { return LandscapeWith(ReachableSystem()); }
/// A directory at `path`: it holds one file.
HostFile DirectoryAt(const std::string& path) { return {path + "/inside", "x"}; }

std::string Listing(std::string_view text) { return ListingLine("PRD", text) + "\n"; }
std::string Allocation(std::string_view text) { return AllocationLine("PRD", text) + "\n"; }
const std::string kAllocationN = Allocation("Item=N," + kSensor);
std::string Item(std::string_view text) { return ItemLine(text) + "\n"; }

/// The landscape whose system fails GET_CPU_ALL with code 1 and writes
/// `trace_lines`, and nothing else, to the trace file.
HostFile FailingLandscape(std::initializer_list<std::string> trace_lines = {}) {
  SimSystem system = ReachableSystem();
  system.Set("GET_CPU_ALL", "failure 1").Set("trace_block", "off");
  for (const std::string& line : trace_lines) system.Set("trace_line", line);
  return LandscapeWith(system);
}
const std::string kRfcFailure = "Error 1014: RFC-Failure raised !";

TEST(BadInput, OverLongCommandLine) {
  const std::string n(10000, 'n');
  const std::string d(9990, 'd');
  const std::string p(10000, 'p');
  const std::string m(10000, 'm');
  const std::string o(9998, 'o');
  const std::string l(10000, 'l');
  const std::string r(9999, 'r');
  RunCases({
      {"profile argument of 10000 characters", {}, {n},
       Error(CutToDocument("Error 1106: Profile-Name " + n + ".P00 too long..."))},
      {"typed directory of 10000 characters", {}, {"--mode=Corvane", "C:\\" + d + "\\prd"},
       Error(CutToDocument("Error 1107: Profile-Path C:\\" + d + "\\ too long..."))},
      {"parameters of 10000 characters", {}, {"prd", p},
       Error("Error 1105: Parameters too long...")},
      {"argument 3 of 10000 characters", {}, {"prd", "x", p},
       Error("Error 1105: Parameters too long...")},
      {"mode name of 10000 characters", {}, {"--mode=" + m, "prd"},
       Error(CutToDocument("Error 1102: Output-Mode " + m + " is unknown..."))},
      {"unknown option of 10000 characters", {}, {"--" + o, "prd"},
       Error(CutToDocument("Error 1101: Option --" + o + " is unknown..."))},
      {"RFC library name of 10000 characters",
       {PrtgProfileFile(UsableProfile()), Landscape()}, {"--rfc-library=" + l, "prd"},
       Error(CutToDocument("Error 1110: RFC-Library " + l + " is not available..."))},
      {"drive root of 10000 characters", {PrtgProfileFile(UsableProfile()), Landscape()},
       {"--drive-root=/" + r, "prd"},
       Error(RunsWindowsProgram() ? "Error 1103: Option --drive-root is not supported on Windows..."
                                  : kMissingPrd),
       DriveRootOption::kOmitted},
  });
}

TEST(BadInput, OverLongFileContents) {
  const std::string repeated_a = [] {
    std::string text;
    while (text.size() < 5000) text += "A.P00#";
    return text;
  }();
  RunCases({
      // The path file is read in pieces of 99 characters; each is a line.
      {"path-file line of 5000 characters naming a drive",
       {PathFileHolding("D:\\" + std::string(4997, 'p') + "\n")}, {"prd"},
       Error("Error 1107: Profile-Path D:\\" + std::string(96, 'p') + "\\ too long...")},
      {"path-file line of 5000 characters that does not qualify, then a directory",
       {PathFileHolding(std::string(5000, 'x') + "\nD:\\Tools\\ExeXml\\\n"),
        {"D/Tools/ExeXml/prd.P00", UsableProfile()}, Landscape()},
       {"prd"}, Measured()},
      {"path-file line whose rest after 99 characters would name a directory",
       {PathFileHolding(std::string(99, 'x') + "\\Sensors\\ExeXml\\\n"),
        {"C/Sensors/ExeXml/prd.P00", UsableProfile()}, Landscape()},
       {"prd"}, Error(kMissingPrd)},
      // Profile lines are read in pieces of 159 characters.
      {"profile value of 5000 characters cut to 60 in a field of 63",
       {PrtgProfileFile(ProfileWithValue(kExtcompany, std::string(5000, 'e'))), Landscape()},
       {"prd"}, Measured()},
      {"destination of 5000 characters", 
       {PrtgProfileFile(ProfileWithValue(kDestination, std::string(5000, 'D'))), Landscape()},
       {"prd"}, Error(kInvalidPrd)},
      {"label of 5000 characters is no label",
       {PrtgProfileFile(UsableProfile() + "Destination" + std::string(4988, '.') + ": QAS\n"),
        Landscape()},
       {"prd"}, Measured()},
      // Listing lines are read in pieces of 199 characters: a line of the
      // sensor's keys that is longer would lose what follows, so it ends the
      // run; a longer line of other keys is passed over whole.
      {"listing line of 5000 characters",
       {{kGlobalFile, kAllocationN + Listing(repeated_a)}}, {"global", "PRD"},
       Error(kGlobalLineTooLong)},
      {"item-file line of 5000 characters", {{kItemFile, Item(repeated_a)}},
       {"x", "ITEM=N"}, Error("Error 1114: Line in ProFile Quadrant.Prf too long...")},
      {"allocation line of 5000 characters",
       {{kGlobalFile, Listing("A.P00#") +
                          Allocation("Item=N," + kSensor + "," + std::string(4980, 'p'))}},
       {"global", "PRD"}, Error(kGlobalLineTooLong)},
      {"allocation line of 5000 characters, the sensor item after character 199",
       {{kGlobalFile,
         Listing("A.P00#") + Allocation(std::string(4950, 'p') + "," + kSensor + ",Item=N")}},
       {"global", "PRD"}, Error(kGlobalLineTooLong)},
      {"another sensor's listing line of 5000 characters",
       {{kGlobalFile, kAllocationN + Listing("A.P00#") +
                          ListingLine("OTHER", repeated_a) + "\n"}},
       {"global", "PRD"}, Summary(Counts("N", 1))},
  });
}

TEST(BadInput, BinaryAndZeroBytesInFiles) {
  // A zero byte ends the line it stands in; every other byte is text.
  const std::string trace = kBinary + "\n" + "ERROR       before\0after\n"s;
  RunCases({
      {"zero byte ends the value of a profile line",
       {PrtgProfileFile(ProfileWithValue(kDestination, "PRD\0QAS"s)), Landscape()}, {"prd"},
       Measured()},
      {"zero byte inside a label",
       {PrtgProfileFile(ProfileWithLine(kUser, "User..\0.....: monitor"s)), Landscape()},
       {"prd"}, Error("Error 1006: Username in Profile prd.P00 is missing...")},
      {"binary bytes and zero bytes in a comment line and a value that stays out of the "
       "document",
       {PrtgProfileFile("* " + kBinary + "\0"s + kBinary + "\n" +
                        ProfileWithValue(kExtcompany, kBinary)),
        Landscape()},
       {"prd"}, Measured()},
      {"binary line and a zero byte in the path file",
       {PathFileHolding(kBinary + "\nD:\\Tools\\ExeXml\\\0D:\\Other\\\n"s),
        {"D/Tools/ExeXml/prd.P00", UsableProfile()}, Landscape()},
       {"prd"}, Measured()},
      {"zero byte ends a listing line, binary bytes in a name and in other lines",
       {{kGlobalFile, Listing("A.P00#\0B.P00#C.P00#"s) + kBinary + "\n" +
                          Listing(kBinary + ".P00#") + kAllocationN}},
       {"global", "PRD"}, Summary(Counts("N", 2))},
      {"zero byte ends an item-file line, binary bytes in other lines",
       {{kItemFile, Item("A.P00#\0B.P00#"s) + kBinary + "\n" + Item("C.P00#")}},
       {"x", "ITEM=N"}, Summary(Counts("N", 2))},
      {"binary line and a zero byte in the trace file",
       {PrtgProfileFile(UsableProfile()), FailingLandscape(), {std::string(kTraceFile), trace}},
       {"prd"},
       Error(kRfcFailure + " - before").Leaving(std::string(kTraceFile), trace)},
  });
}

/// How a text of bytes should stand in an XML document so that every parser
/// accepts it (today the program writes every byte but "&", "<" and ">"
/// unchanged): "&", "<" and ">" as entities; a control character that XML
/// forbids (all below 32 but tab, line feed and carriage return), which no
/// document may hold even as a reference, as "?"; and a byte of 128 or more,
/// which is no UTF-8 by itself, as the reference of its Latin-1 character.
std::string XmlWritten(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string written;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80) {
      written += std::string("&#x") + kHex[byte >> 4] + kHex[byte & 0xF] + ";";
    } else if (byte < 0x20 && c != '\t' && c != '\n' && c != '\r') {
      written += '?';
    } else {
      written += XmlEscaped(std::string_view(&c, 1));
    }
  }
  return written;
}

/// `text` as a parser reads XmlWritten(text): control characters as "?",
/// bytes of 128 or more as the UTF-8 of their Latin-1 characters.
std::string ReadBack(std::string_view text) {
  std::string read;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80) {
      read += static_cast<char>(0xC0 | (byte >> 6));
      read += static_cast<char>(0x80 | (byte & 0x3F));
    } else if (byte < 0x20 && c != '\t' && c != '\n' && c != '\r') {
      read += '?';
    } else {
      read += c;
    }
  }
  return read;
}

/// `expected` (its document written with XmlEscaped) with every `text` in
/// it written as XmlWritten writes it, and what its Text must read.
Expected WithBytes(Expected expected, std::string_view text) {
  const std::string escaped = XmlEscaped(text);
  const std::string written = XmlWritten(text);
  std::size_t at = expected.out.find(escaped, expected.xml_at);
  if (at == std::string::npos) ADD_FAILURE() << "the text is not in the expected document";
  for (; at != std::string::npos; at = expected.out.find(escaped, at + written.size())) {
    expected.out.replace(at, escaped.size(), written);
    expected.xml_length += written.size() - escaped.size();
  }
  const std::string read = ReadBack(text);
  for (at = expected.text.find(text); at != std::string::npos;
       at = expected.text.find(text, at + read.size())) {
    expected.text.replace(at, text.size(), read);
  }
  return expected;
}

TEST(BadInput, BytesThatXmlForbidsStayOutOfTheDocument) {
  // Control characters are no XML characters at all, and bytes of 128 or
  // more that do not form UTF-8 make a document without a declaration
  // ill-formed; expat, libxml2 and .NET reject both, pugixml accepts them.
  const std::string destination = "P\x01\xe9" "D";
  const std::string measured_text =
      ResultText(destination, "DB4", "20240115", "083000", "PRD     ");
  const std::string trace_text = "t\x02x\x80";
  const std::string exception = "A\x01" "B\xff" "C";
  const std::string dbsys = "DB4\x01\x1b\x7f\x80\xff";
  const std::string profile = "prd\x01";
  const std::string item = "N\x01\xfc";
  RunCases({
      {"destination with a control byte and a Latin-1 letter",
       {PrtgProfileFile(ProfileWithValue(kDestination, destination)), Landscape()}, {"prd"},
       WithBytes(Measured(measured_text), destination)},
      {"trace-file text",
       {PrtgProfileFile(UsableProfile()), FailingLandscape({"ERROR       " + trace_text})},
       {"prd"}, WithBytes(Error(kRfcFailure + " - " + trace_text), trace_text)},
      {"exception name",
       {PrtgProfileFile(UsableProfile()),
        LandscapeWith(ReachableSystem().Set("GET_CPU_ALL", "exception " + exception))},
       {"prd"},
       WithBytes(Error("Error 1012: Exception.: " + exception + " - exception " + exception +
                       " raised by GET_CPU_ALL"),
                 exception)},
      {"database system the SAP system reports",
       {PrtgProfileFile(UsableProfile()),
        LandscapeWith(ReachableSystem().Set("DBSYS", "hex 444234011B7F80FF2020"))},
       {"prd"},
       WithBytes(Measured(ResultText("PRD", dbsys, "20240115", "083000", "PRD     ")), dbsys)},
      {"profile argument", {}, {profile},
       WithBytes(Error("Error 1002: Profile " + profile + ".P00 is missing..."), profile)},
      {"item", {{kItemFile, Item("A.P00#")}}, {"x", "ITEM=" + item},
       WithBytes(Summary(Counts(item, 1)), item)},
  });
}

TEST(BadInput, LineEnds) {
  // CR LF and LF end a line; a lone CR is a character of the line.
  const std::string mixed = [] {
    std::string text = UsableProfile();
    std::string out;
    bool crlf = false;
    for (char c : text) {
      if (c == '\n' && (crlf = !crlf)) out += '\r';
      out += c;
    }
    return out;
  }();
  auto lone_cr = [](std::string text) {
    for (char& c : text) {
      if (c == '\n') c = '\r';
    }
    return text;
  };
  const std::string lone_cr_entry = "DEST=PRD\rTYPE=A\rASHOST=sapprd\rSYSNR=00\r";
  RunCases({
      {"profile with CR LF and LF line ends in turn", {PrtgProfileFile(mixed), Landscape()},
       {"prd"}, Measured()},
      // One line, read in pieces of 159 characters: only the first piece
      // counts, whose label is "Extcompany.:"; the user's label is in the rest.
      {"profile with lone CR line ends", {PrtgProfileFile(lone_cr(UsableProfile())), Landscape()},
       {"prd"}, Error("Error 1006: Username in Profile prd.P00 is missing...")},
      {"path file with lone CR line ends: one line, no such directory",
       {PathFileHolding("D:\\Old\\ExeXml\\\rE:\\New\\ExeXml\\\r"),
        {"D/Old/ExeXml/prd.P00", UsableProfile()}, {"E/New/ExeXml/prd.P00", UsableProfile()},
        Landscape()},
       {"prd"}, Error(kMissingPrd)},
      {"path file ending in a lone CR: removed from the line",
       {PathFileHolding("E:\\New\\ExeXml\\\r"), {"E/New/ExeXml/prd.P00", UsableProfile()},
        Landscape()},
       {"prd"}, Measured()},
      {"listing with CR LF line ends",
       {{kGlobalFile, WithCrLf(Listing("A.P00#B.P00#") + kAllocationN)}}, {"global", "PRD"},
       Summary(Counts("N", 2))},
      {"listing with lone CR line ends: the allocation is inside the listing line",
       {{kGlobalFile, lone_cr(Listing("A.P00#") + kAllocationN)}}, {"global", "PRD"},
       Error("Error 1030: Global Sensor PRD not found...")},
      {"item file with CR LF line ends", {{kItemFile, WithCrLf(Item("A.P00#") + Item("B.P00#"))}},
       {"x", "ITEM=N"}, Summary(Counts("N", 2))},
      // One line whose text is "A.P00#", CR, "# Gsng: unread cols B.P00#":
      // the names "A.P00", CR, and " Gsng: unread cols B.P00".
      {"item file with lone CR line ends", {{kItemFile, lone_cr(Item("A.P00#") + Item("B.P00#"))}},
       {"x", "ITEM=N"}, Summary(Counts("N", 3))},
      {"trace file with CR LF line ends",
       {PrtgProfileFile(UsableProfile()), FailingLandscape(),
        {std::string(kTraceFile), "ERROR       first\r\nERROR       second\r\n"}},
       {"prd"}, Error(kRfcFailure + " - second")},
      {"trace file with lone CR line ends: the text runs on",
       {PrtgProfileFile(UsableProfile()), FailingLandscape(),
        {std::string(kTraceFile), "ERROR       first\rERROR       second\r"}},
       {"prd"}, Error(kRfcFailure + " - first\rERROR       second")},
      {"destination file with lone CR line ends: copied as it is, its entry not found",
       {PrtgProfileFile(UsableProfile()), Landscape(), DestinationFile("PRD", lone_cr_entry)},
       {"prd"},
       Error("Error 1011: RFC-Open for PRD failed !")
           .Leaving(std::string(kSapRfcIniFile), lone_cr_entry)},
  });
}

TEST(BadInput, EmptyFiles) {
  RunCases({
      {"empty global listing", {{kGlobalFile, ""}}, {"global", "PRD"},
       Error("Error 1030: Global Sensor PRD not found...")},
      {"empty item file", {{kItemFile, ""}}, {"x", "ITEM=N"},
       Error("Error 1025: Global Server Listing missing...")},
      // No value at all: the open names no host and fails.
      {"empty listed profile",
       {{kItemFile, Item("A.P00#")}, {std::string(kProgramFilesDir) + "A.P00", ""}, Landscape()},
       {"x", "ITEM=N"}, Summary(Counts("N", 1, 0, 1))},
      {"empty destination file",
       {PrtgProfileFile(UsableProfile()), Landscape(), DestinationFile("PRD", "")}, {"prd"},
       Error("Error 1011: RFC-Open for PRD failed !")
           .Leaving(std::string(kSapRfcIniFile), "")},
  });
}

/// True when a file of mode 000 still opens for reading, as it does for
/// root: then modes cannot make the files of a case unreadable.
bool ModesDoNotStopReading() {
  const std::filesystem::path probe =
      std::filesystem::temp_directory_path() / "kestrelon-e2e-mode-probe";
  std::FILE* file = std::fopen(probe.c_str(), "w");
  if (file == nullptr) return true;
  std::fclose(file);
  chmod(probe.c_str(), 0);
  file = std::fopen(probe.c_str(), "r");
  const bool readable = file != nullptr;
  if (file != nullptr) std::fclose(file);
  std::remove(probe.c_str());
  return readable;
}

TEST(BadInput, UnreadableFiles) {
  if (ModesDoNotStopReading()) {
    GTEST_SKIP() << "files of mode 000 stay readable for this user (root): "
                    "the cases cannot make a file unreadable";
  }
  if (RunsWindowsProgram()) GTEST_SKIP() << "Wine does not map mode 000 to an unreadable file";
  // Every file of a case whose bytes are "unreadable" gets mode 000.
  const TreePreparation unreadable = [](const std::filesystem::path& root) {
    bool ok = true;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
      if (!entry.is_regular_file()) continue;
      std::FILE* file = std::fopen(entry.path().c_str(), "r");
      char head[10] = {};
      const bool marked = file != nullptr && std::fread(head, 1, sizeof head, file) == 10 &&
                          std::string(head, 10) == "unreadable";
      if (file != nullptr) std::fclose(file);
      if (marked) ok = ok && chmod(entry.path().c_str(), 0) == 0;
    }
    return ok;
  };
  const std::string marked = "unreadable\n";
  const std::string entry = SapRfcEntry("PRD", "sapprd", "00");
  RunCases(
      {
          {"profile", {PrtgProfileFile(marked + UsableProfile()), Landscape()}, {"prd"},
           Error(kMissingPrd)},
          {"path file: as if there were none",
           {PathFileHolding(marked + "D:\\Tools\\ExeXml\\\n"), PrtgProfileFile(UsableProfile()),
            Landscape()},
           {"prd"}, Measured()},
          {"global listing", {{kGlobalFile, marked + Listing("A.P00#") + kAllocationN}},
           {"global", "PRD"}, Error("Error 1002: Profile SAP Quadrant.Gbl is missing...")},
          {"item file", {{kItemFile, marked + Item("A.P00#")}}, {"x", "ITEM=N"},
           Error("Error 1002: Profile Quadrant.Prf is missing...")},
          {"listed profile: skipped",
           {{kItemFile, Item("A.P00#")},
            {std::string(kProgramFilesDir) + "A.P00", marked + UsableProfile()}, Landscape()},
           {"x", "ITEM=N"}, Summary(Counts("N", 1))},
          {"trace file", {PrtgProfileFile(UsableProfile()), FailingLandscape(),
                          {std::string(kTraceFile), marked + "ERROR       old\n"}},
           {"prd"}, Error(kRfcFailure + " - Look for Trace-File")},
          {"destination file: as if there were none",
           {PrtgProfileFile(UsableProfile()), Landscape(), DestinationFile("PRD", marked + entry)},
           {"prd"}, Measured().Leaving(std::string(kSapRfcIniFile), std::nullopt)},
          {"SapRfc.ini: replaced all the same",
           {PrtgProfileFile(UsableProfile()), Landscape(), DestinationFile("PRD", entry),
            {std::string(kSapRfcIniFile), marked}},
           {"prd"}, Measured().Leaving(std::string(kSapRfcIniFile), entry)},
          {"run log: the run goes on without it",
           {PrtgProfileFile(UsableProfile()), Landscape(), {std::string(kRunLogFile), marked}},
           {"prd", ",SYSLOG"}, Measured()},
      },
      &unreadable);
}

// Marks for NoRegularFiles: a file of a case whose bytes are one of these is
// replaced, before the run, by a named pipe or by a link to a device.
constexpr std::string_view kPipeMark = "<named pipe>";
constexpr std::string_view kZeroMark = "<link to /dev/zero>";
constexpr std::string_view kNullMark = "<link to /dev/null>";
// A link to "victim.txt" beside it, whose bytes must stay as they are.
constexpr std::string_view kVictimLinkMark = "<link to victim.txt>";

bool ReplaceMarkedFile(const std::filesystem::path& file) {
  std::optional<std::string> bytes = WholeFile(file);
  if (!bytes) return false;
  const std::map<std::string_view, std::string> links = {{kZeroMark, "/dev/zero"},
                                                         {kNullMark, "/dev/null"},
                                                         {kVictimLinkMark, "victim.txt"}};
  auto link = links.find(*bytes);
  if (*bytes != kPipeMark && link == links.end()) return true;
  std::filesystem::remove(file);
  if (*bytes == kPipeMark) return mkfifo(file.c_str(), 0644) == 0;
  std::error_code error;
  std::filesystem::create_symlink(link->second, file, error);
  return !error;
}

// A pipe where a file is expected made a run wait for ever, a device link
// made it read (and copy) without end: anything that is no regular file is
// as if it were not there, and is left as it is.
TEST(BadInput, NoRegularFiles) {
  if (RunsWindowsProgram()) GTEST_SKIP() << "named pipes and device links are POSIX files";
  const TreePreparation replace_marked = [](const std::filesystem::path& root) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
      if (entry.is_regular_file()) files.push_back(entry.path());
    }
    bool ok = true;
    for (const auto& file : files) ok = ReplaceMarkedFile(file) && ok;
    return ok;
  };
  const std::string pipe(kPipeMark), zero(kZeroMark), null(kNullMark);
  const std::string entry = SapRfcEntry("PRD", "sapprd", "00");
  const std::string listed_profile = std::string(kProgramFilesDir) + "A.P00";
  RunCases(
      {
          {"profile: a pipe", {PrtgProfileFile(pipe), Landscape()}, {"prd"}, Error(kMissingPrd)},
          {"profile: a device", {PrtgProfileFile(zero), Landscape()}, {"prd"},
           Error(kMissingPrd)},
          {"path file: as if there were none",
           {PathFileHolding(pipe), PrtgProfileFile(UsableProfile()), Landscape()}, {"prd"},
           Measured()},
          {"global listing", {{kGlobalFile, pipe}}, {"global", "PRD"},
           Error("Error 1002: Profile SAP Quadrant.Gbl is missing...")},
          {"item file", {{kItemFile, zero}}, {"x", "ITEM=N"},
           Error("Error 1002: Profile Quadrant.Prf is missing...")},
          {"listed profile: skipped", {{kItemFile, Item("A.P00#")}, {listed_profile, pipe}},
           {"x", "ITEM=N"}, Summary(Counts("N", 1))},
          {"destination file, a pipe: as if there were none",
           {PrtgProfileFile(UsableProfile()), Landscape(), DestinationFile("PRD", pipe)},
           {"prd"}, Measured().Leaving(std::string(kSapRfcIniFile), std::nullopt)},
          {"destination file, a device: nothing copied",
           {PrtgProfileFile(UsableProfile()), Landscape(), DestinationFile("PRD", zero)},
           {"prd"}, Measured().Leaving(std::string(kSapRfcIniFile), std::nullopt)},
          {"trace file, a pipe: neither library nor program waits",
           {PrtgProfileFile(UsableProfile()), FailingLandscape(), {std::string(kTraceFile), pipe}},
           {"prd"}, Error(kRfcFailure + " - Look for Trace-File")},
          {"trace file, a link: neither it nor the file it names deleted after a measurement",
           {PrtgProfileFile(UsableProfile()), Landscape(),
            {std::string(kTraceFile), std::string(kVictimLinkMark)},
            {"C/work/victim.txt", "precious"}},
           {"prd"},
           Measured().Leaving(std::string(kTraceFile), "precious")
               .Leaving("C/work/victim.txt", "precious")},
          {"trace file, a device link, after a failure: the stand-in writes nothing to it",
           {PrtgProfileFile(UsableProfile()), FailingLandscape(), {std::string(kTraceFile), null}},
           {"prd"}, Error(kRfcFailure + " - Look for Trace-File")},
          {"journal, a pipe: the stand-in does not wait",
           {PrtgProfileFile(UsableProfile()), Landscape(), {std::string(kJournalFile), pipe}},
           {"prd"}, Measured()},
          {"run log, a pipe: the run goes on without it",
           {PrtgProfileFile(UsableProfile()), Landscape(), {std::string(kRunLogFile), pipe}},
           {"prd", ",SYSLOG"}, Measured()},
          {"run log, a link: the file it names stays untouched",
           {PrtgProfileFile(UsableProfile()), Landscape(),
            {std::string(kRunLogFile), std::string(kVictimLinkMark)},
            {"C/work/victim.txt", "precious"}},
           {"prd", ",SYSLOG"}, Measured().Leaving("C/work/victim.txt", "precious")},
      },
      &replace_marked);
}

// Windows opens a device for a reserved name with any extension; such a name
// is never opened, so it is a profile that is not there. Elsewhere they are
// ordinary names of files that are not there either.
TEST(BadInput, ReservedDeviceNames) {
  std::vector<Case> cases;
  for (const char* name : {"NUL", "con", "Com1.txt", "LPT9", "aux.P00"}) {
    std::string file = name;
    if (file.size() < 4 || file[file.size() - 4] != '.') file += ".P00";
    cases.push_back({name, {}, {name}, Error("Error 1002: Profile " + file + " is missing...")});
  }
  cases.push_back({"listed profile NUL: skipped", {{kItemFile, Item("NUL#")}}, {"x", "ITEM=N"},
                   Summary(Counts("N", 1))});
  RunCases(cases);
}

// Editors write a UTF-8 byte-order mark at the start of a file; it is no
// content of the files the program reads itself. A destination file is the
// library's and is copied byte for byte.
TEST(BadInput, ByteOrderMark) {
  const std::string mark = "\xEF\xBB\xBF";
  const std::string entry = SapRfcEntry("PRD", "sapprd", "00");
  RunCases({
      {"profile", {PrtgProfileFile(mark + UsableProfile()), Landscape()}, {"prd"}, Measured()},
      {"path file",
       {PathFileHolding(mark + "D:\\Tools\\ExeXml\\\n"),
        {"D/Tools/ExeXml/prd.P00", UsableProfile()}, Landscape()},
       {"prd"}, Measured()},
      {"global listing", {{kGlobalFile, mark + Listing("A.P00#") + kAllocationN}},
       {"global", "PRD"}, Summary(Counts("N", 1))},
      {"item file", {{kItemFile, mark + Item("A.P00#")}}, {"x", "ITEM=N"},
       Summary(Counts("N", 1))},
      // The stand-in, as strict as a library that knows no mark, then finds
      // no "DEST=PRD" line.
      {"destination file: copied with its mark",
       {PrtgProfileFile(UsableProfile()), Landscape(), DestinationFile("PRD", mark + entry)},
       {"prd"},
       Error("Error 1011: RFC-Open for PRD failed !")
           .Leaving(std::string(kSapRfcIniFile), mark + entry)},
  });
}

// A destination file holds a few destinations; a larger one than 1 MiB is
// not copied into SapRfc.ini.
TEST(BadInput, DestinationFileOfMoreThanOneMebibyte) {
  const std::string entry = SapRfcEntry("PRD", "sapprd", "00");
  const std::string largest = entry + std::string(1024 * 1024 - entry.size(), '\n');
  const std::string listed_profile = std::string(kProgramFilesDir) + "A.P00";
  RunCases({
      {"1 MiB: copied",
       {PrtgProfileFile(UsableProfile()), Landscape(), DestinationFile("PRD", largest)},
       {"prd"}, Measured().Leaving(std::string(kSapRfcIniFile), largest)},
      {"1 MiB and a byte: Error 1113, nothing copied",
       {PrtgProfileFile(UsableProfile()), Landscape(), DestinationFile("PRD", largest + "\n")},
       {"prd"},
       Error("Error 1113: Destination-File SapRfc.PRD too large...")
           .Leaving(std::string(kSapRfcIniFile), std::nullopt)},
      {"in a multi-system run the system fails",
       {{kItemFile, Item("A.P00#")}, {listed_profile, UsableProfile()}, Landscape(),
        DestinationFile("PRD", largest + "\n")},
       {"x", "ITEM=N"},
       Summary(Counts("N", 1, 0, 1)).Leaving(std::string(kSapRfcIniFile), std::nullopt)},
  });
}

TEST(BadInput, DirectoryWhereFileIsExpected) {
  const std::string entry = SapRfcEntry("PRD", "sapprd", "00");
  RunCases({
      {"profile: the next PRTG directory is searched",
       {DirectoryAt(kPrtgProfile),
        {std::string(kProgramFilesX86Dir) + "prd.P00", UsableProfile()}, Landscape()},
       {"prd"}, Measured()},
      {"profile in the typed directory", {DirectoryAt(std::string(kWorkDir) + "prd.P00")},
       {"--mode=Corvane", "prd"}, Error(kMissingPrd)},
      {"path file: as if there were none",
       {DirectoryAt(std::string(kPathFile)), PrtgProfileFile(UsableProfile()), Landscape()},
       {"prd"}, Measured()},
      {"global listing", {DirectoryAt(kGlobalFile)}, {"global", "PRD"},
       Error("Error 1002: Profile SAP Quadrant.Gbl is missing...")},
      {"item file", {DirectoryAt(kItemFile)}, {"x", "ITEM=N"},
       Error("Error 1002: Profile Quadrant.Prf is missing...")},
      {"listed profile: skipped",
       {{kItemFile, Item("A.P00#")}, DirectoryAt(std::string(kProgramFilesDir) + "A.P00")},
       {"x", "ITEM=N"}, Summary(Counts("N", 1))},
      {"trace file after a failed call",
       {PrtgProfileFile(UsableProfile()), FailingLandscape(),
        DirectoryAt(std::string(kTraceFile))},
       {"prd"},
       Error(kRfcFailure + " - Look for Trace-File")
           .Leaving(std::string(kTraceFile) + "/inside", "x")},
      {"trace file after a successful run: left alone",
       {PrtgProfileFile(UsableProfile()), Landscape(), DirectoryAt(std::string(kTraceFile))},
       {"prd"}, Measured().Leaving(std::string(kTraceFile) + "/inside", "x")},
      {"destination file: as if there were none",
       {PrtgProfileFile(UsableProfile()), Landscape(),
        DirectoryAt(std::string(kWorkDir) + "SapRfc.PRD")},
       {"prd"}, Measured().Leaving(std::string(kSapRfcIniFile), std::nullopt)},
      {"run log: the run goes on without it",
       {PrtgProfileFile(UsableProfile()), Landscape(), DirectoryAt(std::string(kRunLogFile))},
       {"prd", ",SYSLOG"}, Measured().Leaving(std::string(kRunLogFile) + "/inside", "x")},
  });
}

/// The state line of a listed system, time masked.
std::string StateLine(std::string_view profile, std::string_view host,
                      std::string_view destination, std::string_view sysnr,
                      std::string_view state) {
  return "\n* HH:MM:SS " + std::string(profile) + ", " + std::string(host) + ", " +
         std::string(destination) + ", " + std::string(sysnr) + ", 100 State=" +
         std::string(state) + "\n";
}

TEST(BadInput, ListingOfHundredsOfProfiles) {
  // 227 names of 9 characters (2043 of the 2047 a listing holds), spread
  // over lines of 170 so that names run on from line to line. Three of the
  // profiles are there: S010 is measured, S100's logon is refused, S200 has
  // a company name too short and is not logged on to.
  std::string names;
  for (int i = 1; i <= 227; ++i) {
    std::string number = std::to_string(1000 + i).substr(1);
    names += "S" + number + ".P00#";
  }
  const std::string dir(kProgramFilesDir);
  std::string s200 = ProfileReaching("PRD", "hostc", "00");
  s200.replace(s200.find("Kestrel Test Company"), 20, "E");
  std::vector<HostFile> files = {
      {kGlobalFile, Allocation("Item=Many," + kSensor) +
                        SpreadOverLines(names, 170, [](std::string_view text) {
                          return ListingLine("PRD", text);
                        })},
      {dir + "S010.P00", ProfileReaching("D10", "hosta", "01")},
      {dir + "S100.P00", ProfileReaching("D100", "hostb", "02")},
      {dir + "S200.P00", s200},
      LandscapeText()
          .Add(SystemAt("SA", "hosta", "01"))
          .Add(SystemAt("SB", "hostb", "02").Set("password", "other"))
          .Add(SystemAt("SC", "hostc", "00"))
          .File(),
  };
  std::map<std::string, std::string> left;
  ProgramResult result =
      RunProgramKeepingFiles(files, {"global", "PRD #"}, {std::string(kJournalFile)}, &left);
  ExpectRun(result, left,
            Summary(Counts("Many", 227, 1, 2),
                    std::string(kHeaderLine) + "* HH:MM:SS Item=Many State=Executing\n",
                    StateLine("S010.P00", "hosta", "D10", "01", "Processed") +
                        StateLine("S100.P00", "hostb", "D100", "02", "Rfc Failure") +
                        StateLine("S200.P00", "hostc", "PRD", "00", "Rfc Failure"),
                    std::string(kClosingLine)));
  const std::string calls =
      "RfcCall GET_CPU_ALL -> 0\nRfcReceive GET_CPU_ALL -> 0\n"
      "RfcCall RFC_SYSTEM_INFO -> 0\nRfcReceive RFC_SYSTEM_INFO -> 0\n"
      "RfcCall DB02_DB4_GET_INFO -> 0\nRfcReceive DB02_DB4_GET_INFO -> 0\n";
  EXPECT_EQ(ConnectionEvents(left[std::string(kJournalFile)]),
            "RfcOpen -> 1\n" + calls + "RfcClose handle=1\nRfcOpen -> 0\n");
}

TEST(BadInput, MarkupAndQuotesComeBackExactly) {
  const std::string& mk = kMarkup;
  RunCases({
      {"profile argument", {}, {"p" + mk},
       Error("Error 1002: Profile p" + mk + ".P00 is missing...")},
      {"typed directory", {}, {"--mode=Corvane", "C:\\d" + mk + "\\prd"},
       Error("Error 1002: Profile C:\\d" + mk + "\\prd.P00 is missing...")},
      {"directory of the path file",
       {PathFileHolding("D:\\" + mk + std::string(87, 'p') + "\\\n")}, {"prd"},
       Error("Error 1107: Profile-Path D:\\" + mk + std::string(87, 'p') + "\\ too long...")},
      {"destination", {PrtgProfileFile(ProfileWithValue(kDestination, "D" + mk)),
                       LandscapeText().File()},
       {"prd"}, Error("Error 1011: RFC-Open for D" + mk + " failed !")},
      {"sensor name", {{kGlobalFile, Listing("A.P00#") + kAllocationN}}, {"global", "S" + mk},
       Error("Error 1030: Global Sensor S" + mk + " not found...")},
      // The parameters go to the console line as they are; the item goes
      // into the document.
      {"item and parameters of the allocation line",
       {{kGlobalFile, Listing("A.P00#") + Allocation("Item=I" + mk + ",P" + mk + "," + kSensor)}},
       {"global", "PRD #"},
       Summary(Counts("I" + mk, 1),
               std::string(kHeaderLine) + "* HH:MM:SS Item=I" + mk + ",P" + mk +
                   " State=Executing\n",
               "", std::string(kClosingLine))},
      {"exception name",
       {PrtgProfileFile(UsableProfile()),
        LandscapeWith(ReachableSystem().Set("GET_CPU_ALL", "exception E" + mk))},
       {"prd"},
       Error("Error 1012: Exception.: E" + mk + " - exception E" + mk + " raised by GET_CPU_ALL")},
      {"trace-file text",
       {PrtgProfileFile(UsableProfile()), FailingLandscape({"ERROR       T" + mk})}, {"prd"},
       Error(kRfcFailure + " - T" + mk)},
      {"database system and system id the SAP system reports",
       {PrtgProfileFile(UsableProfile()),
        LandscapeWith(ReachableSystem().Set("DBSYS", "DB4" + mk).Set("SYSID", "S" + mk))},
       {"prd"}, Measured(ResultText("PRD", "DB4" + mk, "20240115", "083000", "S" + mk + "  "))},
      {"RFC library", {PrtgProfileFile(UsableProfile()), Landscape()},
       {"--rfc-library=l" + mk, "prd"},
       Error("Error 1110: RFC-Library l" + mk + " is not available...")},
      {"RFC library in a directory", {PrtgProfileFile(UsableProfile()), Landscape()},
       {"--rfc-library=d" + mk + "/l", "prd"},
       Error("Error 1112: RFC-Library d" + mk + "/l is no file name beside the program...")},
      {"output mode", {}, {"--mode=M" + mk, "prd"},
       Error("Error 1102: Output-Mode M" + mk + " is unknown...")},
  });
}

}  // namespace
