#include "driver/run_guard.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "base/test_files.h"

namespace {

struct GuardedRun {
  Outcome outcome = Outcome::GoOn();
  std::string printed;
};

GuardedRun Guard(Output& output, const std::function<Outcome(std::FILE*)>& run) {
  FilePtr out(std::tmpfile());
  GuardedRun guarded;
  guarded.outcome = RunGuarded([&] { return run(out.get()); }, output, out.get());
  guarded.printed = ContentsOf(out.get());
  return guarded;
}

TEST(RunGuardedTest, AnOrdinaryRunKeepsItsOutcome) {
  Output output;
  GuardedRun guarded = Guard(output, [](std::FILE*) { return Outcome::End(0); });
  EXPECT_EQ(guarded.outcome.exit_code(), 0);
  EXPECT_EQ(guarded.printed, "");
}

TEST(RunGuardedTest, AnExceptionEndsWithAnErrorDocument) {
  Output output;
  GuardedRun guarded = Guard(output, [](std::FILE*) -> Outcome {
    throw std::out_of_range("basic_string_view::substr: __pos (which is 16) > __size");
  });
  EXPECT_EQ(guarded.outcome.exit_code(), 2);
  EXPECT_EQ(guarded.printed,
            "<Prtg>\n<Error>1</Error>\n<Text>Error 1130: Internal failure: "
            "basic_string_view::substr: __pos (which is 16) &gt; __size...</Text>\n</Prtg>\n");
}

TEST(RunGuardedTest, InsideTheOpenedDocumentOfAMultiSystemRun) {
  Output output;
  GuardedRun guarded = Guard(output, [&output](std::FILE* out) -> Outcome {
    OpenDocument(output);
    PrintOpening(output, out);
    throw 42;
  });
  EXPECT_EQ(guarded.outcome.exit_code(), 2);
  EXPECT_EQ(guarded.printed,
            "\n<Prtg>\n\n<Error>1</Error>\n<Text>Error 1130: Internal failure: unknown "
            "exception...</Text>\n</Prtg>\n");
}

TEST(RunGuardedTest, NothingFollowsTheFinalDocument) {
  Output output;
  GuardedRun guarded = Guard(output, [&output](std::FILE* out) -> Outcome {
    WriteErrorDocument(output, "Error 1018: DataBase mismatch !");
    PrintOutputBuffer(output, out);
    throw std::runtime_error("late");
  });
  EXPECT_EQ(guarded.outcome.exit_code(), 2);
  EXPECT_EQ(guarded.printed,
            "<Prtg>\n<Error>1</Error>\n<Text>Error 1018: DataBase mismatch !</Text>\n</Prtg>\n");
}

TEST(RunGuardedTest, TheMessageIsCutToTheMessageArea) {
  Output output;
  GuardedRun guarded =
      Guard(output, [](std::FILE*) -> Outcome { throw std::runtime_error(std::string(300, 'w')); });
  const std::string message = "Error 1130: Internal failure: " + std::string(300, 'w');
  EXPECT_EQ(guarded.printed,
            "<Prtg>\n<Error>1</Error>\n<Text>" + message.substr(0, 127) + "</Text>\n</Prtg>\n");
}

}  // namespace
