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

// The text of a packed field whose last byte is `last`: empty when its sign
// half-byte is a digit (no packed number), else "-" for B and D, "+" for A,
// C, E and F, then `length` characters more.
void CheckSign(const std::string& text, std::uint8_t last, std::size_t length) {
  const unsigned sign = last & 0x0F;
  if (sign <= 9) return Require(text.empty());
  Require(text.size() == length + 1);
  Require(text[0] == (sign == 0xB || sign == 0xD ? '-' : '+'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size >= 8) {
    std::string text = PackedToText(data, 8, 0);
    CheckSign(text, data[7], 15);
    CheckFigure(text);
  }
  if (size >= 1) {
    const unsigned decimals = data[0] % 32;
    const std::size_t length = size - 1;
    std::string text = PackedToText(data + 1, length, decimals);
    if (length == 0) {
      Require(text == "+");
    } else {
      CheckSign(text, data[size - 1], 2 * length - 1 + (decimals > 0 ? 1 : 0));
    }
    CheckFigure(text);
  }
  CheckFigure(AsText(data, size));
  return 0;
}
