#include "output/output_document.h"

#include <string>

#include "base/text.h"

namespace {

constexpr std::string_view kErrorOpening = "<Prtg>\n<Error>1</Error>\n<Text>";
constexpr std::string_view kErrorClosing = "</Text>\n</Prtg>\n";

// The escaped message, cut at a character boundary so that at most `room`
// characters result (an entity is never split).
std::string EscapeWithin(std::string_view message, std::size_t room) {
  std::string escaped;
  for (char c : message) {
    std::string piece = EscapeXml(std::string_view(&c, 1));
    if (escaped.size() + piece.size() > room) break;
    escaped += piece;
  }
  return escaped;
}

}  // namespace

std::optional<OutputMode> OutputModeNamed(std::string_view name) {
  if (name == "EXEXML") return OutputMode::kExeXml;
  if (name == "Vantrel") return OutputMode::kVantrel;
  if (name == "Mirabel") return OutputMode::kMirabel;
  if (name == "Tessaryn") return OutputMode::kTessaryn;
  if (name == "Corvane") return OutputMode::kCorvane;
  return std::nullopt;
}

bool IsXmlFamily(OutputMode mode) {
  return mode == OutputMode::kExeXml || mode == OutputMode::kVantrel ||
         mode == OutputMode::kMirabel;
}

void OpenDocument(Output& output) {
  output.OutputBuffer.Clear();
  if (IsXmlFamily(output.mode)) output.OutputBuffer.AppendCut("\n<Prtg>\n");
}

void OpenMessageText(Output& output) {
  output.OutputBuffer.AppendCut(IsXmlFamily(output.mode) ? "\n<Text>" : "\n# ");
}

void CloseMessageText(Output& output, std::string_view parameter_keys) {
  if (IsXmlFamily(output.mode)) {
    output.OutputBuffer.AppendCut("</Text>\n");
  } else if (output.mode == OutputMode::kCorvane && Contains(parameter_keys, "CH=")) {
    output.OutputBuffer.Clear();
  }
}

void CloseDocument(Output& output) {
  output.OutputBuffer.AppendCut(IsXmlFamily(output.mode) ? "\n</Prtg>\n" : "\n");
}

void AppendMessageText(Output& output, std::string_view text) {
  if (IsXmlFamily(output.mode)) {
    output.OutputBuffer.AppendCut(EscapeXml(text));
  } else {
    output.OutputBuffer.AppendCut(text);
  }
}

void WriteErrorDocument(Output& output, std::string_view message) {
  constexpr std::size_t kRoom = decltype(output.OutputBuffer)::kCapacity -
                                kErrorOpening.size() - kErrorClosing.size();
  std::string document(kErrorOpening);
  document += EscapeWithin(message, kRoom);
  document += kErrorClosing;
  output.OutputBuffer.AssignCut(document);
}

void PrintOutputBuffer(const Output& output, std::FILE* out) {
  std::fputs(output.OutputBuffer.c_str(), out);
}
