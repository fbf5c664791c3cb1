// Console report lines: progress lines for a person who runs the program by
// hand, and the labelled lines of the RFC failure report.
//
// Each report line is built into a line area of 123 characters (a longer
// line is cut there) and printed on the same standard output as the
// document. They appear only when the parameters ask for them; the labelled
// lines of PrintLabelledLine always print.
#ifndef KESTRELON_OUTPUT_CONSOLE_REPORT_H_
#define KESTRELON_OUTPUT_CONSOLE_REPORT_H_

#include <cstdio>
#include <string>
#include <string_view>

#include "base/fixed_text.h"

inline constexpr std::string_view kProgramName = "Kestrelon";
inline constexpr std::string_view kProgramVersion = "Vers 4.3 / 29.08.22";

/// The report line area.
using ReportLine = FixedText<124>;

/// The local time of day as "HH:MM:SS".
std::string TimeText();

/// "* %s SAP %s %s": the start time, program name and version.
std::string HeaderText(std::string_view start_time);
/// "* %s %s State=Executing": the executing line of a multi-system run.
std::string ListingExecutingText(std::string_view start_time,
                                 std::string_view parameter_text);
/// "* %s %s, %s, %s, %s, %s": the system part of the processing line of a
/// single-system run and of the system line of a multi-system run.
std::string SystemText(std::string_view time, std::string_view profile_name,
                       std::string_view report_host, std::string_view destination,
                       std::string_view sysnr, std::string_view client);
/// "* %s %s - %s State=Executing": the executing line of a single-system run.
std::string SingleExecutingText(std::string_view time, std::string_view parameter_text);
/// "\n* %s SAP %s now processed...": the closing line.
std::string ClosingText(std::string_view time);

/// Builds `text` into a line area (cut at its capacity) and prints it
/// followed by a newline.
void PrintReportLine(std::string_view text, std::FILE* out);

/// Builds the system line into a line area and prints it as
/// "\n%s State=%s\n" with the state text.
void PrintSystemState(std::string_view system_text, std::string_view state, std::FILE* out);

/// Prints `indent` blanks, then the label padded with blanks to `width`
/// (a longer label whole), " : ", the value and a newline.
void PrintLabelledLine(std::string_view label, int indent, int width,
                       std::string_view value, std::FILE* out);

#endif  // KESTRELON_OUTPUT_CONSOLE_REPORT_H_
