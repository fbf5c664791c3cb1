#include "tests/e2e/program_run.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "gtest/gtest.h"

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

/// Runs the program in a fresh tree; then reads `left_paths` into `left`
/// when it is given.
ProgramResult RunInTree(const std::vector<HostFile>& files,
                        const std::vector<std::string>& arguments,
                        DriveRootOption drive_root,
                        const std::vector<std::string>& left_paths,
                        std::map<std::string, std::string>* left) {
  TemporaryTree tree;
  if (!tree.ok()) {
    ADD_FAILURE() << "cannot create a temporary directory";
    return {};
  }
  const fs::path root = tree.top() / "root";
  const fs::path working_dir = root / "C" / "work";
  std::error_code error;
  fs::create_directories(working_dir, error);
  if (error) {
    ADD_FAILURE() << "cannot create " << working_dir << ": " << error.message();
    return {};
  }
  for (const HostFile& file : files) {
    if (!WriteHostFile(root / file.path, file.bytes)) {
      ADD_FAILURE() << "cannot write " << file.path;
      return {};
    }
  }

  std::vector<std::string> argv_texts = {KESTRELON_BINARY};
  if (drive_root == DriveRootOption::kGiven) {
    argv_texts.push_back("--drive-root=" + root.string());
  }
  argv_texts.insert(argv_texts.end(), arguments.begin(), arguments.end());
  ProgramResult result = Execute(argv_texts, working_dir);
  if (left != nullptr) {
    left->clear();
    for (const std::string& path : left_paths) {
      std::error_code ignored;
      if (!fs::is_regular_file(root / path, ignored)) continue;
      std::ifstream file(root / path, std::ios::binary);
      if (!file) continue;
      std::string bytes((std::istreambuf_iterator<char>(file)),
                        std::istreambuf_iterator<char>());
      (*left)[path] = bytes;
    }
  }
  return result;
}

}  // namespace

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
