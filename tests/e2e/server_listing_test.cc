// Faults of the global server listing, the sensor allocation and the item
// file. The listing lies in the standard PRTG directory; the sensor name is
// PRD unless a case says otherwise.
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/e2e/expected_output.h"
#include "tests/e2e/program_run.h"
#include "tests/e2e/sample_files.h"

namespace {

const std::string kGlobalFile = std::string(kProgramFilesDir) + "SAP Quadrant.Gbl";
const std::string kItemFile = std::string(kProgramFilesDir) + "Quadrant.Prf";
const std::string kSensor(kSensorItem);

/// A valid allocation line for `sensor` with the item "N".
std::string Allocation(std::string_view sensor) {
  return AllocationLine(sensor, kSensor + ",Item=N") + "\n";
}
std::string Listing(std::string_view sensor, std::string_view text) {
  return ListingLine(sensor, text) + "\n";
}

const std::string kNoListing = "Error 1025: Global Server Listing missing...";
const std::string kNoItem = "Error 1026: Global Item Idenification missing...";
const std::string kBadAllocation = "Error 1029: Invalid Sensor-Allocation...";
const std::string kPrdNotFound = "Error 1030: Global Sensor PRD not found...";
const std::string kTooLong = "Error 1108: Global Server Listing too long...";

TEST(ServerListing, FaultsEndTheRunWithTheirMessage) {
  int names = 0;
  static const std::string listing_2048 = ListingOfLength(2048, &names);
  static const struct {
    const char* name;
    std::vector<HostFile> files;
    std::vector<std::string> args;
    std::string message;
  } kCases[] = {
      {"allocation without listing lines",
       {{kGlobalFile, Allocation("PRD")}}, {"global", "PRD"}, kNoListing},
      {"listing line of 20 characters adds nothing",
       {{kGlobalFile, Allocation("PRD") + Listing("PRD", "")}}, {"global", "PRD"},
       kNoListing},
      {"listing only for another sensor",
       {{kGlobalFile, Listing("QAS", "Q.P00#") + Allocation("PRD")}},
       {"global", "PRD"}, kNoListing},
      {"allocation without Item=",
       {{kGlobalFile, Listing("PRD", "A.P00#") + AllocationLine("PRD", kSensor) + "\n"}},
       {"global", "PRD"}, kNoItem},
      {"item keyword in other letter case",
       {{kGlobalFile,
         Listing("PRD", "A.P00#") + AllocationLine("PRD", kSensor + ",item=N") + "\n"}},
       {"global", "PRD"}, kNoItem},
      {"required item in other letter case",
       {{kGlobalFile, Listing("PRD", "A.P00#") +
                          AllocationLine("PRD", "Sensor=\"SAP KESTRELON\",Item=N") +
                          "\n"}},
       {"global", "PRD"}, kBadAllocation},
      {"required item without quotes",
       {{kGlobalFile, Listing("PRD", "A.P00#") +
                          AllocationLine("PRD", "Sensor=SAP Kestrelon,Item=N") + "\n"}},
       {"global", "PRD"}, kBadAllocation},
      {"allocation line of 18 characters",
       {{kGlobalFile, "# GSNX: PRODUCTION\n" + Listing("PRODUCTION", "A.P00#")}},
       {"global", "PRODUCTION"}, kBadAllocation},
      {"second allocation line invalid",
       {{kGlobalFile, Allocation("PRD") + Listing("PRD", "A.P00#") +
                          AllocationLine("PRD", "Item=N") + "\n"}},
       {"global", "PRD"}, kBadAllocation},
      {"invalid allocation reported before the missing listing",
       {{kGlobalFile, AllocationLine("PRD", "Item=N") + "\n"}}, {"global", "PRD"},
       kBadAllocation},
      {"no allocation line, reported before the missing listing",
       {{kGlobalFile, Listing("QAS", "Q.P00#") + Allocation("QAS")}},
       {"global", "PRD"}, kPrdNotFound},
      {"listing lines without an allocation line",
       {{kGlobalFile, Listing("PRD", "A.P00#")}}, {"global", "PRD"}, kPrdNotFound},
      {"allocation only for a longer name",
       {{kGlobalFile, Listing("PRD", "A.P00#") + Allocation("PRDX")}},
       {"global", "PRD"}, kPrdNotFound},
      {"argument 2 absent",
       {{kGlobalFile, Listing("PRD", "A.P00#") + Allocation("PRD")}}, {"global"},
       "Error 1030: Global Sensor  not found..."},
      {"message names argument 2 as typed, without argument 3",
       {{kGlobalFile, Listing("QAS", "Q.P00#") + Allocation("QAS")}},
       {"global", "prd", "more"}, "Error 1030: Global Sensor prd not found..."},
      {"allocation parameters of 128 characters",
       {{kGlobalFile, Listing("PRD", "A.P00#") +
                          AllocationLine("PRD", kSensor + ",Item=N," +
                                                    std::string(98, 'p')) +
                          "\n"}},
       {"global", "PRD"}, "Error 1109: Sensor-Allocation too long..."},
      {"global listing of 2048 characters",
       {{kGlobalFile, Allocation("PRD") +
                          SpreadOverLines(listing_2048, 170, [](std::string_view text) {
                            return ListingLine("PRD", text);
                          })}},
       {"global", "PRD"}, kTooLong},
      {"item listing of 2048 characters",
       {{kItemFile, SpreadOverLines(listing_2048, 170, ItemLine)}}, {"x", "ITEM=Z"},
       kTooLong},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    ExpectErrorDocument(RunProgram(c.files, c.args), c.message);
  }
}

}  // namespace
