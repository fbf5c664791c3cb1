// The output buffer, the output modes and the framing of a document.
//
// Everything the program reports leaves through one text buffer of 4096
// bytes, printed on standard output by the driver. The output mode decides
// the shape of the document; the writers here only tell three families apart:
// the XML family ("EXEXML", "Vantrel", "Mirabel"), "Tessaryn" (Message. and
// Statistic. lines) and "Corvane" (plain lines, or one bare value with "CH=").
//
// In the XML family every text that lands inside an element is written with
// "&", "<" and ">" escaped, so that PRTG can always parse the document.
#ifndef KESTRELON_OUTPUT_OUTPUT_DOCUMENT_H_
#define KESTRELON_OUTPUT_OUTPUT_DOCUMENT_H_

#include <cstdio>
#include <optional>
#include <string_view>

#include "base/fixed_text.h"

enum class OutputMode { kExeXml, kVantrel, kMirabel, kTessaryn, kCorvane };

/// The mode of the given name, compared exactly ("EXEXML", "Vantrel",
/// "Mirabel", "Tessaryn", "Corvane"); nullopt for any other name.
std::optional<OutputMode> OutputModeNamed(std::string_view name);
bool IsXmlFamily(OutputMode mode);

/// The document being built and how it is shaped.
struct Output {
  FixedText<4096> OutputBuffer;
  OutputMode mode = OutputMode::kExeXml;
  /// Channels written so far in this process; never reset.
  int ChannelCount = 0;
};

void OpenDocument(Output& output);
void OpenMessageText(Output& output);
/// `parameter_keys` is searched for the channel selector "CH=".
void CloseMessageText(Output& output, std::string_view parameter_keys);
void CloseDocument(Output& output);

/// Appends text that belongs inside the message element: escaped in the XML
/// family, unchanged in the other modes.
void AppendMessageText(Output& output, std::string_view text);

/// Replaces the buffer by the error document carrying `message`, in every
/// mode. A message too long for the buffer is cut so that the document stays
/// whole.
void WriteErrorDocument(Output& output, std::string_view message);

/// Writes the buffer's text to `out` unchanged, with nothing added.
void PrintOutputBuffer(const Output& output, std::FILE* out);

#endif  // KESTRELON_OUTPUT_OUTPUT_DOCUMENT_H_
