// What the program is expected to print, and the checks that compare it.
//
// Standard output is compared byte for byte. Console report lines carry the
// time of day; both sides are compared with every "HH:MM:SS" time replaced by
// that literal placeholder, so expectations write "HH:MM:SS" where a time
// stands. Every error document is also parsed as XML, so that a message
// holding "&", "<" or ">" is proved to come back exactly.
#ifndef KESTRELON_TESTS_E2E_EXPECTED_OUTPUT_H_
#define KESTRELON_TESTS_E2E_EXPECTED_OUTPUT_H_

#include <string>
#include <string_view>

#include "gtest/gtest.h"
#include "tests/e2e/program_run.h"

/// The program's console header with the time masked.
inline constexpr std::string_view kHeaderLine =
    "* HH:MM:SS SAP Kestrelon Vers 4.3 / 29.08.22\n";
/// The closing line of a run with console report lines, time masked.
inline constexpr std::string_view kClosingLine =
    "\n* HH:MM:SS SAP Kestrelon now processed...\n";

/// What a multi-system run prints before its first system: the opening of
/// the document and a newline.
inline constexpr std::string_view kXmlOpening = "\n<Prtg>\n\n";
inline constexpr std::string_view kLinesOpening = "\n";

/// "&", "<" and ">" written as "&amp;", "&lt;" and "&gt;".
std::string XmlEscaped(std::string_view text);

/// The error document carrying `message`, as printed in every mode.
std::string ErrorDocument(std::string_view message);

/// The error document as a multi-system run in the XML family prints it
/// inside the document it has opened: without its own "<Prtg>" line.
std::string ErrorInsideDocument(std::string_view message);

/// The text with every time of day "DD:DD:DD" replaced by "HH:MM:SS".
std::string MaskTimes(std::string_view text);

/// The summary message of a multi-system run whose systems were all skipped.
std::string SummaryMessage(std::string_view item, int systems);

/// Succeeds when `document` parses as XML, Prtg/Error is "1" and Prtg/Text
/// reads `message` once the entities are resolved.
::testing::AssertionResult ParsesAsErrorDocument(std::string_view document,
                                                 std::string_view message);

/// Succeeds when `document` parses as XML and Prtg/Text reads `message`.
::testing::AssertionResult ParsesWithText(std::string_view document,
                                          std::string_view message);

/// Expects the run to print `before` (console lines or a document opening,
/// times masked) followed by the error document of `message`, and to end
/// with exit code 2; the document is parsed as well.
void ExpectErrorDocument(const ProgramResult& result, std::string_view message,
                         std::string_view before = "");

/// Expects the run to print `before` (console lines and the opening of a
/// multi-system run in the XML family, times masked), then the error of
/// `message` inside the opened document, and to end with exit code 2; the
/// opened document with the error is parsed as well.
void ExpectErrorInsideDocument(const ProgramResult& result, std::string_view message,
                               std::string_view before);

/// Expects standard output to be `expected` (times masked) and the exit code.
void ExpectOutput(const ProgramResult& result, std::string_view expected,
                  int exit_code);

/// Succeeds when every character of `document` is one that XML 1.0 allows,
/// as a strict parser (expat, libxml2, .NET) demands and pugixml does not
/// check: the bytes are well-formed UTF-8 (the encoding of a document without
/// a declaration), and no character is a control character other than tab,
/// line feed and carriage return.
::testing::AssertionResult HasOnlyXmlCharacters(std::string_view document);

/// Expects what every run must show, whatever its input: it ended by itself
/// (no signal, no time-out) with exit code 0, 1 or 2, and wrote nothing on
/// standard error.
void ExpectOrderlyEnd(const ProgramResult& result);

#endif  // KESTRELON_TESTS_E2E_EXPECTED_OUTPUT_H_
