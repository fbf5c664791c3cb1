// Finding the profile file named by the command line.
//
// In the "EXEXML" mode the program runs as a PRTG custom sensor: the profile
// is looked for only in PRTG's custom-sensor directory, found through the
// path file "C:\PRTG_Path.Txt" or the standard installation directories, and
// a profile outside a directory named ExeXml is refused. In the other modes,
// and with "@" in the parameters (a person testing by hand), the profile is
// taken from the directory typed on the command line, else the working
// directory.
#ifndef KESTRELON_DRIVER_PROFILE_LOCATION_H_
#define KESTRELON_DRIVER_PROFILE_LOCATION_H_

#include <cstdio>

#include "base/host_files.h"
#include "base/outcome.h"
#include "driver/run_texts.h"
#include "output/output_document.h"

/// Opens the profile as `profile_file` and sets run.ProfileDir and
/// run.ProfilePath to where it was found. Ends the run with Error 1002,
/// "Sorry, invalid Path-Usage..." or a too-long path (error document, exit 2).
Outcome LocateProfile(RunTexts& run, Output& output, std::FILE* out, FilePtr& profile_file);

#endif  // KESTRELON_DRIVER_PROFILE_LOCATION_H_
