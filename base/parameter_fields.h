// The parameter texts and the item of a run, which the driver, the listing
// reader, the connection and the channel writer all read.
#ifndef KESTRELON_BASE_PARAMETER_FIELDS_H_
#define KESTRELON_BASE_PARAMETER_FIELDS_H_

#include "base/fixed_text.h"

/// A parameter text: 127 characters. `ParameterText` (as typed, or as an
/// allocation line gives it) and `ParameterKeys` (its upper-case copy) always
/// have the same length, so that a position found in the keys addresses the
/// same character in the text.
using ParameterField = FixedText<128>;
/// The item identification: 90 characters.
using ItemField = FixedText<91>;

#endif  // KESTRELON_BASE_PARAMETER_FIELDS_H_
