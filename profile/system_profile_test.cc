#include "profile/system_profile.h"

#include <gtest/gtest.h>

#include <map>

#include "base/test_files.h"

namespace {

const PasswordKey kKey = AssemblePasswordKey();

std::string Stored(std::string_view clear) {
  std::string why;
  std::optional<std::string> stored = EncodeProfilePassword(clear, kKey, 7, &why);
  EXPECT_TRUE(stored) << why;
  return stored.value_or("");
}

// A usable profile, with single lines replaced or removed by label.
std::string ProfileText(const std::map<std::string, std::string>& changes = {}) {
  std::vector<std::pair<std::string, std::string>> lines = {
      {"Extcompany.:", "ACME Corp"},  {"Destination:", "PRD"},
      {"Client.....:", "100"},        {"User.......:", "monitor"},
      {"Password...:", Stored("secret")}, {"Language...:", "E"},
      {"Mode.......:", "R/3"},        {"Hostname...:", "sapprd01"},
      {"Sysnr......:", "00"},         {"Gwhost.....:", "gw01"},
      {"Gwservice..:", "sapgw00"},
  };
  std::string text = "* System profile of PRD\n";
  for (const auto& [label, value] : lines) {
    auto change = changes.find(label);
    if (change == changes.end()) {
      text += label + " " + value + "\n";
    } else if (change->second != "<none>") {
      text += label + change->second + "\n";  // the change brings its own separator
    }
  }
  return text;
}

std::optional<std::string> ReadStrict(std::string_view text, ConnectionParameters& params) {
  return ReadSystemProfile(FileWith(text), ProfileReader::kStrict, "PRD.P00", kKey, params);
}

TEST(SystemProfileTest, ReadsAUsableProfile) {
  ConnectionParameters params;
  ASSERT_EQ(ReadStrict(ProfileText(), params), std::nullopt);
  EXPECT_EQ(params.Extcompany.view(), "ACME Corp");
  EXPECT_EQ(params.Destination.view(), "PRD");
  EXPECT_EQ(params.User.view(), "MONITOR");
  EXPECT_EQ(params.Password.view(), "secret");
  EXPECT_EQ(params.Hostname.view(), "sapprd01");
  EXPECT_EQ(params.ReportHost.view(), "sapprd01");
  EXPECT_EQ(params.Gwservice.view(), "sapgw00");
}

TEST(SystemProfileTest, ValueHandling) {
  static const struct {
    const char* name;
    const char* line;
    std::string_view client;
  } kCases[] = {
      {"separator skipped", "Client.....: 100", "100"},
      {"any separator is skipped", "Client.....:x100", "100"},
      {"no separator loses a digit", "Client.....:1000", "000"},
      {"trailing blank kept", "Client.....: 100 ", "100 "},
      {"CR LF line end", "Client.....: 100\r", "100"},
      {"lower-case label ignored", "client.....: 999", "100"},
      {"later line wins", "Client.....: 200", "200"},
  };
  for (const auto& c : kCases) {
    ConnectionParameters params;
    std::string text = ProfileText() + c.line + "\n";
    ASSERT_EQ(ReadStrict(text, params), std::nullopt) << c.name;
    EXPECT_EQ(params.Client.view(), c.client) << c.name;
  }
}

TEST(SystemProfileTest, LongValuesAreCutAt60ThenMustFitTheirField) {
  ConnectionParameters params;
  std::string company(70, 'c');
  ASSERT_EQ(ReadStrict(ProfileText({{"Extcompany.:", " " + company}}), params), std::nullopt);
  EXPECT_EQ(params.Extcompany.view(), company.substr(0, 60));
  // Sixty characters do not fit the 11 of a destination: refused, not cut.
  EXPECT_EQ(ReadStrict(ProfileText({{"Destination:", " PRDPRDPRDPRD"}}), params),
            "Error 1003: Invalid Parameter(s) at PRD.P00 found...");
}

TEST(SystemProfileTest, StrictFaultsAndTheirOrder) {
  std::string stored = Stored("secret");
  std::string bad_check = stored;
  bad_check[10] = bad_check[10] == 'A' ? 'B' : 'A';
  static const struct {
    const char* name;
    std::map<std::string, std::string> changes;
    const char* message;
  } kCases[] = {
      {"no user", {{"User.......:", "<none>"}}, "Error 1006: Username in Profile PRD.P00 is missing..."},
      {"no password", {{"Password...:", "<none>"}}, "Error 1007: Password in Profile PRD.P00 is missing..."},
      {"empty password value", {{"Password...:", " "}}, "Error 1007: Password in Profile PRD.P00 is missing..."},
      {"two-digit client", {{"Client.....:", " 10"}}, "Error 1003: Invalid Parameter(s) at PRD.P00 found..."},
      {"one-letter user", {{"User.......:", " m"}}, "Error 1003: Invalid Parameter(s) at PRD.P00 found..."},
      {"missing gateway service", {{"Gwservice..:", "<none>"}}, "Error 1003: Invalid Parameter(s) at PRD.P00 found..."},
      {"23 characters", {{"Password...:", " " + stored.substr(0, 23)}}, "Error 1004: Invalid Password in Profile PRD.P00 found..."},
      {"24 and a blank", {{"Password...:", " " + stored + " "}}, "Error 1004: Invalid Password in Profile PRD.P00 found..."},
      {"check digit", {{"Password...:", " " + bad_check}}, "Error 1005: Wrong Password in Profile PRD.P00 found..."},
      {"one-letter password", {{"Password...:", " " + Stored("s")}}, "Error 1003: Invalid Parameter(s) at PRD.P00 found..."},
      {"empty clear password", {{"Password...:", " " + Stored("")}}, "Error 1007: Password in Profile PRD.P00 is missing..."},
  };
  for (const auto& c : kCases) {
    ConnectionParameters params;
    EXPECT_EQ(ReadStrict(ProfileText(c.changes), params), c.message) << c.name;
  }
  ConnectionParameters params;
  EXPECT_EQ(ReadStrict("", params), "Error 1006: Username in Profile PRD.P00 is missing...");
  EXPECT_EQ(ReadStrict("User.......: x\n", params), "Error 1007: Password in Profile PRD.P00 is missing...");
}

TEST(SystemProfileTest, ListedReaderMarksFaultsAndKeepsEarlierValues) {
  ConnectionParameters params;
  ASSERT_EQ(ReadSystemProfile(FileWith(ProfileText()), ProfileReader::kListed, "A", kKey, params),
            std::nullopt);
  EXPECT_EQ(params.ProfileState, kProfileUsable);

  // The second profile lacks its gateway host and has a wrong password.
  std::string stored = Stored("other");
  std::string bad_check = stored;
  bad_check[10] = bad_check[10] == 'A' ? 'B' : 'A';
  std::string second = ProfileText({{"Gwhost.....:", "<none>"},
                                    {"Password...:", " " + bad_check},
                                    {"Destination:", " QAS"}});
  EXPECT_EQ(ReadSystemProfile(FileWith(second), ProfileReader::kListed, "B", kKey, params),
            std::nullopt);
  EXPECT_EQ(params.ProfileState, kProfileUnusable);
  EXPECT_EQ(params.Gwhost.view(), "gw01");
  EXPECT_EQ(params.Destination.view(), "QAS");
  EXPECT_EQ(params.Password.view(), "secret");
}

TEST(SystemProfileTest, ListedReaderStoresAPasswordWhoseOnlyFaultIsItsForm) {
  ConnectionParameters params;
  std::string stored = Stored("newpw") + " ";  // 25 characters, check digit intact
  std::string text = ProfileText({{"Password...:", " " + stored}});
  ASSERT_EQ(ReadSystemProfile(FileWith(text), ProfileReader::kListed, "A", kKey, params),
            std::nullopt);
  EXPECT_EQ(params.ProfileState, kProfileUnusable);
  EXPECT_EQ(params.Password.view(), "newpw");
}

}  // namespace
