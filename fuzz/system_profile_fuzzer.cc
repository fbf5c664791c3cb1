// Fuzzes the system profile reader: the input is a profile, read by the
// strict variant and then by the listed one over what the strict one left
// (as a listing's systems share one record).
#include "fuzz/fuzz_support.h"
#include "output/output_document.h"
#include "profile/system_profile.h"

namespace {

constexpr std::string_view kProfile = "C:\\FUZ.P00";

// A usable profile has a user and a clear password of at most nine characters.
void RequireUsable(const ConnectionParameters& parameters) {
  Require(!parameters.User.empty() && !parameters.Password.empty());
  Require(parameters.Password.size() <= kMaxPasswordLength);
  Require(parameters.Destination.size() >= 3 && parameters.Client.size() >= 3);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const PasswordKey key = AssemblePasswordKey();
  static const PathMap paths{ScratchDirectory().string()};
  WriteHostFile(paths.HostPath(kProfile), AsText(data, size));

  ConnectionParameters parameters;
  FilePtr file = OpenForReading(paths, kProfile);
  Require(file != nullptr);
  std::optional<std::string> fault =
      ReadSystemProfile(std::move(file), ProfileReader::kStrict, "FUZ.P00", key, parameters);
  if (fault) {
    Require(fault->starts_with("Error 100"));
    Output output;
    WriteErrorDocument(output, *fault);
    RequireErrorDocument(output.OutputBuffer.view());
  } else {
    RequireUsable(parameters);
  }

  parameters.ProfileState = kProfileUsable;
  file = OpenForReading(paths, kProfile);
  Require(file != nullptr);
  Require(!ReadSystemProfile(std::move(file), ProfileReader::kListed, "FUZ.P00", key, parameters));
  Require(parameters.ProfileState == kProfileUsable || parameters.ProfileState == kProfileUnusable);
  if (parameters.ProfileState == kProfileUsable) RequireUsable(parameters);
  return 0;
}
