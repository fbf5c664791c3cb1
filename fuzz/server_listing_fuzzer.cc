// Fuzzes the listing reader: the first input line is the parameter text of
// the command line (up to a zero byte), the rest the contents of both
// "SAP Quadrant.Gbl" (a global run) and "Quadrant.Prf" (an item run). A
// listing that is read is printed as a start report and then taken apart
// name by name.
#include "base/text.h"
#include "driver/start_up.h"
#include "fuzz/fuzz_support.h"
#include "profile/server_listing.h"

namespace {

void ReadListing(std::string_view listing_file, std::string_view parameters) {
  PathMap paths;
  paths.drive_root = ScratchDirectory().string();
  ParameterField text, keys;
  text.AssignCut(parameters);
  keys.AssignCut(UpperCase(text.view()));
  std::string item;
  std::size_t item_at = keys.view().find("ITEM=");
  if (listing_file == "Quadrant.Prf" && item_at != std::string_view::npos) {
    item = TakeItemId(text.view().substr(item_at + 5));
  }
  const std::string path = "C:\\" + std::string(listing_file);

  SensorAllocation allocation;
  Output output;
  ListingTexts listing = ReadServerListing(
      {paths, path, listing_file, text.view(), keys.view(), item, parameters}, allocation);
  if (listing.fault) {
    WriteErrorDocument(output, *listing.fault);
    return RequireErrorDocument(output.OutputBuffer.view());
  }
  Require(!listing.ItemId.empty() && listing.ItemId.size() <= 90);
  Require(listing.ParameterKeys == UpperCase(listing.ParameterText.view()));
  if (listing_file == "Quadrant.Prf") Require(listing.ParameterText == text.view());

  RunTexts run;
  run.paths = paths;
  run.ParameterText = listing.ParameterText;
  run.ParameterKeys = listing.ParameterKeys;
  run.ItemId = listing.ItemId;
  run.MultiSystemRun = run.ConsoleReport = true;
  PrintStartReport(run, output, NullStream());
  Require(run.ParameterText == listing.ParameterText.view());
  while (!allocation.ServerListing.empty()) {
    std::size_t before = allocation.ServerListing.size();
    std::string name = TakeListingEntry(allocation.ServerListing);
    Require(allocation.ServerListing.size() < before && name.find('#') == std::string::npos);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input = AsText(data, size);
  std::size_t line_end = input.find('\n');
  std::string_view parameters = input.substr(0, line_end);
  parameters = parameters.substr(0, parameters.find('\0'));  // as an argument holds it
  std::string_view contents =
      line_end == std::string_view::npos ? std::string_view() : input.substr(line_end + 1);
  WriteHostFile(ScratchDirectory() / "C" / "SAP Quadrant.Gbl", contents);
  WriteHostFile(ScratchDirectory() / "C" / "Quadrant.Prf", contents);
  ReadListing("SAP Quadrant.Gbl", parameters);
  ReadListing("Quadrant.Prf", parameters);
  return 0;
}
