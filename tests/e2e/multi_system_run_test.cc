// Multi-system runs from a global server listing or an item file: the
// opening printed before the first system, the summary when every listed
// profile is missing (each counted only in NoSystems), the console report
// lines around them, and the end at the first profile that opens while the
// RFC library is missing. Then runs that measure landscapes of the stand-in
// library: mixed outcomes with their state lines and counts, the steps that
// end the whole run, a failed last sizing in front of the summary, what the
// stand-in's journal shows of structures and tables, the trace file that
// stays, and the run log.
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/e2e/expected_output.h"
#include "tests/e2e/landscape.h"
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
  // The library is loaded for the first system whose profile opens, usable
  // or not, since the connection is tried either way.
  static const std::string kNoLibraryOption = "--rfc-library=nosuch.so";
  static const std::string kNoLibrary = "Error 1110: RFC-Library nosuch.so is not available...";
  static const std::string kListing =
      Listing("PRD", "A.P00#B.P00#C.P00#") + Allocation("PRD", kSensor + ",Item=N");
  static const std::string kProfileB = std::string(kProgramFilesDir) + "B.P00";
  static const struct {
    const char* name;
    std::vector<HostFile> files;
    std::vector<std::string> args;
    std::string before;  // what is printed ahead of the error document
    bool inside;         // the error goes inside the opened document
  } kCases[] = {
      {"usable profile after a missing one",
       {{kGlobalFile, kListing}, {kProfileB, UsableProfile()}},
       {kNoLibraryOption, "global", "PRD"}, std::string(kXmlOpening), true},
      {"unusable profile does not end the run",
       {{kGlobalFile, kListing}, {kProfileB, ""}}, {kNoLibraryOption, "global", "PRD"},
       std::string(kXmlOpening), true},
      {"Corvane: no document is open, the whole error document follows",
       {{"D/x/SAP Quadrant.Gbl", kListing}, {"D/x/B.P00", UsableProfile()}},
       {"--mode=Corvane", kNoLibraryOption, "D:\\x\\global", "PRD"},
       std::string(kLinesOpening), false},
      {"console lines first",
       {{kWorkItemFile, Item("A.P00#B.P00#")},
        {std::string(kWorkDir) + "B.P00", UsableProfile()}},
       {kNoLibraryOption, "x", "ITEM=Z @"},
       std::string(kHeaderLine) + "* HH:MM:SS ITEM=Z State=Executing\n" +
           std::string(kXmlOpening), true},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    ProgramResult result = RunProgram(c.files, c.args);
    if (c.inside) {
      ExpectErrorInsideDocument(result, kNoLibrary, c.before);
    } else {
      ExpectErrorDocument(result, kNoLibrary, c.before);
    }
  }
}

// Runs through the stand-in library. The listed profiles log on with user
// monitor and password "secret"; each reaches the stand-in system on its
// host and system number.

/// The profile of a listed system on `host` with system number `sysnr`.
std::string ListedProfile(std::string_view destination, std::string_view host,
                          std::string_view sysnr, std::string_view client = "100") {
  std::string profile;
  auto line = [&profile](std::string_view label, std::string_view value) {
    profile += std::string(label) + " " + std::string(value) + "\n";
  };
  line(kExtcompany, "Kestrel Test Company");
  line(kDestination, destination);
  line(kClient, client);
  line(kUser, "monitor");
  line(kPassword, StoredPassword("secret"));
  line(kLanguage, "E");
  line(kMode, "R/3");
  line(kHostname, host);
  line(kSysnr, sysnr);
  line(kGwhost, "sapgw");
  line(kGwservice, "sapgw00");
  return profile;
}

/// `profile` without the lines that start with one of `labels`.
std::string Without(std::string_view profile, std::initializer_list<std::string_view> labels) {
  return LinesByPrefix(profile, labels, false);
}

/// `profile` with the value of the line labelled `label` replaced.
std::string WithValue(std::string_view profile, std::string_view label,
                      std::string_view value) {
  return Without(profile, {label}) + std::string(label) + " " + std::string(value) + "\n";
}

/// A DB4 system on `host` / `sysnr` that accepts the logon of the listed
/// profiles with `client` and answers every call.
SimSystem HealthySystem(std::string sid, std::string_view host, std::string_view sysnr,
                        std::string_view client = "100") {
  SimSystem system(std::move(sid));
  system.Set("host", host)
      .Set("sysnr", sysnr)
      .Set("client", client)
      .Set("user", "MONITOR")
      .Set("password", "secret");
  return system;
}

/// The landscape file holding `systems`.
HostFile Landscape(std::initializer_list<SimSystem> systems) {
  LandscapeText landscape;
  for (const SimSystem& system : systems) landscape.Add(system);
  return landscape.File();
}

/// The journal line of the RfcOpen of a listed profile that answered
/// `handle` (0 when the open failed).
std::string OpenLine(std::string_view destination, std::string_view host, int sysnr,
                     std::string_view client, int handle) {
  return "RfcOpen dest=\"" + std::string(destination) + "\" mode=0 host=\"" +
         std::string(host) + "\" sysnr=" + std::to_string(sysnr) +
         " gwhost=\"sapgw\" gwservice=\"sapgw00\" client=\"" + std::string(client) +
         "\" user=\"MONITOR     \" password=\"secret    \" lang=\"E\" trace=0 -> " +
         std::to_string(handle) + "\n";
}

std::string CloseLine(int handle) {
  return "RfcClose handle=" + std::to_string(handle) + "\n";
}

/// The state line of a listed system, time masked.
std::string StateLine(std::string_view profile, std::string_view host,
                      std::string_view destination, std::string_view sysnr,
                      std::string_view client, std::string_view state) {
  return "\n* HH:MM:SS " + std::string(profile) + ", " + std::string(host) + ", " +
         std::string(destination) + ", " + std::string(sysnr) + ", " + std::string(client) +
         " State=" + std::string(state) + "\n";
}

/// The summary message with all three counts.
std::string CountsMessage(std::string_view item, int systems, int processed, int failed) {
  return "(***) " + std::string(item) + ": NoSystems=" + std::to_string(systems) +
         ", Processed=" + std::to_string(processed) + ", Failed=" + std::to_string(failed);
}

/// The end of an EXEXML run: what the buffer still held, then the summary.
std::string XmlSummary(std::string_view message, std::string_view leftover = "") {
  return std::string(leftover) + "\n<Text>" + XmlEscaped(message) + "</Text>\n\n</Prtg>\n\n";
}

/// Profile `name` in the host directory `dir`.
HostFile ProfileIn(std::string_view dir, std::string_view name, std::string profile) {
  return {std::string(dir) + std::string(name), std::move(profile)};
}

TEST(MultiSystemRun, MixedOutcomesAreCountedAndReported) {
  constexpr std::string_view dir = kProgramFilesDir;
  static const struct {
    const char* name;
    std::vector<HostFile> files;
    std::vector<std::string> args;
    std::string expected;
    std::string opens_and_closes;  // the RfcOpen and RfcClose lines of the journal
  } kCases[] = {
      {"global run",
       {{kGlobalFile, Listing("PRD", "A.P00#B.P00#C.P00#D.P00#E.P00#F.P00#G.P00#") +
                          Allocation("PRD", "Item=Mixed:Run," + kSensor)},
        // Healthy; the system reports the host name appa.
        ProfileIn(dir, "A.P00", ListedProfile("DSA", "hosta", "01", "300")),
        // Without host and client: A's host and client stay, the state line
        // shows the host that A's system reported.
        ProfileIn(dir, "B.P00", Without(ListedProfile("DSB", "-", "02"), {kHostname, kClient})),
        // A profile fault: no connection is made, and the password of B
        // never reaches C's host.
        ProfileIn(dir, "C.P00", WithValue(ListedProfile("DSC", "hostc", "03"), kPassword,
                                          StoredPasswordWithBadCheckDigit("secret"))),
        // D.P00 is missing. E names a host that is not in the landscape.
        ProfileIn(dir, "E.P00", ListedProfile("DSE", "hoste", "05")),
        // F's sizing fails; G after it is healthy.
        ProfileIn(dir, "F.P00", ListedProfile("DSF", "hostf", "06")),
        ProfileIn(dir, "G.P00", ListedProfile("DSG", "hostg", "07")),
        Landscape({HealthySystem("SA", "hosta", "01", "300").Set("RFCHOST", "appa"),
                   HealthySystem("SB", "hosta", "02", "300"),
                   HealthySystem("SC", "hostc", "03"),
                   HealthySystem("SF", "hostf", "06").Set("DB02_DB4_GET_INFO", "failure 1"),
                   HealthySystem("SG", "hostg", "07")})},
       {"global", "PRD #"},
       std::string(kHeaderLine) + "* HH:MM:SS Item=Mixed Run State=Executing\n" +
           std::string(kXmlOpening) +
           StateLine("A.P00", "hosta", "DSA", "01", "300", "Processed") +
           StateLine("B.P00", "appa    ", "DSB", "02", "300", "Processed") +
           StateLine("C.P00", "hostc", "DSC", "03", "100", "Rfc Failure") +
           StateLine("E.P00", "hoste", "DSE", "05", "100", "Rfc Failure") +
           StateLine("F.P00", "hostf", "DSF", "06", "100", "Rfc Failure") +
           StateLine("G.P00", "hostg", "DSG", "07", "100", "Processed") +
           XmlSummary(CountsMessage("Mixed Run", 7, 3, 3)) + std::string(kClosingLine),
       OpenLine("DSA", "hosta", 1, "300", 1) + CloseLine(1) +
           OpenLine("DSB", "hosta", 2, "300", 2) + CloseLine(2) +
           OpenLine("DSE", "hoste", 5, "100", 0) +
           OpenLine("DSF", "hostf", 6, "100", 3) + CloseLine(3) +
           OpenLine("DSG", "hostg", 7, "100", 4) + CloseLine(4)},
      {"item run",
       {{kItemFile, Item("H.P00#W.P00#M.P00#")},
        ProfileIn(dir, "H.P00", ListedProfile("DSH", "hosth", "08")),
        // The landscape refuses W's password; M.P00 is missing.
        ProfileIn(dir, "W.P00", ListedProfile("DSW", "hostw", "09")),
        Landscape({HealthySystem("SH", "hosth", "08"),
                   HealthySystem("SW", "hostw", "09").Set("password", "other")})},
       {"x", "ITEM=North,$"},
       std::string(kHeaderLine) + "* HH:MM:SS ITEM=North,$ State=Executing\n" +
           std::string(kXmlOpening) +
           StateLine("H.P00", "hosth", "DSH", "08", "100", "Processed") +
           StateLine("W.P00", "hostw", "DSW", "09", "100", "Rfc Failure") +
           XmlSummary(CountsMessage("North", 3, 1, 1)) + std::string(kClosingLine),
       OpenLine("DSH", "hosth", 8, "100", 1) + CloseLine(1) +
           OpenLine("DSW", "hostw", 9, "100", 0)},
      // The executing line shows the parameters cut before " @"; the
      // overrides behind the cut still count.
      {"overrides behind the cut of the executing line",
       {{kWorkItemFile, Item("A.P00#")},
        ProfileIn(kWorkDir, "A.P00", ListedProfile("DSA", "hosta", "01")),
        Landscape({HealthySystem("SZ", "hostz", "09")})},
       {"x", "ITEM=Alt @,HOST=hostz,NO=09"},
       std::string(kHeaderLine) + "* HH:MM:SS ITEM=Alt State=Executing\n" +
           std::string(kXmlOpening) +
           StateLine("A.P00", "hosta", "DSA", "01", "100", "Processed") +
           XmlSummary(CountsMessage("Alt", 1, 1, 0)) + std::string(kClosingLine),
       OpenLine("DSA", "hostz", 9, "100", 1) + CloseLine(1)},
      // A is healthy. Each later profile lacks a logon of its own in another
      // way; every one of them has a system that would accept A's logon, and
      // none is logged on to. H, last, has its own logon and the gateway of A.
      {"logon never comes from another profile",
       {{kItemFile, Item("A.P00#B.P00#C.P00#D.P00#E.P00#H.P00#")},
        ProfileIn(dir, "A.P00", ListedProfile("DSA", "hosta", "01")),
        // Destination, host and system number only.
        ProfileIn(dir, "B.P00", LinesByPrefix(ListedProfile("DSB", "hostb", "02"),
                                              {kDestination, kHostname, kSysnr}, true)),
        // The stored password fails its check digit.
        ProfileIn(dir, "C.P00", WithValue(ListedProfile("DSC", "hostc", "03"), kPassword,
                                          StoredPasswordWithBadCheckDigit("secret"))),
        ProfileIn(dir, "D.P00", ""),
        // A user, but no password line.
        ProfileIn(dir, "E.P00", Without(ListedProfile("DSE", "hoste", "05"), {kPassword})),
        ProfileIn(dir, "H.P00", Without(ListedProfile("DSH", "hosth", "08"), {kGwhost})),
        Landscape({HealthySystem("SA", "hosta", "01"), HealthySystem("SB", "hostb", "02"),
                   HealthySystem("SC", "hostc", "03"), HealthySystem("SE", "hoste", "05"),
                   HealthySystem("SH", "hosth", "08")})},
       {"x", "ITEM=Logon,$"},
       // D's state line shows what stays from C: an empty profile has no values.
       std::string(kHeaderLine) + "* HH:MM:SS ITEM=Logon,$ State=Executing\n" +
           std::string(kXmlOpening) +
           StateLine("A.P00", "hosta", "DSA", "01", "100", "Processed") +
           StateLine("B.P00", "hostb", "DSB", "02", "100", "Rfc Failure") +
           StateLine("C.P00", "hostc", "DSC", "03", "100", "Rfc Failure") +
           StateLine("D.P00", "hostc", "DSC", "03", "100", "Rfc Failure") +
           StateLine("E.P00", "hoste", "DSE", "05", "100", "Rfc Failure") +
           StateLine("H.P00", "hosth", "DSH", "08", "100", "Processed") +
           XmlSummary(CountsMessage("Logon", 6, 2, 4)) + std::string(kClosingLine),
       OpenLine("DSA", "hosta", 1, "100", 1) + CloseLine(1) +
           OpenLine("DSH", "hosth", 8, "100", 2) + CloseLine(2)},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    std::map<std::string, std::string> left;
    ProgramResult result =
        RunProgramKeepingFiles(c.files, c.args, {std::string(kJournalFile)}, &left);
    ExpectOutput(result, c.expected, 0);
    EXPECT_EQ(JournalLines(left[std::string(kJournalFile)], {"RfcOpen ", "RfcClose "}),
              c.opens_and_closes);
  }
}

TEST(MultiSystemRun, StepThatCannotGoOnEndsTheWholeRun) {
  // A is measured, X's open fails, B meets the case's fault; C, after it,
  // must not be contacted. A failed call's trace-file remark comes from B's
  // block, the last in the trace file.
  static const std::string dir(kProgramFilesDir);
  static const std::vector<HostFile> kFiles = {
      {kGlobalFile, Listing("PRD", "A.P00#X.P00#B.P00#C.P00#") +
                        Allocation("PRD", "Item=N," + kSensor)},
      ProfileIn(dir, "A.P00", ListedProfile("DSA", "hosta", "01")),
      ProfileIn(dir, "X.P00", ListedProfile("DSX", "hostx", "09")),
      ProfileIn(dir, "B.P00", ListedProfile("DSB", "hostb", "02")),
      ProfileIn(dir, "C.P00", ListedProfile("DSC", "hostc", "03")),
  };
  static const std::string kBefore =
      std::string(kHeaderLine) + "* HH:MM:SS Item=N State=Executing\n" +
      std::string(kXmlOpening) + StateLine("A.P00", "hosta", "DSA", "01", "100", "Processed") +
      StateLine("X.P00", "hostx", "DSX", "09", "100", "Rfc Failure");
  static const std::string kOpensAndCloses =
      OpenLine("DSA", "hosta", 1, "100", 1) + CloseLine(1) +
      OpenLine("DSX", "hostx", 9, "100", 0) + OpenLine("DSB", "hostb", 2, "100", 2) +
      CloseLine(2);
  static const struct {
    const char* name;
    const char* key;  // the setting of B's system that makes the fault
    const char* value;
    std::string message;
  } kCases[] = {
      {"database on ORACLE", "RFCDBSYS", "ORACLE", "Error 1018: DataBase mismatch !"},
      {"GET_CPU_ALL fails", "GET_CPU_ALL", "failure 1 on call",
       "Error 1014: RFC-Failure raised ! - connection to partner broken during GET_CPU_ALL"},
      {"RFC_SYSTEM_INFO raises an exception", "RFC_SYSTEM_INFO", "exception NOT_AUTHORIZED",
       "Error 1012: Exception.: NOT_AUTHORIZED - exception NOT_AUTHORIZED raised by "
       "RFC_SYSTEM_INFO"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    std::vector<HostFile> files = kFiles;
    files.push_back(Landscape({HealthySystem("SA", "hosta", "01"),
                               HealthySystem("SB", "hostb", "02").Set(c.key, c.value),
                               HealthySystem("SC", "hostc", "03")}));
    std::map<std::string, std::string> left;
    ProgramResult result =
        RunProgramKeepingFiles(files, {"global", "PRD #"}, {std::string(kJournalFile)}, &left);
    ExpectErrorInsideDocument(result, c.message, kBefore);
    EXPECT_EQ(JournalLines(left[std::string(kJournalFile)], {"RfcOpen ", "RfcClose "}),
              kOpensAndCloses);
  }
}

TEST(MultiSystemRun, FailedLastSizingLeadsTheSummary) {
  // A is healthy, B's sizing fails with the case's outcome, X's open fails
  // and M.P00 is missing; the listing orders them.
  static const std::string kRfcFailure = "Error 1014: RFC-Failure raised !";
  static const std::string kException = "Error 1012: Exception.: NO<DATA&MORE>";
  static const struct {
    const char* name;
    std::string mode;  // "--mode=..." or empty for EXEXML
    std::string listing;
    std::string outcome;   // B's DB02_DB4_GET_INFO
    std::string leftover;  // the message in front of the summary
    std::string summary;
  } kCases[] = {
      {"RFC failure", "", "A.P00#B.P00#", "failure 1", kRfcFailure,
       CountsMessage("N", 2, 1, 1)},
      {"exception name with markup", "", "A.P00#B.P00#", "exception NO<DATA&MORE>",
       kException, CountsMessage("N", 2, 1, 1)},
      {"Tessaryn", "--mode=Tessaryn", "A.P00#B.P00#", "exception NO<DATA&MORE>",
       kException, CountsMessage("N", 2, 1, 1)},
      {"a missing profile after it keeps it", "", "A.P00#B.P00#M.P00#", "failure 1",
       kRfcFailure, CountsMessage("N", 3, 1, 1)},
      {"a failed open after it clears it", "", "A.P00#B.P00#X.P00#", "failure 1", "",
       CountsMessage("N", 3, 1, 2)},
      {"an earlier failed sizing leaves no trace", "", "B.P00#A.P00#", "failure 1", "",
       CountsMessage("N", 2, 1, 1)},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    // EXEXML finds the files in the PRTG directory, the other modes in the
    // typed one.
    const std::string dir = c.mode.empty() ? std::string(kProgramFilesDir) : "D/x/";
    std::vector<HostFile> files = {
        {dir + "SAP Quadrant.Gbl",
         Listing("PRD", c.listing) + Allocation("PRD", "Item=N," + kSensor)},
        ProfileIn(dir, "A.P00", ListedProfile("DSA", "hosta", "01")),
        ProfileIn(dir, "B.P00", ListedProfile("DSB", "hostb", "02")),
        ProfileIn(dir, "X.P00", ListedProfile("DSX", "hostx", "09")),
        Landscape({HealthySystem("SA", "hosta", "01"),
                   HealthySystem("SB", "hostb", "02").Set("DB02_DB4_GET_INFO", c.outcome)}),
    };
    if (c.mode.empty()) {
      // Inside the XML document the leftover text is escaped like every
      // other text, so the document stays well-formed.
      ProgramResult result = RunProgram(files, {"global", "PRD"});
      ExpectOutput(result,
                   std::string(kXmlOpening) + XmlSummary(c.summary, XmlEscaped(c.leftover)), 0);
      EXPECT_TRUE(ParsesWithText(result.out, c.summary));
    } else {
      ExpectOutput(RunProgram(files, {c.mode, "D:\\x\\global", "PRD"}),
                   std::string(kLinesOpening) + c.leftover + "\n# " + c.summary + "\n\n", 0);
    }
  }
}

TEST(MultiSystemRun, HealthySystemsShareStructuresAndKeepTheTraceFile) {
  // Three healthy systems of an item run, and a trace file of an earlier run
  // in the working directory.
  static const std::string dir(kProgramFilesDir);
  static const std::string kOldTrace = "**** ERROR file opened at 20240101 000000\n";
  std::vector<HostFile> files = {
      {kItemFile, Item("A.P00#B.P00#C.P00#")},
      ProfileIn(dir, "A.P00", ListedProfile("DSA", "hosta", "01")),
      ProfileIn(dir, "B.P00", ListedProfile("DSB", "hostb", "02")),
      ProfileIn(dir, "C.P00", ListedProfile("DSC", "hostc", "03")),
      Landscape({HealthySystem("SA", "hosta", "01"), HealthySystem("SB", "hostb", "02"),
                 HealthySystem("SC", "hostc", "03")}),
      {std::string(kTraceFile), kOldTrace},
  };
  std::map<std::string, std::string> left;
  ProgramResult result = RunProgramKeepingFiles(
      files, {"x", "ITEM=N"}, {std::string(kJournalFile), std::string(kTraceFile)}, &left);
  ExpectOutput(result, std::string(kXmlOpening) + XmlSummary(CountsMessage("N", 3, 3, 0)), 0);
  const std::string& journal = left[std::string(kJournalFile)];
  EXPECT_EQ(JournalLines(journal, {"RfcInstallStructure "}),
            "RfcInstallStructure name=\"CPU_ALL\" rows=13 -> 0 handle=1001\n"
            "RfcInstallStructure name=\"RFCSI\" rows=18 -> 0 handle=1002\n"
            "RfcInstallStructure name=\"DB02INFDB4\" rows=21 -> 0 handle=1003\n"
            "RfcInstallStructure name=\"MISSOBJ\" rows=1 -> 0 handle=1004\n");
  const std::string kCpuTable =
      "ItCreate name=\"TF_CPU_ALL\" length=48 occupation=0 memory=0 -> ok\n"
      "ItDelete table=\"TF_CPU_ALL\" -> 0\n";
  EXPECT_EQ(JournalLines(journal, {"ItCreate name=\"TF_CPU_ALL\"", "ItDelete table=\"TF_CPU_ALL\"",
                                   "RfcClose "}),
            kCpuTable + CloseLine(1) + kCpuTable + CloseLine(2) + kCpuTable + CloseLine(3));
  // Only a successful single-system run deletes the trace file.
  ASSERT_TRUE(left.contains(std::string(kTraceFile)));
  EXPECT_EQ(left[std::string(kTraceFile)], kOldTrace);
}

TEST(MultiSystemRun, RunLogFollowsTheRunParameters) {
  // A is measured on connection 1, X's open fails; every RFC call of the
  // run gets its line, and no "program started" line is written.
  static const std::string kLog =
      "1 RfcOpen called \n"
      "1 RfcCall called \n1 RfcReceive called \n"
      "1 RfcCall called \n1 RfcReceive called \n"
      "1 RfcCall called \n1 RfcReceive called \n"
      "0 RfcOpen called \n";
  static const struct {
    const char* name;
    std::string listing_file;
    std::vector<std::string> args;
    std::string log;  // empty: no run log is written
  } kCases[] = {
      {"\",SYSLOG\" before \",Sensor=\"",
       Listing("PRD", "A.P00#X.P00#") + Allocation("PRD", "Item=N,SYSLOG," + kSensor),
       {"global", "PRD"}, kLog},
      {"\",SYSLOG\" after \",Sensor=\"",
       Listing("PRD", "A.P00#X.P00#") + Allocation("PRD", "Item=N," + kSensor + ",SYSLOG"),
       {"global", "PRD"}, ""},
      {"\",SYSLOG\" of the command line replaced by the allocation's parameters",
       Listing("PRD", "A.P00#X.P00#") + Allocation("PRD", "Item=N," + kSensor),
       {"global", "PRD ,SYSLOG"}, ""},
      {"item run: \",SYSLOG\" of the command line", Item("A.P00#X.P00#"),
       {"x", "ITEM=N,SYSLOG"}, kLog},
  };
  static const std::string dir(kProgramFilesDir);
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const bool item_run = c.args[0] == "x";
    std::vector<HostFile> files = {
        {item_run ? kItemFile : kGlobalFile, c.listing_file},
        ProfileIn(dir, "A.P00", ListedProfile("DSA", "hosta", "01")),
        ProfileIn(dir, "X.P00", ListedProfile("DSX", "hostx", "09")),
        Landscape({HealthySystem("SA", "hosta", "01")}),
    };
    std::map<std::string, std::string> left;
    ProgramResult result = RunProgramKeepingFiles(files, c.args, {std::string(kRunLogFile)}, &left);
    ExpectOutput(result, std::string(kXmlOpening) + XmlSummary(CountsMessage("N", 2, 1, 1)), 0);
    if (c.log.empty()) {
      EXPECT_FALSE(left.contains(std::string(kRunLogFile)));
    } else {
      EXPECT_EQ(left[std::string(kRunLogFile)], c.log);
    }
  }
}

}  // namespace
