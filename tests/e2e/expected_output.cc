#include "tests/e2e/expected_output.h"

#include <algorithm>
#include <cctype>

#include "pugixml.hpp"

namespace {

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

/// True when `text` holds a time "DD:DD:DD" at `at`.
bool TimeAt(std::string_view text, std::size_t at) {
  if (at + 8 > text.size()) return false;
  for (std::size_t i = 0; i < 8; ++i) {
    char c = text[at + i];
    bool ok = (i == 2 || i == 5) ? c == ':' : IsDigit(c);
    if (!ok) return false;
  }
  return true;
}

/// Parses `document` and finds its Prtg element.
::testing::AssertionResult ParsePrtg(std::string_view document,
                                     pugi::xml_document& parsed,
                                     pugi::xml_node& prtg) {
  pugi::xml_parse_result parse = parsed.load_buffer(
      document.data(), document.size(), pugi::parse_default, pugi::encoding_utf8);
  if (!parse) {
    return ::testing::AssertionFailure()
           << "not well-formed XML (" << parse.description() << " at offset "
           << parse.offset << "):\n" << document;
  }
  prtg = parsed.child("Prtg");
  if (!prtg) {
    return ::testing::AssertionFailure() << "no Prtg element in:\n" << document;
  }
  return ::testing::AssertionSuccess();
}

}  // namespace

std::string XmlEscaped(std::string_view text) {
  std::string escaped;
  for (char c : text) {
    switch (c) {
      case '&': escaped += "&amp;"; break;
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

std::string ErrorDocument(std::string_view message) {
  return "<Prtg>\n<Error>1</Error>\n<Text>" + XmlEscaped(message) +
         "</Text>\n</Prtg>\n";
}

std::string ErrorInsideDocument(std::string_view message) {
  return "<Error>1</Error>\n<Text>" + XmlEscaped(message) + "</Text>\n</Prtg>\n";
}

std::string MaskTimes(std::string_view text) {
  std::string masked(text);
  for (std::size_t at = 0; at + 8 <= masked.size(); ++at) {
    if (TimeAt(masked, at)) masked.replace(at, 8, "HH:MM:SS");
  }
  return masked;
}

std::string SummaryMessage(std::string_view item, int systems) {
  return "(***) " + std::string(item) + ": NoSystems=" + std::to_string(systems) +
         ", Processed=0, Failed=0";
}

::testing::AssertionResult ParsesAsErrorDocument(std::string_view document,
                                                 std::string_view message) {
  pugi::xml_document parsed;
  pugi::xml_node prtg;
  ::testing::AssertionResult found = ParsePrtg(document, parsed, prtg);
  if (!found) return found;
  std::string error = prtg.child("Error").text().get();
  std::string text = prtg.child("Text").text().get();
  if (error != "1") {
    return ::testing::AssertionFailure() << "Prtg/Error is \"" << error << "\"";
  }
  if (text != message) {
    return ::testing::AssertionFailure()
           << "Prtg/Text reads \"" << text << "\", expected \"" << message << "\"";
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult ParsesWithText(std::string_view document,
                                          std::string_view message) {
  pugi::xml_document parsed;
  pugi::xml_node prtg;
  ::testing::AssertionResult found = ParsePrtg(document, parsed, prtg);
  if (!found) return found;
  std::string text = prtg.child("Text").text().get();
  if (text != message) {
    return ::testing::AssertionFailure()
           << "Prtg/Text reads \"" << text << "\", expected \"" << message << "\"";
  }
  return ::testing::AssertionSuccess();
}

void ExpectErrorDocument(const ProgramResult& result, std::string_view message,
                         std::string_view before) {
  ExpectOutput(result, std::string(before) + ErrorDocument(message), 2);
  // Masking keeps lengths, so the document starts where `before` ends.
  std::string_view document = result.out;
  document.remove_prefix(std::min(before.size(), document.size()));
  EXPECT_TRUE(ParsesAsErrorDocument(document, message));
}

void ExpectErrorInsideDocument(const ProgramResult& result, std::string_view message,
                               std::string_view before) {
  ExpectOutput(result, std::string(before) + ErrorInsideDocument(message), 2);
  std::string_view inside = result.out;
  inside.remove_prefix(std::min(before.size(), inside.size()));
  EXPECT_TRUE(ParsesAsErrorDocument("<Prtg>\n" + std::string(inside), message));
}

void ExpectOutput(const ProgramResult& result, std::string_view expected,
                  int exit_code) {
  EXPECT_EQ(MaskTimes(result.out), expected) << "standard error:\n" << result.err;
  EXPECT_EQ(result.exit_code, exit_code);
}

::testing::AssertionResult HasOnlyXmlCharacters(std::string_view document) {
  std::size_t at = 0;
  while (at < document.size()) {
    const auto lead = static_cast<unsigned char>(document[at]);
    // The length of the sequence and the smallest code point it may carry
    // (a longer form of a smaller one is not UTF-8).
    std::size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2
                                     : lead >= 0xE0 && lead <= 0xEF   ? 3
                                     : lead >= 0xF0 && lead <= 0xF4   ? 4
                                                                      : 0;
    char32_t code = length == 1 ? lead : length == 2 ? lead & 0x1F
                                     : length == 3   ? lead & 0x0F
                                                     : lead & 0x07;
    bool ok = length != 0 && at + length <= document.size();
    for (std::size_t i = 1; ok && i < length; ++i) {
      const auto next = static_cast<unsigned char>(document[at + i]);
      ok = (next & 0xC0) == 0x80;
      code = (code << 6) | (next & 0x3F);
    }
    const char32_t smallest = length == 3 ? 0x800 : length == 4 ? 0x10000 : 0;
    ok = ok && code >= smallest && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
    // XML 1.0 Char: #x9 | #xA | #xD | [#x20-#xD7FF] | [#xE000-#xFFFD] | [#x10000-#x10FFFF]
    ok = ok && (code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code != 0xFFFE &&
                                                              code != 0xFFFF));
    if (!ok) {
      static constexpr char kHex[] = "0123456789ABCDEF";
      return ::testing::AssertionFailure()
             << "byte 0x" << kHex[lead >> 4] << kHex[lead & 0xF] << " at offset " << at
             << " is no character that XML 1.0 allows in a UTF-8 document:\n"
             << document;
    }
    at += length;
  }
  return ::testing::AssertionSuccess();
}

void ExpectOrderlyEnd(const ProgramResult& result) {
  EXPECT_FALSE(result.timed_out) << "the program hung";
  EXPECT_TRUE(result.exit_code >= 0 && result.exit_code <= 2)
      << "exit code " << result.exit_code << " (128 + N: killed by signal N)";
  EXPECT_EQ(result.err, "") << "the program wrote on standard error";
}
