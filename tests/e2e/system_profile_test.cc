// The strict profile reader of a single-system run: each profile lies in the
// standard PRTG directory and is named prd.P00. A profile that passes every
// check is measured on the system its values reach in the landscape.
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/e2e/expected_output.h"
#include "tests/e2e/landscape.h"
#include "tests/e2e/program_run.h"
#include "tests/e2e/sample_files.h"

namespace {

const std::string kInvalid = "Error 1003: Invalid Parameter(s) at prd.P00 found...";
const std::string kBadForm = "Error 1004: Invalid Password in Profile prd.P00 found...";
const std::string kBadCheck = "Error 1005: Wrong Password in Profile prd.P00 found...";
const std::string kNoUser = "Error 1006: Username in Profile prd.P00 is missing...";
const std::string kNoPassword = "Error 1007: Password in Profile prd.P00 is missing...";

/// The path of the profile the single-system runs are started with.
const std::string kProfilePath = std::string(kProgramFilesDir) + "prd.P00";

/// The landscape: the system the usable profile reaches, and one with the
/// same logon on a host of 47 characters.
HostFile Landscape() {
  SimSystem long_host("HLONG");
  long_host.Set("host", std::string(47, 'h'))
      .Set("sysnr", "00")
      .Set("client", "100")
      .Set("user", "MONITOR")
      .Set("password", "secret");
  return LandscapeText().Add(ReachableSystem()).Add(long_host).File();
}

/// What a run prints: the measurement document naming `destination` and
/// the system id `sysid` when `message` is empty, else the error document.
struct Expected {
  std::string message;
  std::string destination;
  std::string sysid;
};

Expected Measured(std::string destination = "PRD", std::string sysid = "PRD     ") {
  return {"", std::move(destination), std::move(sysid)};
}
Expected Refused(std::string message) { return {std::move(message), "", ""}; }

void ExpectRun(const ProgramResult& result, const Expected& expected) {
  if (!expected.message.empty()) return ExpectErrorDocument(result, expected.message);
  ExpectOutput(result,
               MeasurementDocument("EXEXML",
                                   ResultText(expected.destination, "DB4", "20240115",
                                              "083000", expected.sysid),
                                   {"0", "0", "0", "0"}, "MByte"),
               0);
}

TEST(SystemProfile, StrictReaderChecks) {
  static const std::string stored = StoredPassword("secret");
  static const struct {
    const char* name;
    std::string profile;
    Expected expected;
  } kCases[] = {
      {"usable profile", UsableProfile(), Measured()},
      {"CR LF line ends", WithCrLf(UsableProfile()), Measured()},
      {"destination of 11 characters", ProfileWithValue(kDestination, "PRD_LONG_11"),
       Measured("PRD_LONG_11")},
      {"host name of 47 characters",
       ProfileWithValue(kHostname, std::string(47, 'h')), Measured("PRD", "HLONG   ")},
      {"value of 70 characters cut to 60",
       ProfileWithValue(kExtcompany, std::string(70, 'e')), Measured()},
      {"label in the rest of a line longer than 159 is not read",
       ProfileWithLine(kUser, std::string(159, 'c') + "User.......: monitor"), Refused(kNoUser)},
      {"destination of 12 characters",
       ProfileWithValue(kDestination, "PRD_LONG_12C"), Refused(kInvalid)},
      {"host name of 48 characters",
       ProfileWithValue(kHostname, std::string(48, 'h')), Refused(kInvalid)},
      {"two-digit client", ProfileWithValue(kClient, "10"), Refused(kInvalid)},
      {"client digits right after the colon",
       ProfileWithLine(kClient, "Client.....:100"), Refused(kInvalid)},
      {"empty language", ProfileWithLine(kLanguage, "Language...: "), Refused(kInvalid)},
      {"no Gwservice line", ProfileWithout({kGwservice}), Refused(kInvalid)},
      {"password of one character",
       ProfileWithValue(kPassword, StoredPassword("x")), Refused(kInvalid)},
      {"too long value reported at its line, before the missing user",
       ProfileWithout({kUser}) + std::string(kDestination) + " PRD_LONG_12C\n", Refused(kInvalid)},
      {"stored password of 23 characters",
       ProfileWithValue(kPassword, stored.substr(0, 23)), Refused(kBadForm)},
      {"stored password of 25 characters",
       ProfileWithValue(kPassword, stored + stored.substr(0, 1)), Refused(kBadForm)},
      {"stored password and a trailing blank",
       ProfileWithValue(kPassword, stored + " "), Refused(kBadForm)},
      {"header that decodes to no digit",
       ProfileWithValue(kPassword, StoredPasswordWithBadHeader("secret")), Refused(kBadForm)},
      {"bad password reported at its line, before the missing user",
       ProfileWithout({kUser}) + std::string(kPassword) + " " + stored.substr(0, 23) + "\n",
       Refused(kBadForm)},
      {"body character changed",
       ProfileWithValue(kPassword, StoredPasswordWithBadCheckDigit("secret")), Refused(kBadCheck)},
      {"empty file", "", Refused(kNoUser)},
      {"no user line", ProfileWithout({kUser}), Refused(kNoUser)},
      {"empty user", ProfileWithLine(kUser, "User.......:"), Refused(kNoUser)},
      {"user label in lower case", ProfileWithLine(kUser, "user.......: monitor"),
       Refused(kNoUser)},
      {"neither user nor password", ProfileWithout({kUser, kPassword}), Refused(kNoUser)},
      {"no password line", ProfileWithout({kPassword}), Refused(kNoPassword)},
      {"empty password", ProfileWithLine(kPassword, "Password...: "), Refused(kNoPassword)},
      {"no password and a short client",
       ProfileWithout({kPassword}) + std::string(kClient) + " 10\n", Refused(kNoPassword)},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    ExpectRun(RunProgram({{kProfilePath, c.profile}, Landscape()}, {"prd"}), c.expected);
  }
}

TEST(SystemProfile, ReadBeforeTheRfcLibraryIsLoaded) {
  // The library is loaded only for a profile that passed every check.
  static const std::string kNoLibrary = "Error 1110: RFC-Library nosuch.so is not available...";
  static const struct {
    const char* name;
    std::string profile;
    std::string message;
  } kCases[] = {
      {"usable profile", UsableProfile(), kNoLibrary},
      {"empty file", "", kNoUser},
      {"two-digit client", ProfileWithValue(kClient, "10"), kInvalid},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    ExpectErrorDocument(RunProgram({{kProfilePath, c.profile}, Landscape()},
                                   {"--rfc-library=nosuch.so", "prd"}),
                        c.message);
  }
}

}  // namespace
