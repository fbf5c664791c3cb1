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
#include "base/host_files.h"
#include "base/parameter_fields.h"

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

/// What reading the listing needs of the run: where the file is, and the
/// command line's texts.
struct ListingSource {
  const PathMap& paths;
  std::string_view ProfilePath;
  std::string_view ProfileName;      // "Quadrant.Prf" for an item run
  std::string_view ParameterText;    // the command line's parameters
  std::string_view ParameterKeys;    // their upper-case copy: the sensor name
  std::string_view ItemId;           // the item of an item run
  std::string_view second_argument;  // as typed, for Error 1030
};

/// What the listing hands back besides the listing itself: the parameters
/// and the item for the rest of the run. In a global run they are the
/// allocation line's; in an item run the command line's, unchanged.
struct ListingTexts {
  /// The message that ends the run; nullopt when the listing and the item
  /// are there.
  std::optional<std::string> fault;
  ParameterField ParameterText;
  ParameterField ParameterKeys;
  ItemField ItemId;
};

/// Reads the listing of a global run ("SAP Quadrant.Gbl") or an item run
/// ("Quadrant.Prf") from source.ProfilePath into `allocation`.
ListingTexts ReadServerListing(const ListingSource& source, SensorAllocation& allocation);

/// Takes the first name off the listing: the text before the first "#" (or
/// all of it when no "#" is left), removed together with its "#".
std::string TakeListingEntry(ListingField& listing);

#endif  // KESTRELON_PROFILE_SERVER_LISTING_H_
