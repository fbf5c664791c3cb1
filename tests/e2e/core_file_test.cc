// A core file of a crashing run would hold the clear password and the key:
// the program asks the system for none. Seen from outside while the program
// waits in a hung open, in the limits the system keeps for the process.
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

#include "gtest/gtest.h"
#include "tests/e2e/landscape.h"
#include "tests/e2e/program_run.h"
#include "tests/e2e/sample_files.h"

namespace {

namespace fs = std::filesystem;

// The "Max core file size" line of the process whose working directory is
// `work`, once one is found.
std::optional<std::string> CoreLimitOfProcessIn(const fs::path& work) {
  std::error_code error;
  for (const auto& entry : fs::directory_iterator("/proc", error)) {
    std::string pid = entry.path().filename().string();
    if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
    if (fs::read_symlink(entry.path() / "cwd", error) != work || error) continue;
    std::ifstream limits(entry.path() / "limits");
    for (std::string line; std::getline(limits, line);) {
      if (line.starts_with("Max core file size")) return line;
    }
  }
  return std::nullopt;
}

TEST(CoreFile, TheProgramAsksForNone) {
  if (RunsWindowsProgram()) GTEST_SKIP() << "core files are a POSIX matter";
  std::atomic<bool> started{false};
  fs::path work;
  const TreePreparation note_tree = [&](const fs::path& root) {
    work = fs::canonical(root / "C" / "work");
    started = true;
    return true;
  };
  std::optional<std::string> limit;
  std::thread watcher([&] {
    auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!limit && std::chrono::steady_clock::now() < give_up) {
      if (started) limit = CoreLimitOfProcessIn(work);
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  });
  std::map<std::string, std::string> left;
  ProgramResult result = RunProgramInPreparedTree(
      {PrtgProfile(UsableProfile()), LandscapeWith(ReachableSystem().Set("hang", "open"))},
      note_tree, {"--timeout=3", "PRD"}, {}, &left);
  watcher.join();
  EXPECT_EQ(result.exit_code, 2);
  ASSERT_TRUE(limit) << "the waiting program was not found";
  // Soft and hard limit both 0: the hard one (often unlimited by default)
  // shows that the program itself lowered it, for good.
  std::istringstream words(limit->substr(std::string_view("Max core file size").size()));
  std::string soft, hard;
  words >> soft >> hard;
  EXPECT_EQ(soft, "0") << *limit;
  EXPECT_EQ(hard, "0") << *limit;
}

}  // namespace
