// Fuzzes the channel selector and writer: the input is the parameter text.
// In every output mode the four channels of a measurement are written, and
// a fifth made of the input itself (name, value and unit).
#include "base/text.h"
#include "driver/run_texts.h"
#include "fuzz/fuzz_support.h"
#include "output/channel_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input = AsText(data, size);
  ParameterField text, keys;
  text.AssignCut(input);
  keys.AssignCut(UpperCase(text.view()));
  const long selected = SelectedChannel(text.view(), keys.view());
  Require(selected >= -99 && selected <= 999);

  for (OutputMode mode : {OutputMode::kExeXml, OutputMode::kVantrel, OutputMode::kMirabel,
                          OutputMode::kTessaryn, OutputMode::kCorvane}) {
    Output output;
    output.mode = mode;
    OpenDocument(output);
    OpenMessageText(output);
    CloseMessageText(output, keys.view());
    for (const char* name : {"DB-Table Sizes", "Prim.Key Sizes", "Index Sizes", "DBase Size"}) {
      WriteChannel(output, text.view(), keys.view(), name, "1234", "MByte");
    }
    WriteChannel(output, text.view(), keys.view(), input, input, input);
    CloseDocument(output);
    Require(output.ChannelCount == 5);
    std::string_view document = output.OutputBuffer.view();
    if (IsXmlFamily(mode)) Require(document.starts_with("\n<Prtg>\n") && document.ends_with("\n</Prtg>\n"));
    if (mode == OutputMode::kCorvane && Contains(keys.view(), "CH=")) {
      // Only the selected channel's bare value, then the closing newline.
      std::string value = selected >= 1 && selected <= 4 ? "1234"
                          : selected == 5                ? std::string(input.substr(0, 123))
                                                         : "";
      Require(document == value + "\n");
    }
  }
  return 0;
}
