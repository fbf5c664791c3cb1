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
#include <mutex>
#include <optional>
#include <string_view>

#include "base/fixed_text.h"

enum class OutputMode { kExeXml, kVantrel, kMirabel, kTessaryn, kCorvane };

/// The mode of the given name, compared exactly ("EXEXML", "Vantrel",
/// "Mirabel", "Tessaryn", "Corvane"); nullopt for any other name.
std::optional<OutputMode> OutputModeNamed(std::string_view name);
bool IsXmlFamily(OutputMode mode);

/// How much of the run's document has gone to standard output.
enum class Printed {
  kNothing,
  /// The opening of a multi-system run: in the XML family "<Prtg>" stands
  /// open, and whatever the run prints last must go inside it.
  kOpening,
  /// The final document (or report): nothing more may follow.
  kWhole,
};

/// Who prints the run's last words when a watchdog thread may end the run
/// before it is done: the run or the watchdog, whichever claims them first.
/// The other then prints nothing more, so the output is one document.
class FinalWords {
 public:
  enum class Speaker { kNobody, kRun, kWatchdog };

  /// True when `speaker` holds the last words: it claimed them first now or
  /// earlier.
  bool Claim(Speaker speaker);

 private:
  std::mutex mutex_;
  Speaker speaker_ = Speaker::kNobody;
};

/// The document being built and how it is shaped.
struct Output {
  FixedText<4096> OutputBuffer;
  OutputMode mode = OutputMode::kExeXml;
  /// Channels written so far in this process; never reset.
  int ChannelCount = 0;
  Printed printed = Printed::kNothing;
  /// Set while a watchdog may end the run from another thread; it reads
  /// `mode` and, holding the lock of the output stream, `printed`.
  FinalWords* final_words = nullptr;
};

/// Claims the last words for the run. When a watchdog holds them, it is
/// ending the process: this waits for that and never returns.
void ClaimFinalWords(const Output& output);

/// The most characters of a document's text element that PRTG takes.
inline constexpr std::size_t kPrtgTextLimit = 2000;

/// True when the "<Prtg>" of an opening printed earlier stands open, so that
/// an error document has to go inside it.
bool PrtgOpen(const Output& output);

void OpenDocument(Output& output);
void OpenMessageText(Output& output);
/// `parameter_keys` is searched for the channel selector "CH=".
void CloseMessageText(Output& output, std::string_view parameter_keys);
void CloseDocument(Output& output);

/// Appends text that belongs inside the message element: escaped in the XML
/// family, unchanged in the other modes.
void AppendMessageText(Output& output, std::string_view text);

/// Replaces the buffer by the error document carrying `message`, in every
/// mode: "<Prtg>", "<Error>1</Error>", "<Text>" message "</Text>", "</Prtg>",
/// a line each. When the opening of the document has been printed already
/// (PrtgOpen), the "<Prtg>" line is left out, so that the error goes inside
/// the document that stands open and the whole output stays one document.
/// The message is escaped and cut (never inside an entity) to PRTG's limit
/// for a text.
void WriteErrorDocument(Output& output, std::string_view message);

/// Prints the opening of a multi-system run: the buffer's text and a
/// newline, and notes it in `printed` in the same step (under the stream's
/// lock, for the watchdog). The buffer is emptied afterwards.
void PrintOpening(Output& output, std::FILE* out);

/// Claims the last words and prints the run's final document: the buffer's
/// text unchanged, followed by `trailer`.
void PrintOutputBuffer(Output& output, std::FILE* out, std::string_view trailer = "");

#endif  // KESTRELON_OUTPUT_OUTPUT_DOCUMENT_H_
