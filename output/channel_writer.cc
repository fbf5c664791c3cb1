#include "output/channel_writer.h"

#include "base/fixed_text.h"
#include "base/text.h"

namespace {

// The writer's local copies hold 123 characters; longer texts are cut.
using ChannelText = FixedText<124>;
constexpr int kMaxTessarynChannels = 10;

void AppendXmlChannel(Output& output, std::string_view name, std::string_view value,
                      std::string_view unit) {
  std::string text = "\n<Result><Channel>" + EscapeXml(name) + "</Channel>";
  if (!unit.empty()) {
    text += "\n<Unit>Custom</Unit>\n<CustomUnit>" + EscapeXml(unit) + "</CustomUnit>";
  }
  text += "\n<Value>" + EscapeXml(value) + "</Value></Result>\n";
  output.OutputBuffer.AppendCut(text);
}

}  // namespace

std::string ChannelKey(std::string_view name) {
  std::string key(name);
  for (char& c : key) {
    if (std::string_view(" /\\[]*():-").find(c) != std::string_view::npos) c = '_';
  }
  std::size_t dot = key.find('.');
  if (dot != std::string::npos) key[dot] = '_';
  return key;
}

std::string_view UnitDisplayText(std::string_view unit) {
  if (unit.empty()) return "#";
  if (unit == "PerCent") return "%";
  if (unit == "TimeResponse") return "mSec";
  return unit;
}

long SelectedChannel(std::string_view parameter_text, std::string_view parameter_keys) {
  std::size_t at = parameter_keys.find("CH=");
  if (at == std::string_view::npos) return 0;
  std::string_view digits = parameter_text.substr(std::min(at + 3, parameter_text.size()), 3);
  digits = digits.substr(0, digits.find(','));
  std::size_t i = 0;
  while (i < digits.size() && (digits[i] == ' ' || (digits[i] >= '\t' && digits[i] <= '\r'))) ++i;
  bool negative = i < digits.size() && digits[i] == '-';
  if (i < digits.size() && (digits[i] == '-' || digits[i] == '+')) ++i;
  long number = 0;
  for (; i < digits.size() && digits[i] >= '0' && digits[i] <= '9'; ++i) {
    number = number * 10 + (digits[i] - '0');
  }
  return negative ? -number : number;
}

void WriteChannel(Output& output, std::string_view parameter_text,
                  std::string_view parameter_keys, std::string_view name,
                  std::string_view value, std::string_view unit) {
  ++output.ChannelCount;
  if (output.mode == OutputMode::kTessaryn && output.ChannelCount > kMaxTessarynChannels) return;
  ChannelText name_copy(name), value_copy(value), unit_copy(unit);
  ChannelText key(ChannelKey(name_copy.view()));
  ChannelText display(UnitDisplayText(unit_copy.view()));

  std::string text;
  switch (output.mode) {
    case OutputMode::kTessaryn:
      text = "\n\nMessage." + key.str() + ": " + name_copy.str() + " (" + display.str() + ")" +
             "\nStatistic." + key.str() + ": " + value_copy.str();
      break;
    case OutputMode::kCorvane:
      if (!Contains(parameter_keys, "CH=")) {
        text = "\n> " + name_copy.str() + ": " + value_copy.str() + " " + display.str();
      } else if (SelectedChannel(parameter_text, parameter_keys) == output.ChannelCount) {
        text = value_copy.str();
      }
      break;
    default:
      return AppendXmlChannel(output, name_copy.view(), value_copy.view(), unit_copy.view());
  }
  output.OutputBuffer.AppendCut(text);
}
