// Small text routines shared by every subsystem.
//
// The program compares and searches its texts byte by byte; letter case is
// changed for the ASCII letters a to z only, whatever the host's locale says.
#ifndef KESTRELON_BASE_TEXT_H_
#define KESTRELON_BASE_TEXT_H_

#include <string>
#include <string_view>

/// The text with a to z turned into A to Z; every other byte unchanged.
std::string UpperCase(std::string_view text);

/// True when `key` occurs anywhere in `text` (plain substring search).
inline bool Contains(std::string_view text, std::string_view key) {
  return text.find(key) != std::string_view::npos;
}

/// The text before the first occurrence of `stop`, or all of it.
inline std::string_view CutBefore(std::string_view text, std::string_view stop) {
  return text.substr(0, text.find(stop));
}

/// The characters of `text` from 1-based column `column` on; empty when the
/// text is too short to reach that column.
inline std::string_view FromColumn(std::string_view text, std::size_t column) {
  return text.size() < column ? std::string_view() : text.substr(column - 1);
}

/// Every `from` byte of the text replaced by `to`.
std::string ReplaceAll(std::string_view text, char from, char to);

/// The text with "&", "<" and ">" written as XML entities, bytes of 0x80 and
/// above as character references ("&#xE9;", read as Latin-1) and control
/// characters other than tab, line feed and carriage return as "?", so that
/// a document stays well formed whatever a message or a destination holds.
std::string EscapeXml(std::string_view text);

#endif  // KESTRELON_BASE_TEXT_H_
