#include "profile/server_listing.h"

#include "base/host_files.h"
#include "base/text.h"
#include "output/console_report.h"

namespace {

// Lines of both files are read in pieces of at most 199 characters.
constexpr std::size_t kListingPiece = 199;
constexpr std::size_t kListingColumn = 21;
constexpr std::size_t kAllocationColumn = 20;
constexpr std::size_t kKeyLength = 18;
constexpr std::size_t kMaxItemId = 90;

std::string RequiredAllocationItem() {
  return "Sensor=\"SAP " + std::string(kProgramName) + "\"";
}

// What reading one file left behind.
struct ListingRead {
  bool listing_too_long = false;
  std::optional<std::string> fault;
};

// A line that matches its key and goes on beyond its piece would lose the
// names or the parameters after the piece without a word, so it is a fault.
bool KeyLineFits(const LineReader& reader, std::string_view file_name, ListingRead& read) {
  if (!reader.line_goes_on()) return true;
  read.fault = "Error 1114: Line in ProFile " + std::string(file_name) + " too long...";
  return false;
}

void AppendListingText(std::string_view line, SensorAllocation& allocation,
                       ListingRead& read) {
  if (!allocation.ServerListing.Append(FromColumn(line, kListingColumn))) {
    read.listing_too_long = true;
  }
}

ListingRead ReadItemFile(std::FILE* file, std::string_view file_name,
                         SensorAllocation& allocation) {
  ListingRead read;
  LineReader reader(file);
  std::string line;
  while (reader.ReadPiece(kListingPiece, line)) {
    if (!reader.piece_starts_line() || line.substr(0, 8) != "# Gsng: ") continue;
    if (!KeyLineFits(reader, file_name, read)) return read;
    AppendListingText(line, allocation, read);
  }
  return read;
}

// The sensor name of the listing keys: the first word of the parameters,
// padded with blanks to 10 characters; only its first 10 characters count.
std::string ListingName(std::string_view parameter_keys) {
  std::string name(CutBefore(parameter_keys, " "));
  name.resize(10, ' ');
  return name;
}

// An accepted allocation line replaces the parameters of the run.
std::optional<std::string> AcceptAllocation(std::string_view line, ListingTexts& texts,
                                            SensorAllocation& allocation) {
  allocation.AllocationText = FromColumn(line, kAllocationColumn);
  if (!Contains(allocation.AllocationText, RequiredAllocationItem())) {
    return "Error 1029: Invalid Sensor-Allocation...";
  }
  std::string parameters =
      ReplaceAll(CutBefore(allocation.AllocationText, ",Sensor="), ':', ' ');
  if (!texts.ParameterText.Assign(parameters)) return "Error 1109: Sensor-Allocation too long...";
  allocation.AllocationFound = true;
  return std::nullopt;
}

ListingRead ReadGlobalFile(std::FILE* file, const ListingSource& source, ListingTexts& texts,
                           SensorAllocation& allocation) {
  ListingRead read;
  std::string name = ListingName(source.ParameterKeys);
  std::string listing_key = "# GSNG: " + name;
  std::string allocation_key = "# GSNX: " + name;
  LineReader reader(file);
  std::string line;
  while (reader.ReadPiece(kListingPiece, line)) {
    if (!reader.piece_starts_line()) continue;
    std::string key = UpperCase(line.substr(0, kKeyLength));
    if ((key == listing_key || key == allocation_key) &&
        !KeyLineFits(reader, source.ProfileName, read)) {
      return read;
    }
    if (key == listing_key) AppendListingText(line, allocation, read);
    if (key == allocation_key) {
      read.fault = AcceptAllocation(line, texts, allocation);
      if (read.fault) return read;
    }
  }
  return read;
}

std::optional<std::string> ReadGlobalListing(const ListingSource& source, ListingTexts& texts,
                                             SensorAllocation& allocation, ListingRead& read) {
  FilePtr file = OpenForReading(source.paths, source.ProfilePath);
  if (!file) return "Error 10x1: ProFile " + std::string(source.ProfileName) + " is missing...";
  allocation.AllocationFound = false;
  texts.ItemId.Clear();
  read = ReadGlobalFile(file.get(), source, texts, allocation);
  file.reset();
  if (read.fault) return read.fault;

  std::size_t item = allocation.AllocationText.find("Item=");
  if (item != std::string::npos) {
    texts.ItemId.AssignCut(
        TakeItemId(std::string_view(allocation.AllocationText).substr(item + 5)));
  }
  if (!allocation.AllocationFound) {
    return "Error 1030: Global Sensor " + std::string(source.second_argument) + " not found...";
  }
  return std::nullopt;
}

std::optional<std::string> ReadListing(const ListingSource& source, ListingTexts& texts,
                                       SensorAllocation& allocation) {
  allocation.ServerListing.Clear();
  ListingRead read;
  if (source.ProfileName == "Quadrant.Prf") {
    FilePtr file = OpenForReading(source.paths, source.ProfilePath);
    if (!file) return "Error 1024: ProFile " + std::string(source.ProfileName) + " is missing...";
    read = ReadItemFile(file.get(), source.ProfileName, allocation);
    if (read.fault) return read.fault;
  } else {
    std::optional<std::string> fault = ReadGlobalListing(source, texts, allocation, read);
    if (fault) return fault;
  }
  if (read.listing_too_long) return "Error 1108: Global Server Listing too long...";
  if (allocation.ServerListing.empty()) return "Error 1025: Global Server Listing missing...";
  if (texts.ItemId.empty()) return "Error 1026: Global Item Idenification missing...";
  return std::nullopt;
}

}  // namespace

std::string TakeItemId(std::string_view text) {
  std::string_view item = text.substr(0, text.find_first_of(" ,"));
  return ReplaceAll(item.substr(0, kMaxItemId), ':', ' ');
}

ListingTexts ReadServerListing(const ListingSource& source, SensorAllocation& allocation) {
  ListingTexts texts;
  texts.ParameterText.AssignCut(source.ParameterText);
  texts.ItemId.AssignCut(source.ItemId);
  texts.fault = ReadListing(source, texts, allocation);
  texts.ParameterKeys.AssignCut(UpperCase(texts.ParameterText.view()));
  return texts;
}

std::string TakeListingEntry(ListingField& listing) {
  std::string rest(listing.view());
  std::size_t end = rest.find('#');
  std::string name = rest.substr(0, end);
  listing.AssignCut(end == std::string::npos ? std::string_view() : std::string_view(rest).substr(end + 1));
  return name;
}
