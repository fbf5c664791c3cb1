#include "output/channel_writer.h"

#include <gtest/gtest.h>

#include "base/text.h"

namespace {

TEST(ChannelKeyTest, ReplacesSeparatorsAndOnlyTheFirstDot) {
  static const struct {
    const char* name;
    const char* key;
  } kCases[] = {
      {"DB-Table Sizes", "DB_Table_Sizes"}, {"Prim.Key Sizes", "Prim_Key_Sizes"},
      {"Index Sizes", "Index_Sizes"},       {"DBase Size", "DBase_Size"},
      {"A.B.C", "A_B.C"},                   {"a/b\\c[d]*e(f):g", "a_b_c_d__e_f__g"},
  };
  for (const auto& c : kCases) EXPECT_EQ(ChannelKey(c.name), c.key) << c.name;
}

TEST(UnitDisplayTextTest, ThreeUnitsAreShownOtherwise) {
  EXPECT_EQ(UnitDisplayText(""), "#");
  EXPECT_EQ(UnitDisplayText("PerCent"), "%");
  EXPECT_EQ(UnitDisplayText("TimeResponse"), "mSec");
  EXPECT_EQ(UnitDisplayText("percent"), "percent");
  EXPECT_EQ(UnitDisplayText("MByte"), "MByte");
}

TEST(SelectedChannelTest, ReadsUpToThreeCharactersBeforeAComma) {
  static const struct {
    const char* text;
    long channel;
  } kCases[] = {
      {"CH=2,x", 2}, {"x ch=3", 3}, {"CH=0123", 12}, {"CH= 4", 4},
      {"CH=x", 0},   {"CH=", 0},    {"CH=1,2", 1},   {"no selector", 0},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(SelectedChannel(c.text, UpperCase(c.text)), c.channel) << c.text;
  }
}

// Writes the four channels of a measurement in the given mode.
std::string FourChannels(OutputMode mode, const std::string& parameters,
                         const char* unit = "MByte") {
  Output output{FixedText<4096>(), mode, 0};
  std::string keys = UpperCase(parameters);
  const char* names[] = {"DB-Table Sizes", "Prim.Key Sizes", "Index Sizes", "DBase Size"};
  const char* values[] = {"1234", "0", "2", "1238"};
  for (int i = 0; i < 4; ++i) WriteChannel(output, parameters, keys, names[i], values[i], unit);
  EXPECT_EQ(output.ChannelCount, 4);
  return output.OutputBuffer.str();
}

TEST(WriteChannelTest, FormsOfEachMode) {
  std::string xml = FourChannels(OutputMode::kExeXml, "");
  EXPECT_TRUE(xml.starts_with(
      "\n<Result><Channel>DB-Table Sizes</Channel>\n<Unit>Custom</Unit>\n"
      "<CustomUnit>MByte</CustomUnit>\n<Value>1234</Value></Result>\n"
      "\n<Result><Channel>Prim.Key Sizes</Channel>"))
      << xml;
  EXPECT_TRUE(xml.ends_with("<Value>1238</Value></Result>\n")) << xml;
  std::string tessaryn = FourChannels(OutputMode::kTessaryn, "");
  EXPECT_TRUE(tessaryn.starts_with(
      "\n\nMessage.DB_Table_Sizes: DB-Table Sizes (MByte)\nStatistic.DB_Table_Sizes: 1234"
      "\n\nMessage.Prim_Key_Sizes: Prim.Key Sizes (MByte)"))
      << tessaryn;
  EXPECT_EQ(FourChannels(OutputMode::kCorvane, ""),
            "\n> DB-Table Sizes: 1234 MByte\n> Prim.Key Sizes: 0 MByte"
            "\n> Index Sizes: 2 MByte\n> DBase Size: 1238 MByte");
  EXPECT_EQ(FourChannels(OutputMode::kCorvane, "a,ch=2,b"), "0");
  EXPECT_EQ(FourChannels(OutputMode::kCorvane, "CH=4"), "1238");
  EXPECT_EQ(FourChannels(OutputMode::kCorvane, "CH=5"), "");
  EXPECT_EQ(FourChannels(OutputMode::kCorvane, "CH=x"), "");
}

TEST(WriteChannelTest, EmptyUnitAndEscaping) {
  Output xml{FixedText<4096>(), OutputMode::kMirabel, 0};
  WriteChannel(xml, "", "", "A<B & C>", "7", "");
  EXPECT_EQ(xml.OutputBuffer.view(),
            "\n<Result><Channel>A&lt;B &amp; C&gt;</Channel>\n<Value>7</Value></Result>\n");
  Output corvane{FixedText<4096>(), OutputMode::kCorvane, 0};
  WriteChannel(corvane, "", "", "A&B", "7", "");
  EXPECT_EQ(corvane.OutputBuffer.view(), "\n> A&B: 7 #");
  Output percent{FixedText<4096>(), OutputMode::kExeXml, 0};
  WriteChannel(percent, "", "", "Load", "7", "PerCent");
  EXPECT_TRUE(Contains(percent.OutputBuffer.view(), "<CustomUnit>PerCent</CustomUnit>"));
}

TEST(WriteChannelTest, TessarynWritesAtMostTenChannelsPerProcess) {
  Output output{FixedText<4096>(), OutputMode::kTessaryn, 0};
  for (int i = 1; i <= 11; ++i) WriteChannel(output, "", "", "C", std::to_string(i), "");
  EXPECT_EQ(output.ChannelCount, 11);
  EXPECT_TRUE(output.OutputBuffer.view().ends_with("Statistic.C: 10"));
}

}  // namespace
