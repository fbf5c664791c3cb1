// The global server listing ("SAP Quadrant.Gbl") and the item file
// ("Quadrant.Prf"): the profile names of a multi-system run, and in the
// global listing the allocation line that binds a sensor to this program and
// carries the parameters of the run.
//
// Listing line, global:  "# GSNG: " + sensor name in 10 columns + 2 unread
//                        columns, then the listing text from column 21.
// Allocation line:       "# GSNX: " + sensor name in 10 columns + 1 unread
//                        column, then the allocation text from column 20.
// Listing line, item:    "# Gsng: " + 12 unread columns, text from column 21.
// A listing text is a run of profile file names, each followed by "#".
#ifndef KESTRELON_PROFILE_SERVER_LISTING_H_
#define KESTRELON_PROFILE_SERVER_LISTING_H_

#include <optional>
#include <string>
#include <string_view>

#include "base/fixed_text.h"
#include "driver/run_texts.h"

/// The profile names still to be measured: 2047 characters.
using ListingField = FixedText<2048>;

struct SensorAllocation {
  ListingField ServerListing;
  bool AllocationFound = false;
  std::string AllocationText;
};

/// The item identification at the start of `text` (the text after "ITEM=" or
/// "Item="): up to the first blank or comma, at most 90 characters, each ":"
/// turned into a blank.
std::string TakeItemId(std::string_view text);

/// Reads the listing of a global run (run.ProfileName "SAP Quadrant.Gbl") or
/// an item run ("Quadrant.Prf") from run.ProfilePath. In a global run the
/// allocation line's parameters replace run.ParameterText and ParameterKeys
/// and its item becomes run.ItemId. Returns the error message that ends the
/// run, or nullopt when the listing and the item are there.
std::optional<std::string> ReadServerListing(RunTexts& run, SensorAllocation& allocation);

/// Takes the first name off the listing: the text before the first "#" (or
/// all of it when no "#" is left), removed together with its "#".
std::string TakeListingEntry(ListingField& listing);

#endif  // KESTRELON_PROFILE_SERVER_LISTING_H_
