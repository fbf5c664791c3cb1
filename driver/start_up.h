// Start-up: the command line read into the run's texts and flags, the
// profile file name derived, and the kind of run decided; and ErrorExit, the
// driver's one way to end a run on a fatal error.
//
// Command line: [--OPTION ...] PROFILE [PARAMETERS [MORE]]. Options come
// first, each beginning with "--"; the first argument that does not begin
// with "--" ends them, so PROFILE is always argument 1 of what follows.
#ifndef KESTRELON_DRIVER_START_UP_H_
#define KESTRELON_DRIVER_START_UP_H_

#include <cstdio>
#include <string_view>

#include "base/outcome.h"
#include "driver/run_texts.h"
#include "output/output_document.h"

/// Writes the error document with `message`, prints it on `out` and ends
/// the run with exit code 2.
Outcome ErrorExit(Output& output, std::FILE* out, std::string_view message);

/// Reads the options and the command line into `run` and `output.mode`.
/// Ends the run after --help or --version (exit 0) and on every command-line
/// fault (error document, exit 2).
Outcome StartUp(int argc, const char* const* argv, RunTexts& run, Output& output,
                std::FILE* out);

/// The start report of a multi-system run: with the console report the
/// header and executing lines, then the opening of the document.
void PrintStartReport(const RunTexts& run, Output& output, std::FILE* out);

/// The usage text printed by --help.
std::string_view UsageText();

#endif  // KESTRELON_DRIVER_START_UP_H_
