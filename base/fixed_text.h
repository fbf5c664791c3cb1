// FixedText: a zero-terminated text field of a fixed number of bytes.
//
// The program keeps its texts in fields whose widths are part of its
// interface (a profile name of 64 bytes, an output buffer of 4096). This type
// is the only way to fill such a field: every write either refuses input that
// does not fit (Assign, Append return false and leave the field unchanged) or
// cuts it explicitly (AssignCut, AppendCut). The field is always terminated.
#ifndef KESTRELON_BASE_FIXED_TEXT_H_
#define KESTRELON_BASE_FIXED_TEXT_H_

#include <array>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

template <std::size_t Width>
class FixedText {
  static_assert(Width >= 1, "a field needs room for its terminator");

 public:
  /// The most characters the field holds: its width less the terminator.
  static constexpr std::size_t kCapacity = Width - 1;

  FixedText() { bytes_[0] = '\0'; }
  explicit FixedText(std::string_view text) {
    bytes_[0] = '\0';
    AssignCut(text);
  }

  /// Replaces the text. Refuses (returns false, field unchanged) when the text
  /// is longer than kCapacity.
  [[nodiscard]] bool Assign(std::string_view text) {
    if (text.size() > kCapacity) return false;
    Store(0, text);
    return true;
  }
  /// Replaces the text with at most its first kCapacity characters.
  void AssignCut(std::string_view text) { Store(0, text.substr(0, kCapacity)); }

  /// Appends the text. Refuses (returns false, field unchanged) when the
  /// result would be longer than kCapacity.
  [[nodiscard]] bool Append(std::string_view text) {
    if (text.size() > kCapacity - length_) return false;
    Store(length_, text);
    return true;
  }
  /// Appends as much of the text as fits.
  void AppendCut(std::string_view text) {
    Store(length_, text.substr(0, kCapacity - length_));
  }

  /// Keeps the first `length` characters (no effect when already shorter).
  void Truncate(std::size_t length) {
    if (length < length_) {
      length_ = length;
      bytes_[length_] = '\0';
    }
  }
  void Clear() { Truncate(0); }

  std::string_view view() const { return {bytes_.data(), length_}; }
  std::string str() const { return std::string(view()); }
  const char* c_str() const { return bytes_.data(); }
  std::size_t size() const { return length_; }
  bool empty() const { return length_ == 0; }
  char& operator[](std::size_t i) { return bytes_[i]; }
  char operator[](std::size_t i) const { return bytes_[i]; }

  friend bool operator==(const FixedText& a, std::string_view b) {
    return a.view() == b;
  }

 private:
  void Store(std::size_t at, std::string_view text) {
    // An empty view may carry a null pointer, which memmove must not see.
    if (!text.empty()) std::memmove(bytes_.data() + at, text.data(), text.size());
    length_ = at + text.size();
    bytes_[length_] = '\0';
  }

  std::array<char, Width> bytes_;
  std::size_t length_ = 0;
};

#endif  // KESTRELON_BASE_FIXED_TEXT_H_
