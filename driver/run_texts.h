// The texts and flags of one run, taken from the command line at start-up
// and consulted by every later step.
#ifndef KESTRELON_DRIVER_RUN_TEXTS_H_
#define KESTRELON_DRIVER_RUN_TEXTS_H_

#include <string>

#include "base/fixed_text.h"
#include "base/host_files.h"
#include "output/console_report.h"

/// The parameter texts: 127 characters, the same for both so that a position
/// found in the upper-case copy addresses the same character in the original.
using ParameterField = FixedText<128>;
/// The item identification: 90 characters.
using ItemField = FixedText<91>;
/// The directory of the profile: empty or ending in a backslash.
using DirectoryField = FixedText<96>;
/// A profile's file name without directory.
using ProfileNameField = FixedText<64>;

struct RunTexts {
  // Settings from the options.
  PathMap paths;
  std::string rfc_library;  // empty: the platform's default library

  // The command line as typed.
  std::string program_path;     // the program name argument
  std::string second_argument;  // argument 2 as typed, empty if none

  std::string StartTime;  // "HH:MM:SS"
  ReportLine HeaderLine;

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
