// The texts and flags of one run, taken from the command line at start-up
// and consulted by every later step.
//
// Start-up fills the record and the profile location completes it; from then
// on no step changes it: the runs take it as const. A global run makes its
// own copy once, with the allocation line's parameters and item in place of
// the command line's. A text shown on the console (the parameters cut for a
// report line) is a local value of the step that shows it, so the keyword
// values read later always come from the text the keys were made from.
#ifndef KESTRELON_DRIVER_RUN_TEXTS_H_
#define KESTRELON_DRIVER_RUN_TEXTS_H_

#include <string>

#include "base/fixed_text.h"
#include "base/host_files.h"
#include "base/parameter_fields.h"
#include "output/console_report.h"
/// The directory of the profile: empty or ending in a backslash.
using DirectoryField = FixedText<96>;
/// A profile's file name without directory.
using ProfileNameField = FixedText<64>;

struct RunTexts {
  // Settings from the options.
  PathMap paths;
  std::string rfc_library;  // empty: the platform's default library
  int timeout_seconds = 0;  // 0: no watchdog

  // The command line as typed.
  std::string program_path;     // the program name argument
  std::string second_argument;  // argument 2 as typed, empty if none

  std::string StartTime;  // "HH:MM:SS"
  ReportLine HeaderLine;  // the header report line, built from StartTime

  ProfileNameField ProfileName;
  DirectoryField ProfileDir;
  std::string ProfilePath;  // ProfileDir + ProfileName: at most 158 characters

  ParameterField ParameterText;
  ParameterField ParameterKeys;
  ItemField ItemId;

  bool MultiSystemRun = false;
  bool ConsoleReport = false;
};

#endif  // KESTRELON_DRIVER_RUN_TEXTS_H_
