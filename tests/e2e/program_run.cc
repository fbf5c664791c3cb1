#include "tests/e2e/program_run.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <latch>
#include <optional>
#include <system_error>
#include <thread>

#include "base/test_files.h"
#include "gtest/gtest.h"
#include "tests/e2e/one_document.h"

namespace fs = std::filesystem;

namespace {

constexpr std::chrono::seconds kTimeLimit{20};

/// A temporary directory that is removed with everything in it when the
/// object goes.
class TemporaryTree {
 public:
  TemporaryTree() {
    std::string pattern =
        (fs::temp_directory_path() / "kestrelon-e2e-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) top_ = pattern;
  }
  ~TemporaryTree() {
    std::error_code ignored;
    if (!top_.empty()) fs::remove_all(top_, ignored);
  }
  TemporaryTree(const TemporaryTree&) = delete;
  TemporaryTree& operator=(const TemporaryTree&) = delete;

  bool ok() const { return !top_.empty(); }
  const fs::path& top() const { return top_; }

 private:
  fs::path top_;
};

/// Writes `bytes` to `path`, creating the directories on the way.
bool WriteHostFile(const fs::path& path, const std::string& bytes) {
  std::error_code error;
  fs::create_directories(path.parent_path(), error);
  if (error) return false;
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}

/// Reads what is there on `fd` into `sink`; returns false at end of stream.
bool Drain(int fd, std::string& sink) {
  char chunk[4096];
  ssize_t got = read(fd, chunk, sizeof chunk);
  if (got > 0) {
    sink.append(chunk, static_cast<std::size_t>(got));
    return true;
  }
  return got < 0 && errno == EINTR;
}

/// Starts the program in `working_dir` and collects its output and exit code.
ProgramResult Execute(const std::vector<std::string>& argv_texts,
                      const fs::path& working_dir) {
  ProgramResult result;
  std::vector<char*> argv;
  for (const std::string& text : argv_texts) argv.push_back(const_cast<char*>(text.c_str()));
  argv.push_back(nullptr);
  const std::string dir = working_dir.string();

  int out_pipe[2];
  int err_pipe[2];
  if (pipe2(out_pipe, O_CLOEXEC) != 0 || pipe2(err_pipe, O_CLOEXEC) != 0) {
    ADD_FAILURE() << "cannot create pipes: " << std::strerror(errno);
    return result;
  }
  pid_t pid = fork();
  if (pid < 0) {
    ADD_FAILURE() << "cannot fork: " << std::strerror(errno);
    return result;
  }
  if (pid == 0) {
    // Child: only async-signal-safe calls from here to exec.
    int null_in = open("/dev/null", O_RDONLY);
    if (null_in < 0 || dup2(null_in, 0) < 0 || dup2(out_pipe[1], 1) < 0 ||
        dup2(err_pipe[1], 2) < 0 || chdir(dir.c_str()) != 0) {
      _exit(126);
    }
    execv(argv[0], argv.data());
    static const char kExecFailed[] = "e2e harness: exec failed\n";
    ssize_t ignored = write(2, kExecFailed, sizeof kExecFailed - 1);
    (void)ignored;
    _exit(127);
  }
  close(out_pipe[1]);
  close(err_pipe[1]);

  const auto deadline = std::chrono::steady_clock::now() + kTimeLimit;
  pollfd fds[2] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}};
  std::string* sinks[2] = {&result.out, &result.err};
  int open_streams = 2;
  while (open_streams > 0) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      result.timed_out = true;
      kill(pid, SIGKILL);
      break;
    }
    int ready = poll(fds, 2, static_cast<int>(left.count()));
    if (ready < 0 && errno != EINTR) break;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd >= 0 && (fds[i].revents & (POLLIN | POLLHUP | POLLERR))) {
        if (!Drain(fds[i].fd, *sinks[i])) {
          close(fds[i].fd);
          fds[i].fd = -1;
          --open_streams;
        }
      }
    }
  }
  for (pollfd& entry : fds) {
    if (entry.fd >= 0) close(entry.fd);
  }

  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status)) {
    result.exit_code = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    result.exit_code = 128 + WTERMSIG(status);
  }
  EXPECT_FALSE(result.timed_out) << "the program ran longer than "
                                 << kTimeLimit.count() << " s and was killed";
  return result;
}

/// The Windows build whose kestrelon.exe runs under Wine, from
/// KESTRELON_E2E_WINE; none when it is unset or empty.
struct WineTarget {
  fs::path program;  // kestrelon.exe, librfc32.dll beside it
  fs::path prefix;   // the Wine prefix of the suite, inside the build tree
};

const std::optional<WineTarget>& Wine() {
  static const std::optional<WineTarget> target = []() -> std::optional<WineTarget> {
    const char* tree = std::getenv("KESTRELON_E2E_WINE");
    if (tree == nullptr || *tree == '\0') return std::nullopt;
    std::error_code ignored;
    const fs::path dir = fs::absolute(tree, ignored);
    return WineTarget{dir / "kestrelon.exe", dir / "wine-e2e-prefix"};
  }();
  return target;
}

/// The prefix's link for a drive letter ("c:").
fs::path DriveLink(const fs::path& prefix, char letter) {
  return prefix / "dosdevices" / (std::string(1, letter) + ":");
}

/// Points the link of `letter` at `target`, replacing what was there.
bool PointDrive(const fs::path& prefix, char letter, const fs::path& target) {
  std::error_code error;
  fs::remove(DriveLink(prefix, letter), error);
  fs::create_directory_symlink(target, DriveLink(prefix, letter), error);
  return !error;
}

/// Gives the prefix back its own drive C and no drive letters but C and Z
/// (Z is the host's root, where the program itself lies).
void RestoreDrives(const fs::path& prefix) {
  PointDrive(prefix, 'c', "../drive_c");
  for (char letter = 'a'; letter <= 'y'; ++letter) {
    if (letter == 'c') continue;
    std::error_code ignored;
    if (fs::is_symlink(DriveLink(prefix, letter), ignored)) {
      fs::remove(DriveLink(prefix, letter), ignored);
    }
  }
}

/// The bytes of `text` read as Windows code page 1252 (the ANSI code page
/// that a program's arguments arrive in), written in UTF-8. Wine takes its
/// arguments in the host's charset (UTF-8, cmake/wine-run sets C.UTF-8) and
/// hands them to the program in code page 1252, so this is what brings the
/// program exactly the bytes of a case's argument. The five bytes 1252 does
/// not define stand for the code points of their own value, as on Windows.
std::string Cp1252AsUtf8(const std::string& text) {
  static const char16_t kHigh[32] = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  std::string utf8;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    const char32_t code = byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : byte;
    if (code < 0x80) {
      utf8 += static_cast<char>(code);
    } else if (code < 0x800) {
      utf8 += static_cast<char>(0xC0 | (code >> 6));
      utf8 += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      utf8 += static_cast<char>(0xE0 | (code >> 12));
      utf8 += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return utf8;
}

/// The command that runs the Windows program under Wine with `arguments`.
std::vector<std::string> WineCommand(const WineTarget& wine,
                                     const std::vector<std::string>& arguments) {
  std::vector<std::string> argv_texts = {KESTRELON_WINE_RUN, wine.prefix.string(),
                                         wine.program.string()};
  for (const std::string& argument : arguments) argv_texts.push_back(Cp1252AsUtf8(argument));
  return argv_texts;
}

/// Once per process: makes the prefix (the first time), starts Wine and
/// proves that the program runs, with the prefix's own drives.
bool WinePrefixReady(const WineTarget& wine) {
  static const bool ready = [&wine] {
    std::error_code ignored;
    if (fs::exists(wine.prefix / "dosdevices", ignored)) RestoreDrives(wine.prefix);
    ProgramResult version =
        Execute(WineCommand(wine, {"--version"}), wine.program.parent_path());
    bool ok = version.exit_code == 0 &&
              version.out.starts_with("Kestrelon Vers") &&
              fs::is_directory(wine.prefix / "drive_c" / "windows", ignored);
    EXPECT_TRUE(ok) << "cannot run " << wine.program << " under Wine in "
                    << wine.prefix << ": exit code " << version.exit_code
                    << ", output " << version.out << version.err;
    return ok;
  }();
  return ready;
}

/// The drive letters of a run under Wine, for as long as the object lives:
/// C is ROOT/C, holding links to the prefix's windows, users and ProgramData
/// directories (what Wine itself needs of drive C); every other directory
/// ROOT/D to ROOT/Y that the case made ("D/x/...") is that drive.
class WineDrives {
 public:
  WineDrives(const fs::path& prefix, const fs::path& root) : prefix_(prefix) {
    std::error_code error;
    for (const char* system_dir : {"windows", "users", "ProgramData"}) {
      fs::create_directory_symlink(prefix / "drive_c" / system_dir,
                                   root / "C" / system_dir, error);
      if (error) {
        ADD_FAILURE() << "cannot link " << system_dir << " into drive C: " << error.message();
        return;
      }
    }
    for (char letter = 'A'; letter <= 'Y'; ++letter) {
      const fs::path drive = root / std::string(1, letter);
      if (!fs::is_directory(drive, error)) continue;
      if (!PointDrive(prefix, static_cast<char>(letter - 'A' + 'a'), drive)) {
        ADD_FAILURE() << "cannot make drive " << letter << ": in " << prefix;
        return;
      }
    }
    ok_ = true;
  }
  ~WineDrives() { RestoreDrives(prefix_); }
  WineDrives(const WineDrives&) = delete;
  WineDrives& operator=(const WineDrives&) = delete;

  bool ok() const { return ok_; }

 private:
  fs::path prefix_;
  bool ok_ = false;
};

/// Undoes Windows text mode: every "\r\n" becomes "\n".
std::string WithoutCarriageReturns(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    result += text[i];
  }
  return result;
}

/// Lays out a drive tree at `root`: the working directory C/work and
/// `files`. A failure is a test failure and false.
bool LayOutTree(const fs::path& root, const std::vector<HostFile>& files) {
  const fs::path working_dir = root / "C" / "work";
  std::error_code error;
  fs::create_directories(working_dir, error);
  if (error) {
    ADD_FAILURE() << "cannot create " << working_dir << ": " << error.message();
    return false;
  }
  for (const HostFile& file : files) {
    if (!WriteHostFile(root / file.path, file.bytes)) {
      ADD_FAILURE() << "cannot write " << file.path;
      return false;
    }
  }
  return true;
}

/// Under Wine, makes the drives of the tree at `root` the prefix's for as
/// long as `drives` lives; elsewhere does nothing. A failure is a test
/// failure and false.
bool DrivesReady(const fs::path& root, std::optional<WineDrives>& drives) {
  const std::optional<WineTarget>& wine = Wine();
  if (!wine) return true;
  if (!WinePrefixReady(*wine)) {
    ADD_FAILURE() << "the Windows program does not run under Wine (see above)";
    return false;
  }
  drives.emplace(wine->prefix, root);
  return drives->ok();
}

/// Runs the program once in the working directory of the laid-out tree at
/// `root` (whose drives are ready) and checks that a run that prints for
/// PRTG prints exactly one document. Safe to call from several threads at
/// once.
ProgramResult RunInLaidOutTree(const fs::path& root, const std::vector<std::string>& arguments,
                               DriveRootOption drive_root) {
  const fs::path working_dir = root / "C" / "work";
  ProgramResult result;
  if (const std::optional<WineTarget>& wine = Wine()) {
    // Wine has been seen, once in thousands of runs, not to start the
    // program at all: its start.exe then prints "Application could not be
    // started, ..." and ends with exit code 1. Such a run says nothing about
    // the program (it changed no file), so it is repeated, at most twice.
    for (int attempt = 1;; ++attempt) {
      result = Execute(WineCommand(*wine, arguments), working_dir);
      if (attempt == 3 || result.exit_code != 1 ||
          !result.out.starts_with("Application could not be started")) {
        break;
      }
      std::fprintf(stderr, "note: Wine did not start %s; starting it again\n",
                   wine->program.string().c_str());
    }
    result.out = WithoutCarriageReturns(result.out);
    result.err = WithoutCarriageReturns(result.err);
  } else {
    std::vector<std::string> argv_texts = {KESTRELON_BINARY};
    if (drive_root == DriveRootOption::kGiven) {
      argv_texts.push_back("--drive-root=" + root.string());
    }
    argv_texts.insert(argv_texts.end(), arguments.begin(), arguments.end());
    result = Execute(argv_texts, working_dir);
  }
  // What PRTG reads is always exactly one document, whatever else the case
  // checks.
  if (result.exit_code >= 0 && !result.timed_out && PrintsForPrtg(arguments)) {
    EXPECT_TRUE(IsOneXmlDocument(result.out)) << "exit code " << result.exit_code;
  }
  return result;
}

/// Reads each file of `left_paths` in the tree at `root` into `left`; a file
/// that is not there has no entry.
void ReadLeftFiles(const fs::path& root, const std::vector<std::string>& left_paths,
                   std::map<std::string, std::string>& left) {
  left.clear();
  for (const std::string& path : left_paths) {
    std::error_code ignored;
    if (!fs::is_regular_file(root / path, ignored)) continue;
    if (std::optional<std::string> bytes = WholeFile(root / path)) left[path] = *bytes;
  }
}

/// Runs the program in a fresh tree; then reads `left_paths` into `left`
/// when it is given.
ProgramResult RunInTree(const std::vector<HostFile>& files,
                        const std::vector<std::string>& arguments,
                        DriveRootOption drive_root,
                        const std::vector<std::string>& left_paths,
                        std::map<std::string, std::string>* left,
                        const TreePreparation* prepare = nullptr) {
  TemporaryTree tree;
  if (!tree.ok()) {
    ADD_FAILURE() << "cannot create a temporary directory";
    return {};
  }
  const fs::path root = tree.top() / "root";
  if (!LayOutTree(root, files)) return {};
  if (prepare != nullptr && !(*prepare)(root)) {
    ADD_FAILURE() << "cannot prepare the drive tree";
    return {};
  }
  std::optional<WineDrives> drives;
  if (!DrivesReady(root, drives)) return {};
  ProgramResult result = RunInLaidOutTree(root, arguments, drive_root);
  if (left != nullptr) ReadLeftFiles(root, left_paths, *left);
  return result;
}

}  // namespace

bool RunsWindowsProgram() { return Wine().has_value(); }

std::string ProgramPathSeenByProgram() {
  if (!Wine()) return KESTRELON_BINARY;
  // Wine hands a program started by its host path its path on drive Z,
  // which is the host's root.
  std::string path = "Z:" + Wine()->program.string();
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

ProgramResult RunProgram(const std::vector<HostFile>& files,
                         const std::vector<std::string>& arguments,
                         DriveRootOption drive_root) {
  return RunInTree(files, arguments, drive_root, {}, nullptr);
}

ProgramResult RunProgramKeepingFiles(const std::vector<HostFile>& files,
                                     const std::vector<std::string>& arguments,
                                     const std::vector<std::string>& left_paths,
                                     std::map<std::string, std::string>* left) {
  return RunInTree(files, arguments, DriveRootOption::kGiven, left_paths, left);
}

ProgramResult RunProgramInPreparedTree(const std::vector<HostFile>& files,
                                       const TreePreparation& prepare,
                                       const std::vector<std::string>& arguments,
                                       const std::vector<std::string>& left_paths,
                                       std::map<std::string, std::string>* left) {
  return RunInTree(files, arguments, DriveRootOption::kGiven, left_paths, left, &prepare);
}

struct SharedTree::Parts {
  TemporaryTree tree;
  fs::path root;
  std::optional<WineDrives> drives;
  bool ok = false;
};

SharedTree::SharedTree(const std::vector<HostFile>& files) : parts_(std::make_unique<Parts>()) {
  if (!parts_->tree.ok()) {
    ADD_FAILURE() << "cannot create a temporary directory";
    return;
  }
  parts_->root = parts_->tree.top() / "root";
  parts_->ok = LayOutTree(parts_->root, files) && DrivesReady(parts_->root, parts_->drives);
}

SharedTree::~SharedTree() = default;

bool SharedTree::ok() const { return parts_->ok; }

const fs::path& SharedTree::root() const { return parts_->root; }

std::vector<ProgramResult> SharedTree::RunTogether(
    const std::vector<std::vector<std::string>>& runs) const {
  std::vector<ProgramResult> results(runs.size());
  if (!ok()) return results;
  // Every thread waits at the latch until all have been made, so the
  // programs start as close together as the machine allows.
  std::latch start(static_cast<std::ptrdiff_t>(runs.size()));
  std::vector<std::thread> threads;
  threads.reserve(runs.size());
  for (std::size_t i = 0; i < runs.size(); ++i) {
    threads.emplace_back([&, i] {
      start.arrive_and_wait();
      results[i] = RunInLaidOutTree(parts_->root, runs[i], DriveRootOption::kGiven);
    });
  }
  for (std::thread& thread : threads) thread.join();
  return results;
}
