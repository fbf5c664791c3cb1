// Small text routines of the stand-in. Letter case is compared for the
// ASCII letters only, as host names, user names and destinations are.
#ifndef KESTRELON_RFCSIM_SIM_TEXT_H_
#define KESTRELON_RFCSIM_SIM_TEXT_H_

#include <string_view>

namespace rfcsim {

/// The text without leading and trailing blanks and tabs.
inline std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

/// The text without trailing blanks (the padding of a fixed-width text).
inline std::string_view TrimTrailingBlanks(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

inline char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

/// True when the texts are equal but for the letter case of a to z.
inline bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  }
  return true;
}

}  // namespace rfcsim

#endif  // KESTRELON_RFCSIM_SIM_TEXT_H_
