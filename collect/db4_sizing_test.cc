#include "collect/db4_sizing.h"

#include <gtest/gtest.h>

namespace {

TEST(PackedToTextTest, WritesSignAndDigits) {
  static const struct {
    std::vector<unsigned char> bytes;
    unsigned decimals;
    const char* text;
  } kCases[] = {
      {{0x00, 0x00, 0x00, 0x00, 0x12, 0x34, 0x56, 0x7C}, 0, "+000000001234567"},
      {{0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x99, 0x9D}, 0, "-000000000000999"},
      {{0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0F}, 0, "+000000000000000"},
      {{0x12, 0x34, 0x5C}, 1, "+1234.5"},
      {{0x00, 0x00, 0x01, 0x23, 0x45, 0x67, 0x89, 0x0C}, 5, "+0000012345.67890"},
      {{0xAB, 0xCD}, 0, "-ABC"}, {{0xAB, 0xCE}, 0, "+ABC"},
      // Every sign half-byte: B is minus as D is; a digit is no sign at all.
      {{0x12, 0x3A}, 0, "+123"}, {{0x12, 0x3B}, 0, "-123"}, {{0x12, 0x3C}, 0, "+123"},
      {{0x12, 0x3D}, 0, "-123"}, {{0x12, 0x3E}, 0, "+123"}, {{0x12, 0x3F}, 0, "+123"},
      {{0x12, 0x30}, 0, ""}, {{0x12, 0x35}, 0, ""}, {{0x12, 0x39}, 0, ""},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(PackedToText(c.bytes.data(), c.bytes.size(), c.decimals), c.text) << c.text;
  }
  const unsigned char bytes[] = {0x0A, 0xFF};
  EXPECT_EQ(BytesToHex(bytes, 2), "0AFF");
}

TEST(SizeFigureTest, AcceptsOnlyPositiveDecimalDigits) {
  EXPECT_EQ(SizeFigure("+000000001234567"), 1234567u);
  EXPECT_EQ(SizeFigure("+999999999999999"), 999999999999999u);  // 64-bit, not wrapped
  EXPECT_EQ(SizeFigure("-000000000000999"), std::nullopt);
  EXPECT_EQ(SizeFigure("+00000000000A999"), std::nullopt);
  EXPECT_EQ(SizeFigure("+"), std::nullopt);
  EXPECT_EQ(SizeFigure(""), std::nullopt);
}

}  // namespace
