// The files the end-to-end cases lay out: where they lie in the fake drive
// tree, system profiles with stored passwords, and the lines of the global
// server listing and the item file.
#ifndef KESTRELON_TESTS_E2E_SAMPLE_FILES_H_
#define KESTRELON_TESTS_E2E_SAMPLE_FILES_H_

#include <initializer_list>
#include <string>
#include <string_view>

// Host directories under the drive root, each ending in "/".
/// The working directory of every run: "C:\work\".
inline constexpr std::string_view kWorkDir = "C/work/";
/// The fixed PRTG custom-sensor directories on drive C, in search order.
inline constexpr std::string_view kProgrammeDir =
    "C/Programme/PRTG Network Monitor/Custom Sensors/ExeXml/";
inline constexpr std::string_view kProgramFilesDir =
    "C/Program Files/PRTG Network Monitor/Custom Sensors/ExeXml/";
inline constexpr std::string_view kProgramFilesX86Dir =
    "C/Program Files (x86)/PRTG Network Monitor/Custom Sensors/ExeXml/";
/// "C:\PRTG_Path.Txt".
inline constexpr std::string_view kPathFile = "C/PRTG_Path.Txt";

/// Labels of the system profile, exactly as they stand in a profile.
inline constexpr std::string_view kExtcompany = "Extcompany.:";
inline constexpr std::string_view kDestination = "Destination:";
inline constexpr std::string_view kClient = "Client.....:";
inline constexpr std::string_view kUser = "User.......:";
inline constexpr std::string_view kPassword = "Password...:";
inline constexpr std::string_view kLanguage = "Language...:";
inline constexpr std::string_view kMode = "Mode.......:";
inline constexpr std::string_view kHostname = "Hostname...:";
inline constexpr std::string_view kSysnr = "Sysnr......:";
inline constexpr std::string_view kGwhost = "Gwhost.....:";
inline constexpr std::string_view kGwservice = "Gwservice..:";

/// The stored form of `clear` written by the program's own encoder with the
/// key of this build. A refusal is a test failure and gives "".
std::string StoredPassword(std::string_view clear);

/// A valid stored form of `clear` with one header character changed so that
/// the header no longer decodes to four digits (proved with the decoder).
std::string StoredPasswordWithBadHeader(std::string_view clear);

/// A valid stored form of `clear` with one body character changed so that
/// the check digit no longer matches (proved with the decoder).
std::string StoredPasswordWithBadCheckDigit(std::string_view clear);

/// A profile that passes every check of the reader: all eleven labelled
/// lines, each value at least as long as its field's minimum, with the
/// password "secret" in stored form. Lines end in "\n".
std::string UsableProfile();

/// The usable profile with the value of `label` replaced by `value`.
std::string ProfileWithValue(std::string_view label, std::string_view value);

/// The usable profile with the whole line of `label` replaced by `line`.
std::string ProfileWithLine(std::string_view label, std::string_view line);

/// The usable profile without the lines of `labels`.
std::string ProfileWithout(std::initializer_list<std::string_view> labels);

/// The text with every "\n" written as "\r\n".
std::string WithCrLf(std::string_view text);

/// A line of the global server listing for `sensor`: "# GSNG: ", the name
/// blank-padded to 10 columns, two unread columns, then `text`.
std::string ListingLine(std::string_view sensor, std::string_view text);

/// An allocation line for `sensor`: "# GSNX: ", the name blank-padded to 10
/// columns, one unread column, then `text` from column 20.
std::string AllocationLine(std::string_view sensor, std::string_view text);

/// The required allocation item that binds a sensor to this program.
inline constexpr std::string_view kSensorItem = "Sensor=\"SAP Kestrelon\"";

/// A listing line of the item file: "# Gsng: ", 12 columns that are not
/// read, then `text` from column 21.
std::string ItemLine(std::string_view text);

/// Profile names, each followed by "#", that make up exactly `length`
/// characters (at least 2); `names` receives their number.
std::string ListingOfLength(std::size_t length, int* names);

/// `text` spread over listing lines of at most `width` characters each,
/// built with `line` (ListingLine for a sensor, ItemLine).
template <typename MakeLine>
std::string SpreadOverLines(std::string_view text, std::size_t width,
                            MakeLine line) {
  std::string lines;
  for (std::size_t at = 0; at < text.size(); at += width) {
    lines += line(text.substr(at, width)) + "\n";
  }
  return lines;
}

/// The usable profile naming another system: its destination, host name and
/// system number replaced.
std::string ProfileReaching(std::string_view destination, std::string_view host,
                            std::string_view sysnr);

#endif  // KESTRELON_TESTS_E2E_SAMPLE_FILES_H_
