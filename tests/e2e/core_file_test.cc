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
#include <utility>

#include "gtest/gtest.h"
#include "tests/e2e/landscape.h"
#include "tests/e2e/program_run.h"
#include "tests/e2e/sample_files.h"

namespace {

namespace fs = std::filesystem;

// The soft and the hard core-file limit of the process whose working
// directory is `work`; nullopt while there is none.
std::optional<std::pair<std::string, std::string>> CoreLimitsOfProcessIn(const fs::path& work) {
  std::error_code error;
  for (const auto& entry : fs::directory_iterator("/proc", error)) {
    std::string pid = entry.path().filename().string();
    if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
    if (fs::read_symlink(entry.path() / "cwd", error) != work || error) continue;
    std::ifstream limits(entry.path() / "limits");
    for (std::string line; std::getline(limits, line);) {
      constexpr std::string_view kLabel = "Max core file size";
      if (!line.starts_with(kLabel)) continue;
      std::istringstream words(line.substr(kLabel.size()));
      std::pair<std::string, std::string> soft_and_hard;
      words >> soft_and_hard.first >> soft_and_hard.second;
      return soft_and_hard;
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
  // The process is found from the moment the harness has changed into the
  // tree, before it starts the program, whose first step lowers the limits:
  // they are read until they are 0 or the hung run is nearly over.
  std::optional<std::pair<std::string, std::string>> limits;
  std::thread watcher([&] {
    auto give_up = std::chrono::steady_clock::now() + std::chrono::milliseconds(2500);
    const std::pair<std::string, std::string> none{"0", "0"};
    while (limits != none && std::chrono::steady_clock::now() < give_up) {
      if (started) {
        auto found = CoreLimitsOfProcessIn(work);
        if (found) limits = found;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  });
  std::map<std::string, std::string> left;
  ProgramResult result = RunProgramInPreparedTree(
      {PrtgProfile(UsableProfile()), LandscapeWith(ReachableSystem().Set("hang", "open"))},
      note_tree, {"--timeout=3", "PRD"}, {}, &left);
  watcher.join();
  EXPECT_EQ(result.exit_code, 2);
  ASSERT_TRUE(limits) << "the waiting program was not found";
  // The hard limit (often unlimited by default) shows that the program
  // itself lowered it, for good.
  EXPECT_EQ(limits->first, "0") << "soft limit";
  EXPECT_EQ(limits->second, "0") << "hard limit";
}

}  // namespace
