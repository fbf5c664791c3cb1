// What the fuzz targets share: a scratch directory to put their input files
// in, a stream that swallows what the routines print, and the invariants of
// the documents the program writes.
//
// Every target checks its invariants with Require, which stops the process
// with __builtin_trap, so that libFuzzer reports a broken invariant like a
// crash and keeps the input that broke it.
#ifndef KESTRELON_FUZZ_FUZZ_SUPPORT_H_
#define KESTRELON_FUZZ_FUZZ_SUPPORT_H_

#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

/// Stops the process (as a crash) when an invariant does not hold.
inline void Require(bool holds) {
  if (!holds) __builtin_trap();
}

/// Like Require, but first prints which invariant failed and the text it
/// failed on (bytes outside printable ASCII as \xHH) on standard error.
inline void RequireOf(bool holds, const char* invariant, std::string_view text) {
  if (holds) return;
  std::fprintf(stderr, "kestrelon fuzz: broken invariant: %s\n  in: ", invariant);
  for (char c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7f && byte != '\\') {
      std::fputc(byte, stderr);
    } else {
      std::fprintf(stderr, "\\x%02X", byte);
    }
  }
  std::fputc('\n', stderr);
  __builtin_trap();
}

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

/// A command line from the input: the program name, then the input split at
/// zero bytes into at most five arguments. `argv` points into `arguments`.
struct CommandLine {
  std::vector<std::string> arguments;
  std::vector<const char*> argv;
  int argc() const { return static_cast<int>(argv.size()); }
};
inline CommandLine CommandLineOf(std::string_view input) {
  CommandLine line;
  while (!input.empty() && line.arguments.size() < 5) {
    std::size_t end = input.find('\0');
    line.arguments.emplace_back(input.substr(0, end));
    input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
  }
  line.argv.push_back("kestrelon");
  for (const std::string& argument : line.arguments) line.argv.push_back(argument.c_str());
  return line;
}

/// A fresh directory of this process under the temporary directory ($TMPDIR
/// or /tmp), made at the first call and removed when the process ends
/// normally. The targets name their files by absolute paths in it, so the
/// fuzzer's own relative paths (inputs, corpus, artifacts) keep working.
inline const std::filesystem::path& ScratchDirectory() {
  // Never destroyed, so that the exit handler can still use it.
  static const std::filesystem::path& directory = *[] {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "kestrelon-fuzz-XXXXXX").string();
    Require(mkdtemp(pattern.data()) != nullptr);
    auto* made = new std::filesystem::path(pattern);
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(ScratchDirectory(), ignored);
    });
    return made;
  }();
  return directory;
}

/// Makes the scratch directory the working directory while it lives, for a
/// routine that reads a file of the working directory.
class InScratchDirectory {
 public:
  InScratchDirectory() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(ScratchDirectory());
  }
  ~InScratchDirectory() { std::filesystem::current_path(previous_); }
  InScratchDirectory(const InScratchDirectory&) = delete;
  InScratchDirectory& operator=(const InScratchDirectory&) = delete;

 private:
  std::filesystem::path previous_;
};

/// Writes `contents` to the host file `path`, creating its directories. The
/// file is overwritten in place and then cut to size: opening it with
/// truncation would make ext4 flush it to disk on every input.
inline void WriteHostFile(const std::filesystem::path& path, std::string_view contents) {
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
  int file = open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
  Require(file >= 0);
  Require(pwrite(file, contents.data(), contents.size(), 0) ==
          static_cast<ssize_t>(contents.size()));
  Require(ftruncate(file, static_cast<off_t>(contents.size())) == 0);
  close(file);
}

/// A stream for what the routines print; nothing is kept.
inline std::FILE* NullStream() {
  static std::FILE* stream = std::fopen("/dev/null", "w");
  Require(stream != nullptr);
  return stream;
}

/// "&#xHH;": how the program writes a byte of 0x80 and above.
inline bool IsByteReference(std::string_view text) {
  auto upper_hex = [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); };
  return text.size() >= 6 && text.starts_with("&#x") && upper_hex(text[3]) &&
         upper_hex(text[4]) && text[5] == ';';
}

/// True when `text` holds "<", ">" or a "&" that does not begin one of the
/// entities the program writes.
inline bool HasRawMarkup(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '<' || text[i] == '>') return true;
    if (text[i] == '&') {
      std::string_view rest = text.substr(i);
      if (!rest.starts_with("&amp;") && !rest.starts_with("&lt;") &&
          !rest.starts_with("&gt;") && !IsByteReference(rest)) {
        return true;
      }
    }
  }
  return false;
}

/// True when `text` is UTF-8 (no document the program writes declares an
/// encoding, so a parser reads it as UTF-8) and every character is one that
/// XML 1.0 allows: tab, line feed, carriage return, and from U+0020 on, less
/// the surrogates, U+FFFE and U+FFFF. PRTG's parser rejects a document with
/// any other byte.
inline bool IsXmlCharacterText(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    std::size_t length = lead < 0x80 ? 1 : lead >= 0xc2 && lead <= 0xdf ? 2
                       : lead >= 0xe0 && lead <= 0xef ? 3 : lead >= 0xf0 && lead <= 0xf4 ? 4 : 0;
    if (length == 0 || i + length > text.size()) return false;
    std::uint32_t code = length == 1 ? lead : lead & (0x7f >> length);
    for (std::size_t k = 1; k < length; ++k) {
      const unsigned char next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xc0) != 0x80) return false;
      code = code << 6 | (next & 0x3f);
    }
    const std::uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kLeast[length] || code > 0x10ffff) return false;  // overlong, too large
    if (code < 0x20 && code != '\t' && code != '\n' && code != '\r') return false;
    if ((code >= 0xd800 && code <= 0xdfff) || code == 0xfffe || code == 0xffff) return false;
    i += length;
  }
  return true;
}

/// Whether to check that documents hold only XML characters. On by default;
/// KESTRELON_FUZZ_LENIENT_XML=1 in the environment turns the check off, to
/// look past a known finding of that kind for other faults.
inline bool CheckXmlCharacters() {
  static const bool check = [] {
    const char* lenient = std::getenv("KESTRELON_FUZZ_LENIENT_XML");
    return lenient == nullptr || std::string_view(lenient) != "1";
  }();
  return check;
}

/// The error document is whole: its fixed opening and closing, a message
/// without markup between them, no zero byte that would cut it when it is
/// printed, and only characters that an XML parser accepts.
inline void RequireErrorDocument(std::string_view document) {
  constexpr std::string_view kOpening = "<Prtg>\n<Error>1</Error>\n<Text>";
  constexpr std::string_view kClosing = "</Text>\n</Prtg>\n";
  RequireOf(document.size() >= kOpening.size() + kClosing.size() &&
                document.starts_with(kOpening) && document.ends_with(kClosing),
            "the error document has its opening and closing", document);
  RequireOf(document.find('\0') == std::string_view::npos,
            "the error document holds no zero byte", document);
  RequireOf(!HasRawMarkup(document.substr(kOpening.size(),
                                          document.size() - kOpening.size() - kClosing.size())),
            "the error message holds no markup", document);
  if (CheckXmlCharacters()) {
    RequireOf(IsXmlCharacterText(document),
              "the error document holds only characters XML allows, in UTF-8", document);
  }
}

#endif  // KESTRELON_FUZZ_FUZZ_SUPPORT_H_
