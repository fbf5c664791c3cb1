// Fuzzes the profile location in the "EXEXML" mode: the input is the path
// file "C:\PRTG_Path.Txt"; the profile PRD.P00 lies in the standard
// custom-sensor directory of drive C and in two more directories.
#include "base/text.h"
#include "driver/profile_location.h"
#include "fuzz/fuzz_support.h"

namespace {
std::filesystem::path g_drive_root;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_drive_root = ScratchDirectory() / "drive";
  for (const char* directory : {"C/Program Files/PRTG Network Monitor/Custom Sensors/ExeXml",
                                "D/PRTG Network Monitor/Custom Sensors/ExeXml",
                                "E/Sensors/exexml"}) {
    WriteHostFile(g_drive_root / directory / "PRD.P00", "Destination: PRD\n");
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  WriteHostFile(g_drive_root / "C" / "PRTG_Path.Txt", AsText(data, size));
  RunTexts run;
  run.paths.drive_root = g_drive_root.string();
  Require(run.ProfileName.Assign("PRD.P00"));
  Output output;
  FilePtr profile;
  Outcome outcome = LocateProfile(run, output, NullStream(), profile);
  if (outcome.ended()) {
    Require(outcome.exit_code() == 2);
    RequireErrorDocument(output.OutputBuffer.view());
    return 0;
  }
  std::string_view directory = run.ProfileDir.view();
  Require(profile != nullptr && run.ProfilePath == run.ProfileDir.str() + "PRD.P00");
  Require(directory.size() >= 7 && UpperCase(directory.substr(directory.size() - 7, 6)) == "EXEXML");
  return 0;
}
