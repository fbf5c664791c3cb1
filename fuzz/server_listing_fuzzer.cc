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
  RunTexts run;
  run.paths.drive_root = ScratchDirectory().string();
  run.second_argument = parameters;
  run.ParameterText.AssignCut(parameters);
  run.ParameterKeys.AssignCut(UpperCase(run.ParameterText.view()));
  std::size_t item = run.ParameterKeys.view().find("ITEM=");
  if (listing_file == "Quadrant.Prf" && item != std::string_view::npos) {
    run.ItemId.AssignCut(TakeItemId(run.ParameterText.view().substr(item + 5)));
  }
  Require(run.ProfileName.Assign(listing_file) && run.ProfileDir.Assign("C:\\"));
  run.ProfilePath = run.ProfileDir.str() + run.ProfileName.str();
  run.MultiSystemRun = run.ConsoleReport = true;

  SensorAllocation allocation;
  Output output;
  if (std::optional<std::string> fault = ReadServerListing(run, allocation)) {
    WriteErrorDocument(output, *fault);
    return RequireErrorDocument(output.OutputBuffer.view());
  }
  Require(!run.ItemId.empty() && run.ItemId.size() <= 90);
  Require(run.ParameterKeys == UpperCase(run.ParameterText.view()));
  PrintStartReport(run, output, NullStream());
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
