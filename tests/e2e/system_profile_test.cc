// The strict profile reader of a single-system run: each profile lies in the
// standard PRTG directory and is named prd.P00. A profile that passes every
// check ends the run at the missing RFC library.
#include <string>

#include "gtest/gtest.h"
#include "tests/e2e/expected_output.h"
#include "tests/e2e/program_run.h"
#include "tests/e2e/sample_files.h"

namespace {

const std::string kInvalid = "Error 1003: Invalid Parameter(s) at prd.P00 found...";
const std::string kBadForm = "Error 1004: Invalid Password in Profile prd.P00 found...";
const std::string kBadCheck = "Error 1005: Wrong Password in Profile prd.P00 found...";
const std::string kNoUser = "Error 1006: Username in Profile prd.P00 is missing...";
const std::string kNoPassword = "Error 1007: Password in Profile prd.P00 is missing...";

TEST(SystemProfile, StrictReaderChecks) {
  static const std::string kUsable(kRfcLibraryMissing);
  static const std::string stored = StoredPassword("secret");
  static const struct {
    const char* name;
    std::string profile;
    std::string message;
  } kCases[] = {
      {"usable profile", UsableProfile(), kUsable},
      {"CR LF line ends", WithCrLf(UsableProfile()), kUsable},
      {"destination of 11 characters", ProfileWithValue(kDestination, "PRD_LONG_11"),
       kUsable},
      {"host name of 47 characters",
       ProfileWithValue(kHostname, std::string(47, 'h')), kUsable},
      {"value of 70 characters cut to 60",
       ProfileWithValue(kExtcompany, std::string(70, 'e')), kUsable},
      {"label found in the rest of a line longer than 159",
       ProfileWithLine(kUser, std::string(159, 'c') + "User.......: monitor"), kUsable},
      {"destination of 12 characters",
       ProfileWithValue(kDestination, "PRD_LONG_12C"), kInvalid},
      {"host name of 48 characters",
       ProfileWithValue(kHostname, std::string(48, 'h')), kInvalid},
      {"two-digit client", ProfileWithValue(kClient, "10"), kInvalid},
      {"client digits right after the colon",
       ProfileWithLine(kClient, "Client.....:100"), kInvalid},
      {"empty language", ProfileWithLine(kLanguage, "Language...: "), kInvalid},
      {"no Gwservice line", ProfileWithout({kGwservice}), kInvalid},
      {"password of one character",
       ProfileWithValue(kPassword, StoredPassword("x")), kInvalid},
      {"too long value reported at its line, before the missing user",
       ProfileWithout({kUser}) + std::string(kDestination) + " PRD_LONG_12C\n", kInvalid},
      {"stored password of 23 characters",
       ProfileWithValue(kPassword, stored.substr(0, 23)), kBadForm},
      {"stored password of 25 characters",
       ProfileWithValue(kPassword, stored + stored.substr(0, 1)), kBadForm},
      {"stored password and a trailing blank",
       ProfileWithValue(kPassword, stored + " "), kBadForm},
      {"header that decodes to no digit",
       ProfileWithValue(kPassword, StoredPasswordWithBadHeader("secret")), kBadForm},
      {"bad password reported at its line, before the missing user",
       ProfileWithout({kUser}) + std::string(kPassword) + " " + stored.substr(0, 23) + "\n",
       kBadForm},
      {"body character changed",
       ProfileWithValue(kPassword, StoredPasswordWithBadCheckDigit("secret")), kBadCheck},
      {"empty file", "", kNoUser},
      {"no user line", ProfileWithout({kUser}), kNoUser},
      {"empty user", ProfileWithLine(kUser, "User.......:"), kNoUser},
      {"user label in lower case", ProfileWithLine(kUser, "user.......: monitor"),
       kNoUser},
      {"neither user nor password", ProfileWithout({kUser, kPassword}), kNoUser},
      {"no password line", ProfileWithout({kPassword}), kNoPassword},
      {"empty password", ProfileWithLine(kPassword, "Password...: "), kNoPassword},
      {"no password and a short client",
       ProfileWithout({kPassword}) + std::string(kClient) + " 10\n", kNoPassword},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    std::string path = std::string(kProgramFilesDir) + "prd.P00";
    ExpectErrorDocument(RunProgram({{path, c.profile}}, {"prd"}), c.message);
  }
}

}  // namespace
