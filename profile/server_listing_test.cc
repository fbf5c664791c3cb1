#include "profile/server_listing.h"

#include <gtest/gtest.h>

#include "base/test_files.h"
#include "base/text.h"

namespace {

// Reads `contents` as the listing file of a global run (sensor name from
// `parameters`) or an item run.
class ServerListingTest : public ::testing::Test {
 protected:
  std::optional<std::string> Read(bool item_run, std::string_view contents,
                                  std::string_view parameters, std::string_view item = "") {
    dir_.Write("C/listing", contents);
#ifdef _WIN32
    // Windows opens the path as it is: the file's own path.
    const std::string path = (dir_.path() / "C" / "listing").string();
#else
    paths_.drive_root = dir_.path().string();
    const std::string path = "C:\\listing";
#endif
    const std::string keys = UpperCase(parameters);
    ListingSource source{paths_,      path, item_run ? "Quadrant.Prf" : "SAP Quadrant.Gbl",
                         parameters,  keys, item,
                         parameters.substr(0, parameters.find(' '))};
    texts_ = ReadServerListing(source, allocation_);
    return texts_.fault;
  }

  TempDirectory dir_;
  PathMap paths_;
  ListingTexts texts_;
  SensorAllocation allocation_;
};

const std::string kAllocation =
    "# GSNX: PRD        ,CH=2,Sensor=\"SAP Kestrelon\",SYSLOG Item=Plant:North,x\n";

TEST_F(ServerListingTest, GlobalRunCollectsListingAndTakesTheAllocation) {
  std::string contents = "# GSNG: prd       xxA.P00#B.P00#\n"
                         "# GSNG: PRDX      xxX.P00#\n"
                         "# comment\n" + kAllocation +
                         "# gsng: Prd       xxC.P00#\r\n";
  ASSERT_EQ(Read(false, contents, "prd"), std::nullopt);
  EXPECT_EQ(allocation_.ServerListing.view(), "A.P00#B.P00#C.P00#");
  EXPECT_TRUE(allocation_.AllocationFound);
  EXPECT_EQ(texts_.ParameterText.view(), ",CH=2");
  EXPECT_EQ(texts_.ParameterKeys.view(), ",CH=2");
  EXPECT_EQ(texts_.ItemId.view(), "Plant North");
}

TEST_F(ServerListingTest, ALongSensorNameIsComparedOnTenColumns) {
  std::string contents = "# GSNG: ABCDEFGHIJxxA.P00#\n# GSNX: ABCDEFGHIJ " +
                         kAllocation.substr(19);
  ASSERT_EQ(Read(false, contents, "abcdefghijkl more"), std::nullopt);
  EXPECT_EQ(allocation_.ServerListing.view(), "A.P00#");
}

TEST_F(ServerListingTest, GlobalRunFaultsInTheirOrder) {
  static const struct {
    const char* name;
    std::string contents;
    const char* parameters;
    std::string message;
  } kCases[] = {
      {"no allocation line", "# GSNG: PRD       xxA.P00#\n", "PRD",
       "Error 1030: Global Sensor PRD not found..."},
      {"no sensor name", "# GSNG: PRD       xxA.P00#\n", "",
       "Error 1030: Global Sensor  not found..."},
      {"required item in other case", "# GSNX: PRD        Sensor=\"SAP KESTRELON\" Item=x\n",
       "PRD", "Error 1029: Invalid Sensor-Allocation..."},
      {"allocation line too short", "# GSNX: PRD       \n", "PRD",
       "Error 1029: Invalid Sensor-Allocation..."},
      {"no listing", kAllocation, "PRD", "Error 1025: Global Server Listing missing..."},
      {"listing line of 20 characters", "# GSNG: PRD       xx\n" + kAllocation, "PRD",
       "Error 1025: Global Server Listing missing..."},
      {"no item", "# GSNG: PRD       xxA#\n# GSNX: PRD        Sensor=\"SAP Kestrelon\"\n",
       "PRD", "Error 1026: Global Item Idenification missing..."},
      {"listing too long", std::string("# GSNG: PRD       xx") + std::string(170, 'a') + "\n" +
           [] { std::string s; for (int i = 0; i < 12; ++i) s += "# GSNG: PRD       xx" + std::string(170, 'b') + "\n"; return s; }() +
           kAllocation,
       "PRD", "Error 1108: Global Server Listing too long..."},
      {"allocation too long",
       "# GSNG: PRD       xxA#\n# GSNX: PRD        " + std::string(130, 'p') +
           ",Sensor=\"SAP Kestrelon\" Item=x\n",
       "PRD", "Error 1109: Sensor-Allocation too long..."},
  };
  for (const auto& c : kCases) {
    SensorAllocation fresh;
    allocation_ = fresh;
    EXPECT_EQ(Read(false, c.contents, c.parameters), c.message) << c.name;
  }
}

TEST_F(ServerListingTest, ItemRunCollectsOnlyExactItemLines) {
  std::string contents = "# Gsng: anything    A.P00#\n"
                         "# GSNG: PRD       xxB.P00#\n"
                         "# Gsng: other      xC.P00#\n";
  ASSERT_EQ(Read(true, contents, "ITEM=North:x", "North x"), std::nullopt);
  EXPECT_EQ(allocation_.ServerListing.view(), "A.P00#C.P00#");
  EXPECT_EQ(texts_.ParameterText.view(), "ITEM=North:x");
  EXPECT_EQ(texts_.ParameterKeys.view(), "ITEM=NORTH:X");
  EXPECT_EQ(texts_.ItemId.view(), "North x");
}

TEST_F(ServerListingTest, ItemRunWithoutListing) {
  EXPECT_EQ(Read(true, "# GSNG: x\n", "ITEM=North", "North"),
            "Error 1025: Global Server Listing missing...");
}

TEST(TakeItemIdTest, EndsAtBlankOrCommaAndHasAtMost90Characters) {
  EXPECT_EQ(TakeItemId("Plant:North,more"), "Plant North");
  EXPECT_EQ(TakeItemId("a b"), "a");
  EXPECT_EQ(TakeItemId(""), "");
  EXPECT_EQ(TakeItemId(std::string(100, 'i')), std::string(90, 'i'));
}

TEST(TakeListingEntryTest, TakesNamesInOrderAndALastNameWithoutItsHash) {
  ListingField listing;
  listing.AssignCut("A.P00#B.P00#C.P00");
  EXPECT_EQ(TakeListingEntry(listing), "A.P00");
  EXPECT_EQ(TakeListingEntry(listing), "B.P00");
  EXPECT_EQ(TakeListingEntry(listing), "C.P00");
  EXPECT_TRUE(listing.empty());
}

}  // namespace
