// kestrelon-passwd: writes the stored form of a profile password.
//
// Reads one clear password from standard input (never from the command line,
// so it stays out of shell histories and process lists), and prints the
// 24-character stored form for the "Password...:" line of a system profile,
// made with the key of this build. A new random filler each run gives a new
// form for the same password; every one of them decodes to it.
//
// From a pipe or a file it reads one line and prints no prompt. On a terminal
// it asks on standard error ("Password: ", then "Password again: ") with the
// echo of the terminal turned off, and refuses two answers that differ. The
// terminal's own mode comes back when the tool ends, also when it refuses and
// when it is ended by Ctrl+C, SIGTERM, SIGHUP or SIGQUIT while it waits.
// Either way it reads at most one short line per answer: 64 bytes and the line
// end (LF or CR LF); a longer line is refused without reading the rest.
//
// Exit codes: 0 with the stored form on standard output; 2 when the password
// is refused or the command line is wrong, with the reason on standard error.

#include <cstdint>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <string_view>

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <termios.h>
#include <unistd.h>
#endif

#include "profile/password.h"

namespace {

constexpr std::string_view kUsage =
    "usage: kestrelon-passwd [--help]\n"
    "Reads one password from standard input and prints its stored form for\n"
    "the \"Password...:\" line of a system profile.\n"
    "On a terminal it asks twice, without echo; from a pipe or a file it reads\n"
    "one line of at most 64 bytes and prints no prompt.\n"
    "The password has 2 to 9 printable ASCII characters; blanks are allowed\n"
    "inside it, not at its start or end.\n"
    "Example: kestrelon-passwd < password.txt\n";

/// The profile reader refuses an empty password (Error 1007) and one of a
/// single character (Error 1003), so neither is written.
constexpr std::size_t kMinPasswordLength = 2;

/// The most bytes of one answer read before its line end. Far above what the
/// encoder takes, so a password that is too long gets the encoder's reason.
constexpr std::size_t kMaxLineBytes = 64;

#ifdef _WIN32

/// The console input and the mode to put back; the Ctrl+C handler runs on a
/// thread of its own and can reach them only here. Set before the handler is
/// added and left alone until after it is removed.
HANDLE restore_console = nullptr;
DWORD restore_console_mode = 0;

BOOL WINAPI RestoreConsoleOnBreak(DWORD) {
  SetConsoleMode(restore_console, restore_console_mode);
  return FALSE;  // the next handler, the default one, ends the process
}

/// Turns off the echo of the console input while it lives; puts the console's
/// own mode back when it goes, and on Ctrl+C, Ctrl+Break or a closed window.
class EchoOff {
 public:
  static bool InputIsTerminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
  }

  EchoOff() {
    restore_console = GetStdHandle(STD_INPUT_HANDLE);
    if (!GetConsoleMode(restore_console, &restore_console_mode)) return;
    saved_ = SetConsoleCtrlHandler(RestoreConsoleOnBreak, TRUE) != 0;
    active_ = SetConsoleMode(restore_console,
                             restore_console_mode & ~ENABLE_ECHO_INPUT) != 0;
  }
  ~EchoOff() {
    if (active_) {
      // Typed ahead without echo, perhaps the rest of a refused answer: not
      // left for the next program to read.
      FlushConsoleInputBuffer(restore_console);
      SetConsoleMode(restore_console, restore_console_mode);
    }
    if (saved_) SetConsoleCtrlHandler(RestoreConsoleOnBreak, FALSE);
  }
  EchoOff(const EchoOff&) = delete;
  EchoOff& operator=(const EchoOff&) = delete;

 private:
  bool saved_ = false;   // the mode is known and the handler is added
  bool active_ = false;  // the echo is off
};

#else

/// The terminal's own mode, for the signal handler, which can reach it only
/// here. Set before the handlers are installed, not changed while they are.
termios restore_terminal_mode;

/// The signals that end the tool while it waits for an answer.
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

void RestoreTerminalAndEnd(int signal_number) {
  tcsetattr(STDIN_FILENO, TCSAFLUSH, &restore_terminal_mode);
  // SA_RESETHAND made the action the default again, so the signal ends the
  // process: at once, or as soon as this returns if it is blocked meanwhile.
  raise(signal_number);
}

/// Turns off the echo of the terminal on standard input while it lives (line
/// editing stays on); puts the terminal's own mode back when it goes, and
/// when one of kEndingSignals ends the process first.
class EchoOff {
 public:
  static bool InputIsTerminal() { return isatty(STDIN_FILENO) == 1; }

  EchoOff() {
    if (tcgetattr(STDIN_FILENO, &restore_terminal_mode) != 0) return;
    saved_ = true;
    struct sigaction action {};
    action.sa_handler = RestoreTerminalAndEnd;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
      sigaction(kEndingSignals[i], &action, &before_[i]);
      // A signal ignored from the start (nohup) stays ignored.
      if (before_[i].sa_handler == SIG_IGN) {
        sigaction(kEndingSignals[i], &before_[i], nullptr);
      }
    }
    termios quiet = restore_terminal_mode;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    active_ = tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
  }
  ~EchoOff() {
    if (!saved_) return;
    if (active_) {
      // TCSAFLUSH drops what was typed ahead without echo, perhaps the rest
      // of a refused answer, rather than leave it to the shell.
      tcsetattr(STDIN_FILENO, TCSAFLUSH, &restore_terminal_mode);
    }
    for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
      sigaction(kEndingSignals[i], &before_[i], nullptr);
    }
  }
  EchoOff(const EchoOff&) = delete;
  EchoOff& operator=(const EchoOff&) = delete;

 private:
  bool saved_ = false;   // the mode is known and the handlers are installed
  bool active_ = false;  // the echo is off
  struct sigaction before_[std::size(kEndingSignals)] {};
};

#endif

/// Reads one answer from `in`: the bytes up to the first LF, or up to the end
/// of the input, without one CR at their end. Takes no more than
/// kMaxLineBytes + 2 bytes from `in` (whose buffer reads one block of the
/// input at most). Nullopt, with the reason in `why`, for an input
/// that ends before its first byte, a longer line, and one that is too short
/// for the profile reader.
std::optional<std::string> ReadAnswer(std::FILE* in, std::string& why) {
  std::string line;
  int c = 0;
  while ((c = std::getc(in)) != EOF && c != '\n') {
    line.push_back(static_cast<char>(c));
    const bool room_for_cr = line.size() == kMaxLineBytes + 1 && c == '\r';
    if (line.size() > kMaxLineBytes && !room_for_cr) {
      why = "the line is longer than 64 bytes; the password has at most 9 "
            "characters";
      return std::nullopt;
    }
  }
  if (c == EOF && line.empty()) {
    why = "no password on standard input";
    return std::nullopt;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (line.size() < kMinPasswordLength) {
    why = "the password has fewer than 2 characters; the profile reader "
          "needs at least 2";
    return std::nullopt;
  }
  return line;
}

/// Shows `prompt` on standard error and reads the answer; the user's Enter
/// was not echoed, so a line end follows on standard error.
std::optional<std::string> AskOnTerminal(std::string_view prompt,
                                         std::string& why) {
  std::cerr << prompt << std::flush;
  std::optional<std::string> answer = ReadAnswer(stdin, why);
  std::cerr << "\n";
  return answer;
}

/// The clear password: one line from a pipe or a file; on a terminal the
/// answer to two prompts without echo, which must agree.
std::optional<std::string> ReadPassword(std::string& why) {
  if (!EchoOff::InputIsTerminal()) return ReadAnswer(stdin, why);
  const EchoOff echo_off;
  std::optional<std::string> first = AskOnTerminal("Password: ", why);
  if (!first) return std::nullopt;
  std::optional<std::string> again = AskOnTerminal("Password again: ", why);
  if (!again) return std::nullopt;
  if (*again != *first) {
    why = "the passwords do not match";
    return std::nullopt;
  }
  return first;
}

int Refuse(std::string_view reason) {
  std::cerr << "kestrelon-passwd: " << reason << "\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::string_view(argv[1]) == "--help") {
    std::cout << kUsage;
    return 0;
  }
  if (argc != 1) {
    // The argument is not echoed: it may be a password typed by mistake.
    std::cerr << "kestrelon-passwd: unknown argument; the password is read "
                 "from standard input\n"
              << kUsage;
    return 2;
  }

  std::string why;
  const std::optional<std::string> clear = ReadPassword(why);
  if (!clear) return Refuse(why);

  std::random_device entropy;
  const std::uint32_t seed = entropy();
  const std::optional<std::string> stored =
      EncodeProfilePassword(*clear, AssemblePasswordKey(), seed, &why);
  if (!stored) return Refuse(why);
  std::cout << *stored << "\n";
  std::cout.flush();
  return std::cout ? 0 : 2;
}
