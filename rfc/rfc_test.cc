#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <vector>

#include "base/file_lock.h"
#include "base/test_files.h"
#include "rfc/rfc_connection.h"
#include "rfc/rfc_failure.h"

namespace {

TEST(OverrideValueTest, TakesTheTextUpToCommaOrBlank) {
  static const struct {
    const char* parameters;
    const char* key;
    std::optional<std::string> value;
  } kCases[] = {
      {"x,HOST=sapqas01,NO=01", ",HOST=", "sapqas01"},
      {"x,HOST=sapqas01,NO=01", ",NO=", "01"},
      {"x,host=MixedCase y", ",HOST=", "MixedCase"},
      {"x,HOST=", ",HOST=", ""},
      {"HOST=a", ",HOST=", std::nullopt},
  };
  for (const auto& c : kCases) {
    std::string keys = c.parameters;
    for (char& ch : keys) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    EXPECT_EQ(OverrideValue(c.parameters, keys, c.key), c.value) << c.parameters;
  }
}

TEST(OverrideValueTest, TextOfAnotherLengthThanTheKeysGivesNoValue) {
  EXPECT_EQ(OverrideValue("#", "#,HOST=SAPALT", ",HOST="), "");
  EXPECT_EQ(OverrideValue("(No Parameters)", "#,NO=07", ",NO="), "");
}

TEST(RfcFailureTextTest, CarriesTheOperationAndTheFourTextsOnOneLine) {
  RfcErrorInfo error{};
  std::strcpy(error.key, "RFC_ERROR_COMMUNICATION");
  std::strcpy(error.status, "RfcOpen");
  std::strcpy(error.message, "partner 'sapprd:sapgw00' not reached");
  std::strcpy(error.internal_status, "no route");
  EXPECT_EQ(RfcFailureText("RfcOpen", error),
            "RFC error - operation/code: RfcOpen - key: RFC_ERROR_COMMUNICATION - status: "
            "RfcOpen - message: partner 'sapprd:sapgw00' not reached - internal status: no route");

  // Texts that fill their fields to the last byte, without a terminator,
  // and an operation of any length stay within bounds.
  std::memset(&error, '&', sizeof error);
  std::string text = RfcFailureText(std::string(1000, 'o'), error);
  EXPECT_EQ(text, "RFC error - operation/code: " + std::string(127, 'o') + " - key: " +
                      std::string(33, '&') + " - status: " + std::string(128, '&') +
                      " - message: " + std::string(256, '&') + " - internal status: " +
                      std::string(128, '&'));
  // Escaped, it would be far longer than PRTG takes; the document cuts it.
  Output output;
  WriteErrorDocument(output, text);
  std::string_view document = output.OutputBuffer.view();
  std::size_t text_at = document.find("<Text>") + 6;
  std::size_t text_length =
      document.size() - text_at - std::string_view("</Text>\n</Prtg>\n").size();
  EXPECT_LE(text_length, kPrtgTextLimit);
  EXPECT_GT(text_length, kPrtgTextLimit - std::string_view("&amp;").size());
}

TEST(FailureReportForTest, LinesForTheConsoleAndOutsideTheXmlFamily) {
  RfcLibrary library;
  static const struct {
    OutputMode mode;
    bool console_report;
    bool plain_lines;
  } kCases[] = {
      {OutputMode::kExeXml, false, false},  {OutputMode::kVantrel, false, false},
      {OutputMode::kMirabel, false, false}, {OutputMode::kExeXml, true, true},
      {OutputMode::kTessaryn, false, true}, {OutputMode::kCorvane, false, true},
  };
  for (const auto& c : kCases) {
    Output output;
    output.mode = c.mode;
    FailureReport report = FailureReportFor(library, output, stdout, c.console_report);
    EXPECT_EQ(report.plain_lines, c.plain_lines) << static_cast<int>(c.mode);
    EXPECT_EQ(report.output, &output);
  }
}

TEST(SystemNumberTest, ReadsTheLeadingNumber) {
  EXPECT_EQ(SystemNumber("00"), 0);
  EXPECT_EQ(SystemNumber("05"), 5);
  EXPECT_EQ(SystemNumber("  12x"), 12);
  EXPECT_EQ(SystemNumber("x12"), 0);
  EXPECT_EQ(SystemNumber("99999999999999999999"), 999999999);  // no overflow
}

// Runs the scan in a fresh working directory, where the trace file lies.
class ScanTraceFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    home_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_.path());
  }
  void TearDown() override { std::filesystem::current_path(home_); }

  std::string Scan(const std::optional<std::string>& trace) {
    if (trace) dir_.Write("Dev_Rfc.Trc", *trace);
    Output output;
    output.OutputBuffer.AssignCut("Error 1014: RFC-Failure raised !");
    ScanTraceFile(output, PathMap{});
    return output.OutputBuffer.str();
  }

  TempDirectory dir_;
  std::filesystem::path home_;
};

TEST_F(ScanTraceFileTest, AppendsTheLastErrorAfterTheLastErrorBlock) {
  static const struct {
    const char* name;
    std::optional<std::string> trace;
    const char* remark;
  } kCases[] = {
      {"no trace file", std::nullopt, " - Look for Trace-File"},
      {"no error line", "just text\n", " - Please Check Trace-File !"},
      {"ERROR line from character 13", "ERROR       partner not reached\r\n",
       " - partner not reached"},
      {"arrow line from character 16", "2024-01======> Connect to SAP gateway failed\n",
       " - Connect to SAP gateway failed"},
      {"last error line wins", "ERROR       first\nxxxxxxx======> second\n", " - second"},
      {"arrow wins over ERROR on one line", "ERROR =======> arrow text\n", " - arrow text"},
      {"error block clears earlier lines", "ERROR       old\n**** ERROR file opened\n",
       " - Please Check Trace-File !"},
      {"line after the block counts",
       "ERROR       old\n**** ERROR x\nERROR       new\n", " - new"},
      {"short ERROR line gives empty text", "ERROR       x\nERROR short\n",
       " - Please Check Trace-File !"},
  };
  for (const auto& c : kCases) {
    std::filesystem::remove("Dev_Rfc.Trc");
    EXPECT_EQ(Scan(c.trace), std::string("Error 1014: RFC-Failure raised !") + c.remark)
        << c.name;
  }
}

// What the fake library saw when the program called it.
struct SeenByLibrary {
  int opens = 0;
  int opens_ex = 0;
  std::string connect_string;
  std::string ini;  // SapRfc.ini as RfcOpenEx found it
  bool lock_free = false;  // whether another could take the lock during the call
  bool lock_file = false;  // whether SapRfc.ini.lock was there
};
SeenByLibrary seen;

bool LockIsFree() {
  return FileLock::Take(PathMap{}, kConnectionFileLock, std::chrono::milliseconds(0)).held();
}

RfcConnectionHandle RFC_CALL FakeRfcOpen(RfcOpenOptions*) {
  ++seen.opens;
  seen.lock_file = std::filesystem::exists(kConnectionFileLock);
  return 3;
}

RfcConnectionHandle RFC_CALL FakeRfcOpenEx(const char* connect_string, RfcErrorInfoEx*) {
  ++seen.opens_ex;
  seen.connect_string = connect_string;
  seen.ini = WholeFile("SapRfc.ini").value_or("");
  seen.lock_free = LockIsFree();
  return 7;
}

// Opens through a fake library in a fresh working directory, where the
// destination file, SapRfc.ini and its lock file lie.
class OpenRfcConnectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    home_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_.path());
    seen = SeenByLibrary();
    session_.library.RfcOpen = FakeRfcOpen;
    session_.library.RfcOpenEx = FakeRfcOpenEx;
    ASSERT_TRUE(profile_.Destination.Assign("PRD") && profile_.Client.Assign("100") &&
                profile_.User.Assign("MONITOR") && profile_.Password.Assign("secret") &&
                profile_.Language.Assign("E") && profile_.Mode.Assign("R/3") &&
                profile_.Hostname.Assign("sapprd") && profile_.Sysnr.Assign("00"));
  }
  void TearDown() override { std::filesystem::current_path(home_); }

  RfcConnectionHandle Open() {
    return OpenRfcConnection(session_, profile_, ConnectionContext{PathMap{}, "x", "X", nullptr});
  }

  /// Names in the working directory that start with "SapRfc.ini." and are
  /// not the lock file: drafts.
  static std::vector<std::string> Drafts() {
    std::vector<std::string> drafts;
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
      std::string name = entry.path().filename().string();
      if (name.starts_with("SapRfc.ini.") && name != kConnectionFileLock) drafts.push_back(name);
    }
    return drafts;
  }

  TempDirectory dir_;
  std::filesystem::path home_;
  RfcSession session_;
  ConnectionParameters profile_;
};

TEST_F(OpenRfcConnectionTest, ThroughADestinationFileTheLockSpansCopyAndOpen) {
  const std::string entry = "DEST=PRD\r\nASHOST=sapprd\r\nSYSNR=00\r\n";
  dir_.Write("SapRfc.PRD", entry);
  // A multi-system run opens again and again in one process.
  for (int open = 1; open <= 2; ++open) {
    EXPECT_EQ(Open(), 7u) << "open " << open;
    EXPECT_EQ(seen.opens_ex, open);
    EXPECT_EQ(seen.ini, entry) << "open " << open;
    EXPECT_FALSE(seen.lock_free) << "open " << open << ": RfcOpenEx ran without the lock";
    EXPECT_TRUE(LockIsFree()) << "open " << open << ": the lock outlived the open";
    EXPECT_EQ(Drafts(), std::vector<std::string>{}) << "open " << open;
  }
  EXPECT_EQ(seen.connect_string, "CLIENT=100 USER=MONITOR PASSWD=secret LANG=D DEST=PRD");
  EXPECT_EQ(seen.opens, 0);
  EXPECT_TRUE(std::filesystem::exists(kConnectionFileLock)) << "the lock file was deleted";
}

TEST_F(OpenRfcConnectionTest, WithoutADestinationFileNoLockIsTaken) {
  EXPECT_EQ(Open(), 3u);
  EXPECT_EQ(seen.opens, 1);
  EXPECT_FALSE(seen.lock_file);
  EXPECT_FALSE(std::filesystem::exists(kConnectionFileLock));
  EXPECT_FALSE(std::filesystem::exists("SapRfc.ini"));
}

TEST_F(OpenRfcConnectionTest, CopyThatCannotReplaceSapRfcIniOpensNothing) {
  dir_.Write("SapRfc.PRD", "DEST=PRD\n");
  // A directory with a file in it: the draft cannot be renamed over it.
  dir_.Write("SapRfc.ini/inside", "x");
  EXPECT_EQ(Open(), 0u);
  EXPECT_EQ(seen.opens_ex, 0);
  EXPECT_EQ(Drafts(), std::vector<std::string>{}) << "the draft was left behind";
  EXPECT_TRUE(LockIsFree());
}

}  // namespace
