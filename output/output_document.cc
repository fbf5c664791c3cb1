#include "output/output_document.h"

#include <chrono>
#include <string>
#include <thread>

#include "base/stream_lock.h"
#include "base/text.h"

namespace {

constexpr std::string_view kPrtgLine = "<Prtg>\n";
constexpr std::string_view kErrorOpening = "<Error>1</Error>\n<Text>";
constexpr std::string_view kErrorClosing = "</Text>\n</Prtg>\n";
static_assert(kPrtgLine.size() + kErrorOpening.size() + kPrtgTextLimit + kErrorClosing.size() <
              decltype(Output::OutputBuffer)::kCapacity);

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

bool PrtgOpen(const Output& output) {
  return output.printed == Printed::kOpening && IsXmlFamily(output.mode);
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
  std::string document(PrtgOpen(output) ? "" : kPrtgLine);
  document += kErrorOpening;
  document += EscapeWithin(message, kPrtgTextLimit);
  document += kErrorClosing;
  output.OutputBuffer.AssignCut(document);
}

bool FinalWords::Claim(Speaker speaker) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (speaker_ == Speaker::kNobody) speaker_ = speaker;
  return speaker_ == speaker;
}

void ClaimFinalWords(const Output& output) {
  if (output.final_words == nullptr || output.final_words->Claim(FinalWords::Speaker::kRun)) {
    return;
  }
  for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
}

void PrintOpening(Output& output, std::FILE* out) {
  StreamLock lock(out);
  std::fprintf(out, "%s\n", output.OutputBuffer.c_str());
  output.OutputBuffer.Clear();
  output.printed = Printed::kOpening;
}

void PrintOutputBuffer(Output& output, std::FILE* out, std::string_view trailer) {
  ClaimFinalWords(output);
  std::fputs(output.OutputBuffer.c_str(), out);
  std::fwrite(trailer.data(), 1, trailer.size(), out);
  output.printed = Printed::kWhole;
}
