#include <gtest/gtest.h>

#include "base/test_files.h"
#include "output/console_report.h"
#include "output/output_document.h"

namespace {

constexpr OutputMode kAllModes[] = {OutputMode::kExeXml, OutputMode::kVantrel,
                                    OutputMode::kMirabel, OutputMode::kTessaryn,
                                    OutputMode::kCorvane};

TEST(OutputModeTest, NamesAreComparedExactly) {
  EXPECT_EQ(OutputModeNamed("EXEXML"), OutputMode::kExeXml);
  EXPECT_EQ(OutputModeNamed("Corvane"), OutputMode::kCorvane);
  EXPECT_EQ(OutputModeNamed("exexml"), std::nullopt);
  EXPECT_EQ(OutputModeNamed("Corvane "), std::nullopt);
  EXPECT_EQ(OutputModeNamed(""), std::nullopt);
}

TEST(WriteErrorDocumentTest, IsTheSameXmlInEveryMode) {
  for (OutputMode mode : kAllModes) {
    Output output{FixedText<4096>("leftover"), mode, 0};
    WriteErrorDocument(output, "Error 1018: DataBase mismatch !");
    EXPECT_EQ(output.OutputBuffer.view(),
              "<Prtg>\n<Error>1</Error>\n<Text>Error 1018: DataBase mismatch !</Text>\n</Prtg>\n")
        << static_cast<int>(mode);
  }
  Output empty;
  WriteErrorDocument(empty, "");
  EXPECT_EQ(empty.OutputBuffer.view(), "<Prtg>\n<Error>1</Error>\n<Text></Text>\n</Prtg>\n");
}

TEST(WriteErrorDocumentTest, EscapesAndStaysWholeWhenTheMessageIsHuge) {
  Output output;
  WriteErrorDocument(output, "a<b>&c");
  EXPECT_EQ(output.OutputBuffer.view(),
            "<Prtg>\n<Error>1</Error>\n<Text>a&lt;b&gt;&amp;c</Text>\n</Prtg>\n");

  WriteErrorDocument(output, std::string(5000, '&'));
  std::string_view text = output.OutputBuffer.view();
  ASSERT_TRUE(text.ends_with("&amp;</Text>\n</Prtg>\n")) << text.substr(text.size() - 40);
  EXPECT_LE(text.size(), 4095u);
}

TEST(WriteErrorDocumentTest, GoesInsideTheDocumentThatAnOpeningLeftOpen) {
  const std::string inside =
      "<Error>1</Error>\n<Text>Error 1018: DataBase mismatch !</Text>\n</Prtg>\n";
  for (OutputMode mode : kAllModes) {
    FilePtr out(std::tmpfile());
    Output output;
    output.mode = mode;
    OpenDocument(output);
    PrintOpening(output, out.get());
    EXPECT_TRUE(output.OutputBuffer.empty());
    WriteErrorDocument(output, "Error 1018: DataBase mismatch !");
    PrintOutputBuffer(output, out.get());
    // Only the XML family opened a "<Prtg>"; the other modes print the whole
    // error document after their empty opening.
    EXPECT_EQ(ContentsOf(out.get()), IsXmlFamily(mode) ? "\n<Prtg>\n\n" + inside
                                                       : "\n<Prtg>\n" + inside)
        << static_cast<int>(mode);
    EXPECT_EQ(output.printed, Printed::kWhole);
  }
}

TEST(WriteErrorDocumentTest, TextIsCutToPrtgsLimit) {
  Output output;
  WriteErrorDocument(output, std::string(2001, 'x'));
  EXPECT_EQ(output.OutputBuffer.view(),
            "<Prtg>\n<Error>1</Error>\n<Text>" + std::string(2000, 'x') + "</Text>\n</Prtg>\n");
  WriteErrorDocument(output, std::string(1999, 'x') + "&");  // the entity does not fit whole
  EXPECT_EQ(output.OutputBuffer.view(),
            "<Prtg>\n<Error>1</Error>\n<Text>" + std::string(1999, 'x') + "</Text>\n</Prtg>\n");
}

// The framing writers, called in the order of a measurement document.
TEST(DocumentFramingTest, ShapesOfEachFamily) {
  static const struct {
    OutputMode mode;
    const char* keys;
    const char* document;
  } kCases[] = {
      {OutputMode::kExeXml, "", "\n<Prtg>\n\n<Text>msg</Text>\n\n</Prtg>\n"},
      {OutputMode::kMirabel, "CH=1", "\n<Prtg>\n\n<Text>msg</Text>\n\n</Prtg>\n"},
      {OutputMode::kTessaryn, "CH=1", "\n# msg\n"},
      {OutputMode::kCorvane, "", "\n# msg\n"},
      {OutputMode::kCorvane, "X,CH=2", "\n"},
  };
  for (const auto& c : kCases) {
    Output output{FixedText<4096>("discarded"), c.mode, 0};
    OpenDocument(output);
    OpenMessageText(output);
    AppendMessageText(output, "msg");
    CloseMessageText(output, c.keys);
    CloseDocument(output);
    EXPECT_EQ(output.OutputBuffer.view(), c.document) << c.keys;
  }
}

TEST(DocumentFramingTest, MessageTextIsEscapedOnlyInTheXmlFamily) {
  Output xml{FixedText<4096>(), OutputMode::kVantrel, 0};
  AppendMessageText(xml, "(A&B) <x>");
  EXPECT_EQ(xml.OutputBuffer.view(), "(A&amp;B) &lt;x&gt;");
  Output plain{FixedText<4096>(), OutputMode::kTessaryn, 0};
  AppendMessageText(plain, "(A&B) <x>");
  EXPECT_EQ(plain.OutputBuffer.view(), "(A&B) <x>");
}

TEST(ConsoleReportTest, LinesHaveTheirFormats) {
  EXPECT_EQ(HeaderText("16:20:21"), "* 16:20:21 SAP Kestrelon Vers 4.3 / 29.08.22");
  EXPECT_EQ(ListingExecutingText("16:20:21", "PRD ITEM=x"), "* 16:20:21 PRD ITEM=x State=Executing");
  EXPECT_EQ(SystemText("01:02:03", "PRD.P00", "", "PRD", "00", "100"),
            "* 01:02:03 PRD.P00, , PRD, 00, 100");
  EXPECT_EQ(SingleExecutingText("01:02:03", "(No Parameters)"),
            "* 01:02:03 Kestrelon - (No Parameters) State=Executing");
  EXPECT_EQ(ClosingText("01:02:03"), "\n* 01:02:03 SAP Kestrelon now processed...");
  std::string time = TimeText();
  ASSERT_EQ(time.size(), 8u);
  EXPECT_EQ(time[2], ':');
  EXPECT_EQ(time[5], ':');
}

TEST(ConsoleReportTest, PrintedLinesAreCutAt123Characters) {
  FilePtr out(std::tmpfile());
  PrintReportLine(std::string(200, 'x'), out.get());
  PrintSystemState("* sys", "Rfc Failure", out.get());
  EXPECT_EQ(ContentsOf(out.get()), std::string(123, 'x') + "\n\n* sys State=Rfc Failure\n");
}

TEST(PrintLabelledLineTest, PadsTheLabelToTheWidth) {
  FilePtr out(std::tmpfile());
  PrintLabelledLine("operation/code", 0, 15, "ItCreate TF_CPU_ALL", out.get());
  PrintLabelledLine("key", 0, 15, "", out.get());
  PrintLabelledLine("internal status", 0, 15, "x", out.get());
  PrintLabelledLine("a much longer label", 2, 15, "v", out.get());
  EXPECT_EQ(ContentsOf(out.get()),
            "operation/code  : ItCreate TF_CPU_ALL\n"
            "key             : \n"
            "internal status : x\n"
            "  a much longer label : v\n");
}

}  // namespace
