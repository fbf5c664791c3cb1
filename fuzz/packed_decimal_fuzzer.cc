// Fuzzes the packed-decimal conversion and the size figure: the first eight
// input bytes as the sizing reads a size field, all bytes after the first
// with the first as the number of decimals, and the input as figure text.
#include <charconv>

#include "collect/db4_sizing.h"
#include "fuzz/fuzz_support.h"

namespace {

// A figure is a "+" and decimal digits, and the number they write.
void CheckFigure(std::string_view text) {
  std::optional<std::uint64_t> figure = SizeFigure(text);
  if (!figure) return;
  Require(text.size() >= 2 && text[0] == '+');
  Require(text.find_first_not_of("0123456789", 1) == std::string_view::npos);
  std::uint64_t expected = 0;
  std::from_chars_result parsed = std::from_chars(text.data() + 1, text.data() + text.size(), expected);
  if (parsed.ec == std::errc()) Require(*figure == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size >= 8) {
    std::string text = PackedToText(data, 8, 0);
    Require(text.size() == 16 && (text[0] == '+' || text[0] == '-'));
    CheckFigure(text);
  }
  if (size >= 1) {
    const unsigned decimals = data[0] % 32;
    const std::size_t length = size - 1;
    std::string text = PackedToText(data + 1, length, decimals);
    Require(text[0] == '+' || text[0] == '-');
    if (length > 0) Require(text.size() == 2 * length + (decimals > 0 ? 1 : 0));
    CheckFigure(text);
  }
  CheckFigure(AsText(data, size));
  return 0;
}
