#include "tests/e2e/one_document.h"

#include <expat.h>

#include <memory>

namespace {

struct Roots {
  int depth = 0;
  int count = 0;
  std::string first;
};

void XMLCALL StartElement(void* data, const XML_Char* name, const XML_Char**) {
  auto* roots = static_cast<Roots*>(data);
  if (roots->depth++ == 0 && roots->count++ == 0) roots->first = name;
}

void XMLCALL EndElement(void* data, const XML_Char*) { --static_cast<Roots*>(data)->depth; }

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

}  // namespace

::testing::AssertionResult IsOneXmlDocument(std::string_view output) {
  std::unique_ptr<XML_ParserStruct, void (*)(XML_Parser)> parser(XML_ParserCreate(nullptr),
                                                                 XML_ParserFree);
  Roots roots;
  XML_SetUserData(parser.get(), &roots);
  XML_SetElementHandler(parser.get(), StartElement, EndElement);
  if (XML_Parse(parser.get(), output.data(), static_cast<int>(output.size()), 1) !=
      XML_STATUS_OK) {
    return ::testing::AssertionFailure()
           << "standard output is not one XML document: "
           << XML_ErrorString(XML_GetErrorCode(parser.get())) << " at line "
           << XML_GetCurrentLineNumber(parser.get()) << ", column "
           << XML_GetCurrentColumnNumber(parser.get()) << ":\n"
           << output;
  }
  if (roots.count != 1 || Lower(roots.first) != "prtg") {
    return ::testing::AssertionFailure() << "the root element is \"" << roots.first
                                         << "\", not prtg:\n" << output;
  }
  return ::testing::AssertionSuccess();
}

bool PrintsForPrtg(const std::vector<std::string>& arguments) {
  std::size_t next = 0;
  for (; next < arguments.size() && arguments[next].starts_with("--"); ++next) {
    const std::string& option = arguments[next];
    if (option == "--help" || option == "--version" || option == "--mode=Tessaryn" ||
        option == "--mode=Corvane") {
      return false;
    }
  }
  // The parameters are arguments 2 and 3 after the options; later ones are
  // ignored by the program.
  for (std::size_t at = next + 1; at < arguments.size() && at <= next + 2; ++at) {
    if (arguments[at].find_first_of("#@$%") != std::string::npos) return false;
  }
  return true;
}
