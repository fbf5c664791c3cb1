// The last line of defence: no exception ever leaves main.
//
// A sensor that ends with nothing on standard output shows PRTG nothing but
// a parse error. So whatever escapes the run becomes an error document with
// "Error 1130: Internal failure: ...", inside the document a multi-system run
// has opened, and exit code 2. (Exceptions never cross the RFC library's
// frames: the error handler catches its own.)
#ifndef KESTRELON_DRIVER_RUN_GUARD_H_
#define KESTRELON_DRIVER_RUN_GUARD_H_

#include <cstdio>
#include <functional>

#include "base/outcome.h"
#include "output/output_document.h"

/// Runs `run` and answers its outcome; when it throws, ends the run with the
/// error document of the exception on `out` (nothing more when the final
/// document was already printed) and exit code 2.
Outcome RunGuarded(const std::function<Outcome()>& run, Output& output, std::FILE* out);

#endif  // KESTRELON_DRIVER_RUN_GUARD_H_
