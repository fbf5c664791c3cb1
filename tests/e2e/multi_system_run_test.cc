// Multi-system runs from a global server listing or an item file: the
// opening printed before the first system, the summary when every listed
// profile is missing (each counted only in NoSystems), the console report
// lines around them, and the end at the first profile that opens while the
// RFC library is missing.
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/e2e/expected_output.h"
#include "tests/e2e/program_run.h"
#include "tests/e2e/sample_files.h"

namespace {

const std::string kGlobalFile = std::string(kProgramFilesDir) + "SAP Quadrant.Gbl";
const std::string kItemFile = std::string(kProgramFilesDir) + "Quadrant.Prf";
const std::string kWorkItemFile = std::string(kWorkDir) + "Quadrant.Prf";
const std::string kSensor(kSensorItem);

std::string Listing(std::string_view sensor, std::string_view text) {
  return ListingLine(sensor, text) + "\n";
}
std::string Allocation(std::string_view sensor, std::string_view text) {
  return AllocationLine(sensor, text) + "\n";
}
std::string Item(std::string_view text) { return ItemLine(text) + "\n"; }

/// How the summary document is framed in the run's mode.
enum class Framing {
  kXml,       // EXEXML, Vantrel, Mirabel
  kLines,     // Tessaryn, and Corvane without "CH="
  kSelected,  // Corvane with "CH=": the message is discarded
};

/// Everything a run prints without console lines when all its listed
/// profiles are missing.
std::string SummaryRun(Framing framing, std::string_view item, int systems) {
  const std::string message = SummaryMessage(item, systems);
  switch (framing) {
    case Framing::kXml:
      return std::string(kXmlOpening) + "\n<Text>" + XmlEscaped(message) +
             "</Text>\n\n</Prtg>\n\n";
    case Framing::kLines:
      return std::string(kLinesOpening) + "\n# " + message + "\n\n";
    case Framing::kSelected:
      return std::string(kLinesOpening) + "\n\n";
  }
  return "";
}

TEST(MultiSystemRun, SummaryCountsEveryListedName) {
  static int names_2047 = 0;
  static const std::string listing_2047 = ListingOfLength(2047, &names_2047);
  static const struct {
    const char* name;
    std::vector<HostFile> files;
    std::vector<std::string> args;
    Framing framing;
    std::string item;
    int systems;
  } kCases[] = {
      {"listing lines before and after the allocation are joined",
       {{kGlobalFile, Listing("PRD", "A.P00#B.P00#") +
                          Allocation("PRD", kSensor + ",Item=North:Plant") +
                          Listing("PRD", "C.P00#")}},
       {"global", "PRD"}, Framing::kXml, "North Plant", 3},
      {"a name runs on into the next line",
       {{kGlobalFile, Listing("PRD", "A.P0") + Listing("PRD", "0#B.P00#") +
                          Allocation("PRD", kSensor + ",Item=N")}},
       {"global", "PRD"}, Framing::kXml, "N", 2},
      {"last name without its #",
       {{kGlobalFile,
         Listing("PRD", "A.P00#B.P00") + Allocation("PRD", kSensor + ",Item=N")}},
       {"global", "PRD"}, Framing::kXml, "N", 2},
      {"lines and sensor name in lower case match",
       {{kGlobalFile, "# gsng: prd         A.P00#\n# gsnx: prd        " + kSensor +
                          ",Item=N\n"}},
       {"global", "prd"}, Framing::kXml, "N", 1},
      {"lines of other sensors are left out",
       {{kGlobalFile, Listing("QAS", "Q1.P00#Q2.P00#") +
                          Allocation("QAS", "no allocation item") +
                          Listing("PRD", "A.P00#") + Allocation("PRDX", "Item=X") +
                          Allocation("PRD", kSensor + ",Item=N")}},
       {"global", "PRD"}, Framing::kXml, "N", 1},
      {"sensor name of 12 characters compared on 10",
       {{kGlobalFile, Listing("PRODUCTION", "A.P00#") +
                          Allocation("PRODUCTION", kSensor + ",Item=N")}},
       {"global", "PRODUCTION12"}, Framing::kXml, "N", 1},
      {"item ends at a blank",
       {{kGlobalFile,
         Listing("PRD", "A.P00#") + Allocation("PRD", "Item=Big Plant," + kSensor)}},
       {"global", "PRD"}, Framing::kXml, "Big", 1},
      {"last allocation line supplies the item",
       {{kGlobalFile, Allocation("PRD", "Item=One," + kSensor) +
                          Listing("PRD", "A.P00#") +
                          Allocation("PRD", "Item=Two," + kSensor)}},
       {"global", "PRD"}, Framing::kXml, "Two", 1},
      {"allocation parameters of 127 characters",
       {{kGlobalFile, Listing("PRD", "A.P00#") +
                          Allocation("PRD", kSensor + ",Item=N," + std::string(97, 'p'))}},
       {"global", "PRD"}, Framing::kXml, "N", 1},
      {"listing of 2047 characters",
       {{kGlobalFile, Allocation("PRD", kSensor + ",Item=N") +
                          SpreadOverLines(listing_2047, 170, [](std::string_view text) {
                            return ListingLine("PRD", text);
                          })}},
       {"global", "PRD"}, Framing::kXml, "N", names_2047},
      {"item file: only \"# Gsng: \" lines",
       {{kItemFile, Item("A.P00#") + "# GSNG: PRD         B.P00#\n" +
                        "# gsng: unread cols C.P00#\n" + Item("D.P00#")}},
       {"x", "ITEM=Plant:North,more"}, Framing::kXml, "Plant North", 2},
      {"item cut at 90 characters",
       {{kItemFile, Item("A.P00#")}}, {"x", "ITEM=" + std::string(100, 'i')},
       Framing::kXml, std::string(90, 'i'), 1},
      {"markup characters in the item",
       {{kItemFile, Item("A.P00#")}}, {"x", "ITEM=A&B<C>"}, Framing::kXml, "A&B<C>", 1},
      {"listed profiles are opened in the listing's directory",
       {{kItemFile, Item("A.P00#")}, {std::string(kWorkDir) + "A.P00", UsableProfile()}},
       {"x", "ITEM=Z"}, Framing::kXml, "Z", 1},
      {"Vantrel: item file in the working directory",
       {{kWorkItemFile, Item("A.P00#B.P00#")}}, {"--mode=Vantrel", "x", "ITEM=Z"},
       Framing::kXml, "Z", 2},
      {"Tessaryn: item file in the working directory",
       {{kWorkItemFile, Item("A.P00#")}}, {"--mode=Tessaryn", "x", "ITEM=Z"},
       Framing::kLines, "Z", 1},
      {"Tessaryn: the channel selector changes nothing",
       {{kWorkItemFile, Item("A.P00#")}}, {"--mode=Tessaryn", "x", "ITEM=Z,CH=1"},
       Framing::kLines, "Z", 1},
      {"Corvane: selector before \",Sensor=\" discards the message",
       {{"D/x/SAP Quadrant.Gbl",
         Listing("PRD", "A.P00#") + Allocation("PRD", ",CH=2," + kSensor + ",Item=Z,SYSLOG")}},
       {"--mode=Corvane", "D:\\x\\GLOBAL", "PRD"}, Framing::kSelected, "Z", 1},
      {"Corvane: selector in lower case counts",
       {{"D/x/SAP Quadrant.Gbl",
         Listing("PRD", "A.P00#") + Allocation("PRD", "ch=1,Item=Z," + kSensor)}},
       {"--mode=Corvane", "D:\\x\\GLOBAL", "PRD"}, Framing::kSelected, "Z", 1},
      {"Corvane: selector after \",Sensor=\" no longer counts",
       {{"D/x/SAP Quadrant.Gbl",
         Listing("PRD", "A.P00#") + Allocation("PRD", "Item=Z," + kSensor + ",CH=2")}},
       {"--mode=Corvane", "D:\\x\\GLOBAL", "PRD"}, Framing::kLines, "Z", 1},
      {"Corvane: command-line selector replaced by the allocation's parameters",
       {{"D/x/SAP Quadrant.Gbl",
         Listing("PRD", "A.P00#") + Allocation("PRD", "Item=Z," + kSensor)}},
       {"--mode=Corvane", "D:\\x\\GLOBAL", "PRD CH=1"}, Framing::kLines, "Z", 1},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    ProgramResult result = RunProgram(c.files, c.args);
    ExpectOutput(result, SummaryRun(c.framing, c.item, c.systems), 0);
    if (c.framing == Framing::kXml) {
      EXPECT_TRUE(ParsesWithText(result.out, SummaryMessage(c.item, c.systems)));
    }
  }
}

/// The executing line of a multi-system run, time masked.
std::string ExecutingLine(std::string_view parameters) {
  return "* HH:MM:SS " + std::string(parameters) + " State=Executing\n";
}

/// Console lines, opening, summary of one system and closing line of an
/// EXEXML run.
std::string ConsoleRun(std::string_view parameters, std::string_view item) {
  return std::string(kHeaderLine) + ExecutingLine(parameters) +
         SummaryRun(Framing::kXml, item, 1) + std::string(kClosingLine);
}

TEST(MultiSystemRun, ConsoleReportLinesFrameTheSummary) {
  static const std::string long_parameters = "ITEM=Z,#" + std::string(92, 'p');
  static const struct {
    const char* name;
    std::vector<HostFile> files;
    std::vector<std::string> args;
    std::string expected;
  } kCases[] = {
      {"\"@\": cut at \" @\", colons made blanks, files in the working directory",
       {{kWorkItemFile, Item("A.P00#")}}, {"x", "ITEM=Plant:North @ by hand"},
       ConsoleRun("ITEM=Plant North", "Plant North")},
      {"\"@\" without a blank before it is not a cut",
       {{kWorkItemFile, Item("A.P00#")}}, {"x", "ITEM=Z,@x"},
       ConsoleRun("ITEM=Z,@x", "Z")},
      {"\"$\"", {{kItemFile, Item("A.P00#")}}, {"x", "ITEM=Z,$"},
       ConsoleRun("ITEM=Z,$", "Z")},
      {"\"%\" in argument 2, item in argument 3", {{kItemFile, Item("A.P00#")}},
       {"x", "%", "ITEM=Z"}, ConsoleRun("% ITEM=Z", "Z")},
      {"\"#\" in a global run shows the allocation's parameters",
       {{kGlobalFile, Listing("PRD", "A.P00#") +
                          Allocation("PRD", "Item=North:A,CH=2," + kSensor + ",SYSLOG")}},
       {"global", "PRD #"}, ConsoleRun("Item=North A,CH=2", "North A")},
      {"executing line cut at 123 characters", {{kItemFile, Item("A.P00#")}},
       {"x", long_parameters},
       std::string(kHeaderLine) +
           ExecutingLine(long_parameters).substr(0, 123) + "\n" +
           SummaryRun(Framing::kXml, "Z", 1) + std::string(kClosingLine)},
      {"Tessaryn", {{kWorkItemFile, Item("A.P00#")}}, {"--mode=Tessaryn", "x", "ITEM=Z @"},
       std::string(kHeaderLine) + ExecutingLine("ITEM=Z") +
           SummaryRun(Framing::kLines, "Z", 1) + std::string(kClosingLine)},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    ExpectOutput(RunProgram(c.files, c.args), c.expected, 0);
  }
}

TEST(MultiSystemRun, FirstProfileThatOpensMeetsTheMissingRfcLibrary) {
  static const std::string kListing =
      Listing("PRD", "A.P00#B.P00#C.P00#") + Allocation("PRD", kSensor + ",Item=N");
  static const std::string kProfileB = std::string(kProgramFilesDir) + "B.P00";
  static const struct {
    const char* name;
    std::vector<HostFile> files;
    std::vector<std::string> args;
    std::string before;  // what is printed ahead of the error document
  } kCases[] = {
      {"usable profile after a missing one",
       {{kGlobalFile, kListing}, {kProfileB, UsableProfile()}}, {"global", "PRD"},
       std::string(kXmlOpening)},
      {"unusable profile does not end the run",
       {{kGlobalFile, kListing}, {kProfileB, ""}}, {"global", "PRD"},
       std::string(kXmlOpening)},
      {"Corvane",
       {{"D/x/SAP Quadrant.Gbl", kListing}, {"D/x/B.P00", UsableProfile()}},
       {"--mode=Corvane", "D:\\x\\global", "PRD"}, std::string(kLinesOpening)},
      {"console lines first",
       {{kWorkItemFile, Item("A.P00#B.P00#")},
        {std::string(kWorkDir) + "B.P00", UsableProfile()}},
       {"x", "ITEM=Z @"},
       std::string(kHeaderLine) + "* HH:MM:SS ITEM=Z State=Executing\n" +
           std::string(kXmlOpening)},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    ExpectErrorDocument(RunProgram(c.files, c.args), kRfcLibraryMissing, c.before);
  }
}

}  // namespace
