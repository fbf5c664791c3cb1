// What PRTG demands of standard output: exactly one well-formed XML
// document, its root element "prtg" in any letter case, with nothing but
// white space around it. Checked with expat, a strict parser (it reports
// "junk after document element" where PRTG does).
#ifndef KESTRELON_TESTS_E2E_ONE_DOCUMENT_H_
#define KESTRELON_TESTS_E2E_ONE_DOCUMENT_H_

#include <string>
#include <string_view>
#include <vector>

#include "gtest/gtest.h"

/// Succeeds when `output` is one well-formed XML document whose root is
/// "prtg" (any letter case), blank lines aside.
::testing::AssertionResult IsOneXmlDocument(std::string_view output);

/// True when a run with these arguments (the program's own, after the
/// drive root) prints for PRTG: an output mode of the XML family and no
/// console report lines ("#", "@", "$" or "%" among the parameters), and
/// neither --help nor --version.
bool PrintsForPrtg(const std::vector<std::string>& arguments);

#endif  // KESTRELON_TESTS_E2E_ONE_DOCUMENT_H_
