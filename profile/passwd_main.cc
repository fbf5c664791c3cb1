// kestrelon-passwd: writes the stored form of a profile password.
//
// Reads one clear password from standard input (never from the command line,
// so it stays out of shell histories and process lists), and prints the
// 24-character stored form for the "Password...:" line of a system profile,
// made with the key of this build. A new random filler each run gives a new
// form for the same password; every one of them decodes to it.
//
// Exit codes: 0 with the stored form on standard output; 2 when the password
// is refused or the command line is wrong, with the reason on standard error.

#include <cstdint>
#include <iostream>
#include <optional>
#include <random>
#include <string>
#include <string_view>

#include "profile/password.h"

namespace {

constexpr std::string_view kUsage =
    "usage: kestrelon-passwd [--help]\n"
    "Reads one password (1 line) from standard input and prints its stored\n"
    "form for the \"Password...:\" line of a system profile.\n"
    "The password has 2 to 9 printable ASCII characters; blanks are allowed\n"
    "inside it, not at its start or end.\n"
    "Example: kestrelon-passwd < password.txt\n";

/// The profile reader refuses an empty password (Error 1007) and one of a
/// single character (Error 1003), so neither is written.
constexpr std::size_t kMinPasswordLength = 2;

/// Reads the first line of standard input without its line end (one LF,
/// then one CR before it). False when the input holds no line at all.
bool ReadPasswordLine(std::string& line) {
  if (!std::getline(std::cin, line)) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

int Refuse(std::string_view reason) {
  std::cerr << "kestrelon-passwd: " << reason << "\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::string_view(argv[1]) == "--help") {
    std::cout << kUsage;
    return 0;
  }
  if (argc != 1) {
    // The argument is not echoed: it may be a password typed by mistake.
    std::cerr << "kestrelon-passwd: unknown argument; the password is read "
                 "from standard input\n"
              << kUsage;
    return 2;
  }

  std::string clear;
  if (!ReadPasswordLine(clear)) {
    return Refuse("no password on standard input");
  }
  if (clear.size() < kMinPasswordLength) {
    return Refuse("the password has fewer than 2 characters; the profile "
                  "reader needs at least 2");
  }

  std::random_device entropy;
  const std::uint32_t seed = entropy();
  std::string why;
  const std::optional<std::string> stored =
      EncodeProfilePassword(clear, AssemblePasswordKey(), seed, &why);
  if (!stored) return Refuse(why);
  std::cout << *stored << "\n";
  std::cout.flush();
  return std::cout ? 0 : 2;
}
