#include "tests/e2e/sample_files.h"

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "gtest/gtest.h"
#include "profile/password.h"

namespace {

/// The seed of every stored form the cases write, so runs are repeatable.
constexpr std::uint32_t kSeed = 7;

bool StandsInProfileLine(char c) { return c > ' ' && c < 0x7f; }

/// One line per label, in the order of the field table.
std::vector<std::string> UsableProfileLines() {
  return {
      std::string(kExtcompany) + " Kestrel Test Company",
      std::string(kDestination) + " PRD",
      std::string(kClient) + " 100",
      std::string(kUser) + " monitor",
      std::string(kPassword) + " " + StoredPassword("secret"),
      std::string(kLanguage) + " E",
      std::string(kMode) + " R/3",
      std::string(kHostname) + " sapprd",
      std::string(kSysnr) + " 00",
      std::string(kGwhost) + " sapgw",
      std::string(kGwservice) + " sapgw00",
  };
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

/// The usable profile with the line of `label` replaced by `line`.
std::string ProfileChanging(std::string_view label, const std::string& line) {
  std::vector<std::string> lines;
  bool found = false;
  for (std::string& old_line : UsableProfileLines()) {
    found = found || old_line.starts_with(label);
    lines.push_back(old_line.starts_with(label) ? line : old_line);
  }
  EXPECT_TRUE(found) << "no profile line labelled " << label;
  return Joined(lines);
}

std::string Padded(std::string_view sensor) {
  std::string name(sensor);
  if (name.size() < 10) name.resize(10, ' ');
  return name;
}

}  // namespace

std::string StoredPassword(std::string_view clear) {
  std::string why;
  std::optional<std::string> stored =
      EncodeProfilePassword(clear, AssemblePasswordKey(), kSeed, &why);
  if (!stored) {
    ADD_FAILURE() << "the encoder refused a test password: " << why;
    return "";
  }
  return *stored;
}

std::string StoredPasswordWithBadHeader(std::string_view clear) {
  const PasswordKey key = AssemblePasswordKey();
  const std::string stored = StoredPassword(clear);
  for (std::size_t at = 0; at < kPasswordHeaderLength && at < stored.size(); ++at) {
    for (unsigned char mask : {0x40, 0x20, 0x10, 0x08}) {
      std::string changed = stored;
      changed[at] = static_cast<char>(changed[at] ^ mask);
      if (StandsInProfileLine(changed[at]) &&
          !DecodeProfilePassword(changed, key).form_ok) {
        return changed;
      }
    }
  }
  ADD_FAILURE() << "no printable header change breaks the form";
  return stored;
}

std::string StoredPasswordWithBadCheckDigit(std::string_view clear) {
  const PasswordKey key = AssemblePasswordKey();
  const std::string stored = StoredPassword(clear);
  for (std::size_t at = kPasswordHeaderLength; at < stored.size(); ++at) {
    for (unsigned char mask : {0x01, 0x02, 0x04, 0x08, 0x10}) {
      std::string changed = stored;
      changed[at] = static_cast<char>(changed[at] ^ mask);
      if (!StandsInProfileLine(changed[at])) continue;
      DecodedPassword decoded = DecodeProfilePassword(changed, key);
      if (decoded.form_ok && !decoded.check_ok) return changed;
    }
  }
  ADD_FAILURE() << "no printable body change breaks the check digit";
  return stored;
}

std::string UsableProfile() { return Joined(UsableProfileLines()); }

std::string ProfileWithValue(std::string_view label, std::string_view value) {
  return ProfileChanging(label, std::string(label) + " " + std::string(value));
}

std::string ProfileWithLine(std::string_view label, std::string_view line) {
  return ProfileChanging(label, std::string(line));
}

std::string ProfileWithout(std::initializer_list<std::string_view> labels) {
  std::vector<std::string> lines;
  for (std::string& line : UsableProfileLines()) {
    bool dropped = false;
    for (std::string_view label : labels) dropped = dropped || line.starts_with(label);
    if (!dropped) lines.push_back(line);
  }
  EXPECT_EQ(lines.size() + labels.size(), UsableProfileLines().size())
      << "a label to drop is not in the usable profile";
  return Joined(lines);
}

std::string WithCrLf(std::string_view text) {
  std::string converted;
  for (char c : text) {
    if (c == '\n') converted += '\r';
    converted += c;
  }
  return converted;
}

std::string ListingLine(std::string_view sensor, std::string_view text) {
  return "# GSNG: " + Padded(sensor) + "  " + std::string(text);
}

std::string AllocationLine(std::string_view sensor, std::string_view text) {
  return "# GSNX: " + Padded(sensor) + " " + std::string(text);
}

std::string ItemLine(std::string_view text) {
  return "# Gsng: " + std::string("unread cols ") + std::string(text);
}

std::string ListingOfLength(std::size_t length, int* names) {
  std::string listing;
  *names = 0;
  while (length - listing.size() >= 9 + 2 || length - listing.size() == 9) {
    std::string number = std::to_string(1000 + *names);
    listing += "N" + number.substr(1) + ".P00#";  // 9 characters
    ++*names;
  }
  std::size_t rest = length - listing.size();
  if (rest > 0) {
    listing += std::string(rest - 1, 'Z') + "#";
    ++*names;
  }
  EXPECT_EQ(listing.size(), length) << "listing of the wrong length";
  return listing;
}

std::string ProfileReaching(std::string_view destination, std::string_view host,
                            std::string_view sysnr) {
  std::string profile;
  for (std::string& line : UsableProfileLines()) {
    for (auto [label, value] : {std::pair{kDestination, destination}, std::pair{kHostname, host},
                                std::pair{kSysnr, sysnr}}) {
      if (line.starts_with(label)) line = std::string(label) + " " + std::string(value);
    }
    profile += line + "\n";
  }
  return profile;
}
