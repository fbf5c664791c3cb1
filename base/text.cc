#include "base/text.h"

std::string UpperCase(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

std::string ReplaceAll(std::string_view text, char from, char to) {
  std::string result(text);
  for (char& c : result) {
    if (c == from) c = to;
  }
  return result;
}

std::string EscapeXml(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '&': escaped += "&amp;"; break;
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      default:
        if (byte >= 0x80) {
          // The program's texts come in the Windows code page; each such
          // byte is written as the Latin-1 character of the same number, so
          // the document stays plain ASCII.
          escaped.append("&#x").append(1, kHex[byte >> 4]).append(1, kHex[byte & 0x0F]);
          escaped += ';';
        } else if (byte < 0x20 && c != '\t' && c != '\n' && c != '\r') {
          escaped += '?';  // control characters have no place in XML 1.0
        } else {
          escaped += c;
        }
    }
  }
  return escaped;
}
