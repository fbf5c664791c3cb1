// Runs that share one working directory, as the sensors of a PRTG probe do:
// many programs started at once, opening through destination files, each
// must open its own system through a whole "SapRfc.ini"; files and links
// planted at the names the program writes stay untouched; and a run that
// cannot get the lock of "SapRfc.ini" waits for it, and gives up after 10 s.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/file_lock.h"
#include "base/host_files.h"
#include "base/test_files.h"
#include "gtest/gtest.h"
#include "tests/e2e/expected_output.h"
#include "tests/e2e/landscape.h"
#include "tests/e2e/program_run.h"
#include "tests/e2e/sample_files.h"

namespace fs = std::filesystem;

namespace {

using namespace std::chrono_literals;

const std::string kLockFile = std::string(kWorkDir) + "SapRfc.ini.lock";
/// The one draft name that every run used before drafts had names of their
/// own.
const std::string kOldDraftFile = std::string(kWorkDir) + "SapRfc.ini.new";
const std::string kOldIni = "* an older SapRfc.ini\n" + SapRfcEntry("OLD", "sapold", "11");

/// One of the systems the runs measure: its destination file and its
/// profile name the same host and system number, and its system information
/// a SYSID of its own, so the document shows which system was measured.
struct Destination {
  std::string name;
  std::string host;
  std::string sysnr;

  std::string Entry() const { return SapRfcEntry(name, host, sysnr); }
  SimSystem System() const { return SystemAt(name, host, sysnr).Set("SYSID", name); }
  HostFile Profile() const {
    return {std::string(kProgramFilesDir) + name + ".P00", ProfileReaching(name, host, sysnr)};
  }
  std::string Document() const {
    std::string sid = name + std::string(8 - name.size(), ' ');
    return MeasurementDocument("EXEXML", ResultText(name, "DB4", "20240115", "083000", sid),
                               {"0", "0", "0", "0"}, "MByte");
  }
};

const Destination kPrd{"PRD", "sapprd", "00"};
const Destination kQas{"QAS", "sapqas", "01"};

/// The names in the working directory of `root` that start with
/// "SapRfc.ini." and are not the lock file: drafts left behind.
std::vector<std::string> LeftDrafts(const fs::path& root) {
  std::vector<std::string> drafts;
  std::error_code ignored;
  for (const fs::directory_entry& entry : fs::directory_iterator(root / kWorkDir, ignored)) {
    std::string name = entry.path().filename().string();
    if (name.starts_with("SapRfc.ini.") && name != "SapRfc.ini.lock") drafts.push_back(name);
  }
  return drafts;
}

/// Reads "SapRfc.ini" over and over while the object lives, and counts the
/// reads that found anything but one of the allowed contents (nothing, a
/// part, a mixture): what the RFC library of another run would have read.
class SapRfcIniWatcher {
 public:
  SapRfcIniWatcher(fs::path path, std::vector<std::string> allowed)
      : path_(std::move(path)), allowed_(std::move(allowed)), thread_([this] { Watch(); }) {}
  ~SapRfcIniWatcher() { Stop(); }

  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  int reads() const { return reads_; }
  int broken_reads() const { return broken_reads_; }
  /// What the first broken read found ("(no file)" for none).
  const std::string& first_broken() const { return first_broken_; }

 private:
  void Watch() {
    while (!stop_) {
      std::optional<std::string> content = WholeFile(path_);
      ++reads_;
      if (content && std::find(allowed_.begin(), allowed_.end(), *content) != allowed_.end()) {
        continue;
      }
      if (broken_reads_++ == 0) first_broken_ = content.value_or("(no file)");
    }
  }

  fs::path path_;
  std::vector<std::string> allowed_;
  std::atomic<bool> stop_{false};
  int reads_ = 0;
  int broken_reads_ = 0;
  std::string first_broken_;
  std::thread thread_;  // last: starts once the members it reads are made
};

TEST(ConcurrentRuns, TwoDestinationsInOneWorkingDirectory) {
  // Half the runs measure PRD, half QAS, all through destination files. A
  // run whose RfcOpenEx met the other destination's SapRfc.ini, or a part
  // of one, fails to open (Error 1011): each entry names its own DEST only.
  // Before runs drafted under names of their own and took the lock, 6 to 16
  // of these 100 runs failed on a 2-core machine, and under Wine 1 to 3 of
  // 40: a chance pass of the racy program is unlikely here, and rare under
  // Wine, where a round takes some 1.7 s rather than 0.35 s.
  constexpr int kRunsPerRound = 20;
  const int rounds = RunsWindowsProgram() ? 4 : 5;
  SharedTree tree({LandscapeText().Add(kPrd.System()).Add(kQas.System()).File(),
                   kPrd.Profile(), kQas.Profile(), DestinationFile("PRD", kPrd.Entry()),
                   DestinationFile("QAS", kQas.Entry()),
                   {std::string(kSapRfcIniFile), kPrd.Entry()}});
  ASSERT_TRUE(tree.ok());
  std::vector<std::vector<std::string>> runs;
  std::vector<const Destination*> measured;
  for (int i = 0; i < kRunsPerRound; ++i) {
    measured.push_back(i % 2 == 0 ? &kPrd : &kQas);
    runs.push_back({measured.back()->name});
  }

  SapRfcIniWatcher watcher(tree.root() / kSapRfcIniFile, {kPrd.Entry(), kQas.Entry()});
  int failed = 0;
  for (int round = 1; round <= rounds; ++round) {
    std::vector<ProgramResult> results = tree.RunTogether(runs);
    for (std::size_t i = 0; i < results.size(); ++i) {
      SCOPED_TRACE("round " + std::to_string(round) + ", run " + std::to_string(i) + " (" +
                   measured[i]->name + ")");
      ExpectOutput(results[i], measured[i]->Document(), 0);
      if (results[i].exit_code != 0) ++failed;
    }
  }
  watcher.Stop();
  std::fprintf(stderr, "note: %d of %d runs failed; %d of %d reads of SapRfc.ini not whole\n",
               failed, rounds * kRunsPerRound, watcher.broken_reads(), watcher.reads());
  EXPECT_EQ(failed, 0);
  EXPECT_GT(watcher.reads(), 0);
  EXPECT_EQ(watcher.broken_reads(), 0) << "first found: " << watcher.first_broken();
  // What every run leaves: SapRfc.ini of one of the two, the empty lock file,
  // and no draft.
  std::optional<std::string> ini = WholeFile(tree.root() / kSapRfcIniFile);
  EXPECT_TRUE(ini == kPrd.Entry() || ini == kQas.Entry()) << ini.value_or("(no file)");
  EXPECT_EQ(WholeFile(tree.root() / kLockFile), "");
  EXPECT_EQ(LeftDrafts(tree.root()), std::vector<std::string>{});
}

/// Puts a link at `link` (a host path under the drive root, in the place of
/// any file laid out there) to `target`.
TreePreparation LinkAt(std::string link, std::string target) {
  return [link, target](const fs::path& root) {
    std::error_code error;
    fs::remove(root / link, error);
    fs::create_symlink(root / target, root / link, error);
    return !error;
  };
}

TEST(ConcurrentRuns, PlantedLinksAreNotFollowed) {
  // Files outside the working directory that links planted there name; one
  // is there, one is not.
  static const std::string kTarget = "C/outside/precious.txt";
  static const std::string kMissingTarget = "C/outside/none.txt";
  static const std::string kPrecious = "not to be written\n";
  static const struct {
    const char* name;
    std::string link;
    std::string target;
    bool posix_only;  // Wine follows a host link, as Windows would never meet one
    std::string expected;  // standard output
    int exit_code;
    std::string ini;  // SapRfc.ini after the run
  } kCases[] = {
      {"link at the old draft name to a file", kOldDraftFile, kTarget, false, kPrd.Document(),
       0, kPrd.Entry()},
      {"link at the old draft name to nothing", kOldDraftFile, kMissingTarget, false,
       kPrd.Document(), 0, kPrd.Entry()},
      // The rename replaces the link itself.
      {"link in the place of SapRfc.ini", std::string(kSapRfcIniFile), kTarget, false,
       kPrd.Document(), 0, kPrd.Entry()},
      // A lock file that is a link is refused: no lock, no copy, no open.
      {"link in the place of the lock file, to a file", kLockFile, kTarget, true,
       ErrorDocument("Error 1011: RFC-Open for PRD failed !"), 2, kOldIni},
      {"link in the place of the lock file, to nothing", kLockFile, kMissingTarget, true,
       ErrorDocument("Error 1011: RFC-Open for PRD failed !"), 2, kOldIni},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    if (c.posix_only && RunsWindowsProgram()) continue;
    std::map<std::string, std::string> left;
    ProgramResult result = RunProgramInPreparedTree(
        {LandscapeWith(kPrd.System()), kPrd.Profile(), DestinationFile("PRD", kPrd.Entry()),
         {kTarget, kPrecious}, {std::string(kSapRfcIniFile), kOldIni}},
        LinkAt(c.link, c.target), {"PRD"},
        {kTarget, kMissingTarget, std::string(kSapRfcIniFile)}, &left);
    ExpectOutput(result, c.expected, c.exit_code);
    EXPECT_EQ(left[kTarget], kPrecious);
    EXPECT_FALSE(left.contains(kMissingTarget)) << "the missing target was created";
    EXPECT_EQ(left[std::string(kSapRfcIniFile)], c.ini);
  }
}

TEST(ConcurrentRuns, LockHeldElsewhere) {
  // The test process holds the lock with the program's own FileLock (flock
  // on Linux), which a Linux program meets. Under Wine the Windows program
  // locks with LockFileEx, which Wine keeps apart from flock locks, so the
  // case runs on POSIX only.
  if (RunsWindowsProgram()) GTEST_SKIP() << "Wine's file locks do not meet flock locks";
  static const struct {
    const char* name;
    std::optional<std::chrono::milliseconds> held_for;  // nullopt: throughout
    std::chrono::milliseconds at_least;  // the run's time
    std::string expected;
    int exit_code;
    std::string ini;
  } kCases[] = {
      {"released after half a second: the run waits and opens", 500ms, 500ms,
       kPrd.Document(), 0, kPrd.Entry()},
      // The one slow case: the program waits its whole 10 seconds.
      {"held throughout: Error 1011 after 10 seconds", std::nullopt, 10s,
       ErrorDocument("Error 1011: RFC-Open for PRD failed !"), 2, kOldIni},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    FileLock held;
    std::thread releaser;
    auto hold = [&](const fs::path& root) {
      held = FileLock::Take(PathMap{root.string()}, "C:\\work\\SapRfc.ini.lock", 0ms);
      if (c.held_for) {
        releaser = std::thread([&held, wait = *c.held_for] {
          std::this_thread::sleep_for(wait);
          held = FileLock();
        });
      }
      return held.held();
    };
    std::map<std::string, std::string> left;
    const auto started = std::chrono::steady_clock::now();
    ProgramResult result = RunProgramInPreparedTree(
        {LandscapeWith(kPrd.System()), kPrd.Profile(), DestinationFile("PRD", kPrd.Entry()),
         {std::string(kSapRfcIniFile), kOldIni}},
        hold, {"PRD"}, {std::string(kSapRfcIniFile), std::string(kJournalFile)}, &left);
    const auto took = std::chrono::steady_clock::now() - started;
    if (releaser.joinable()) releaser.join();
    held = FileLock();
    ExpectOutput(result, c.expected, c.exit_code);
    EXPECT_EQ(left[std::string(kSapRfcIniFile)], c.ini);
    EXPECT_EQ(JournalLines(left[std::string(kJournalFile)], {"RfcOpenEx"}).empty(),
              c.exit_code != 0);
    EXPECT_GE(took, c.at_least);
    // Well within the harness's 20 s limit: the wait is bounded.
    EXPECT_LT(took, c.at_least + 5s);
  }
}

}  // namespace
