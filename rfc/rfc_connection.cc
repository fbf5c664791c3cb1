#include "rfc/rfc_connection.h"

#include <filesystem>
#include <optional>
#include <string>
#include <utility>

#include "base/file_lock.h"
#include "base/text.h"

namespace {

constexpr std::string_view kConnectionFile = "SapRfc.ini";

const char* TextOrNull(const auto& text) { return text.empty() ? nullptr : text.c_str(); }

std::string Padded(std::string_view text, std::size_t width) {
  std::string padded(text);
  if (padded.size() < width) padded.resize(width, ' ');
  return padded;
}

// Fills the option texts; false when a value does not fit its text, since a
// cut host, user or password would log on somewhere else or fail obscurely.
bool FillOptionTexts(OpenOptionTexts& texts, const ConnectionParameters& profile,
                     const ConnectionContext& context) {
  std::optional<std::string> host =
      OverrideValue(context.parameter_text, context.parameter_keys, ",HOST=");
  std::optional<std::string> number =
      OverrideValue(context.parameter_text, context.parameter_keys, ",NO=");
  return texts.destination.Assign(profile.Destination.view()) &&
         texts.client.Assign(profile.Client.view()) &&
         texts.user.Assign(Padded(profile.User.view(), 12)) &&
         texts.password.Assign(Padded(profile.Password.view(), 10)) &&
         texts.language.Assign(profile.Language.view()) &&
         texts.mode.Assign(profile.Mode.view()) &&
         texts.host.Assign(host ? *host : profile.Hostname.str()) &&
         texts.system_number.Assign(number ? *number : profile.Sysnr.str()) &&
         texts.gateway_host.Assign(profile.Gwhost.view()) &&
         texts.gateway_service.Assign(profile.Gwservice.view());
}

void FillOpenRecords(RfcSession& session) {
  const OpenOptionTexts& texts = session.texts;
  bool gateway_mode = texts.mode == "R/2";
  session.gateway_options = {TextOrNull(texts.gateway_host), TextOrNull(texts.gateway_service)};
  // An empty system number text leaves the previous number in place.
  if (!texts.system_number.empty()) {
    session.server_options.system_number = SystemNumber(texts.system_number.view());
  }
  session.server_options.host = TextOrNull(texts.host);
  session.server_options.gateway_host = TextOrNull(texts.gateway_host);
  session.server_options.gateway_service = TextOrNull(texts.gateway_service);
  session.open_options = {
      texts.destination.c_str(),
      gateway_mode ? 1 : 0,
      gateway_mode ? static_cast<const void*>(&session.gateway_options)
                   : static_cast<const void*>(&session.server_options),
      texts.client.c_str(),
      texts.user.c_str(),
      texts.password.c_str(),
      texts.language.c_str(),
      0,
  };
}

// Copies the destination file into "SapRfc.ini" through a draft that
// replaces the old file only once it is complete, so the library never finds
// a half-written file. The draft's name is this run's own and the draft is
// created new, so no other run's draft, nor a file or link planted in the
// working directory, is ever written to.
bool CopyConnectionFile(std::FILE* destination_file, const PathMap& paths) {
  const std::string draft_name = DraftPath(kConnectionFile);
  // A file of that name can only be left over from an earlier process that
  // had this process id and ended before its rename: no other run drafts
  // while this one holds the lock. Removing a link removes only the link.
  RemoveHostFile(paths, draft_name);
  FilePtr draft = CreateNewForWriting(paths, draft_name);
  if (!draft) return false;
  char chunk[4096];
  std::size_t got;
  std::uint64_t copied = 0;
  bool written = true;
  while (written && (got = std::fread(chunk, 1, sizeof chunk, destination_file)) > 0) {
    // A file that grew past the bound since it was measured is not copied.
    copied += got;
    written = copied <= kMaxConnectionFileBytes &&
              std::fwrite(chunk, 1, got, draft.get()) == got;
  }
  written = std::fclose(draft.release()) == 0 && written;
  std::error_code error;
  if (written) {
    std::filesystem::rename(paths.HostPath(draft_name), paths.HostPath(kConnectionFile), error);
  }
  if (!written || error) RemoveHostFile(paths, draft_name);
  return written && !error;
}

std::string ConnectString(const ConnectionParameters& profile) {
  return "CLIENT=" + profile.Client.str() + " USER=" + profile.User.str() +
         " PASSWD=" + profile.Password.str() + " LANG=D DEST=" + profile.Destination.str();
}

// A destination file holds a few destinations: one larger than the bound
// is no destination file, and copying it would fill the disk.
bool FitsConnectionFile(std::FILE* destination_file) {
  std::optional<std::uint64_t> size = FileSize(destination_file);
  return size && *size <= kMaxConnectionFileBytes;
}

void MarkStep(const ConnectionContext& context, std::string_view step) {
  if (context.progress != nullptr) context.progress->SetStep(step);
}

// Copies the destination file into "SapRfc.ini" and opens the connection
// through it, holding the lock of "SapRfc.ini.lock" from before the copy
// until RfcOpenEx has returned: runs that start together in one working
// directory then each open through the destinations they wrote themselves.
// nullopt, and no open, when the lock is not had in time or the copy fails.
std::optional<RfcConnectionHandle> OpenThroughConnectionFile(const RfcLibrary& rfc,
                                                             FilePtr destination_file,
                                                             const ConnectionParameters& profile,
                                                             const ConnectionContext& context) {
  const PathMap& paths = context.paths;
  MarkStep(context, "SapRfc.ini");
  FileLock lock = FileLock::Take(paths, kConnectionFileLock, kConnectionFileLockWait);
  if (!lock.held() || !CopyConnectionFile(destination_file.get(), paths)) return std::nullopt;
  destination_file.reset();
  std::string connect_string = ConnectString(profile);
  // The library may write the whole extended record; the program does not
  // read it (RfcLastError tells the failure report what went wrong).
  RfcErrorInfoEx error_info{};
  MarkStep(context, "RfcOpenEx");
  return rfc.RfcOpenEx(connect_string.c_str(), &error_info);
}

}  // namespace

std::optional<std::string> OverrideValue(std::string_view parameter_text,
                                         std::string_view parameter_keys, std::string_view key) {
  std::size_t at = parameter_keys.find(key);
  if (at == std::string_view::npos) return std::nullopt;
  // Texts of different lengths would be a caller's fault; they give no value
  // rather than a value from the wrong place or a read past the end.
  if (parameter_text.size() != parameter_keys.size()) return std::string();
  std::string_view rest = parameter_text.substr(at + key.size());
  return std::string(rest.substr(0, rest.find_first_of(", ")));
}

std::int32_t SystemNumber(std::string_view text) {
  std::size_t at = text.find_first_not_of(' ');
  std::int32_t number = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    if (number > (INT32_MAX - 9) / 10) break;  // more digits than a system number has
    number = number * 10 + (text[at] - '0');
  }
  return number;
}

std::string ConnectionFileTooLarge(std::string_view file_name) {
  return "Error 1113: Destination-File " + std::string(file_name) + " too large...";
}

RfcConnectionHandle OpenRfcConnection(RfcSession& session, const ConnectionParameters& profile,
                                      const ConnectionContext& context, std::string* refusal) {
  if (!FillOptionTexts(session.texts, profile, context)) return 0;
  FillOpenRecords(session);

  const RfcLibrary& rfc = session.library;
  const std::string destination_name = "SapRfc." + profile.Destination.str();
  FilePtr destination_file = OpenForReading(context.paths, destination_name);
  if (destination_file && !FitsConnectionFile(destination_file.get())) {
    if (refusal != nullptr) *refusal = ConnectionFileTooLarge(destination_name);
    return 0;
  }
  if (!destination_file) {
    MarkStep(context, "RfcOpen");
    RfcConnectionHandle handle = rfc.RfcOpen(&session.open_options);
    WriteRunLog(session.log, context.paths, context.parameter_keys,
                static_cast<std::int32_t>(handle), "RfcOpen called", "");
    return handle;
  }
  if (context.announce_connection_file) {
    std::fprintf(context.out, "* SapRfc.Ini.......: %s<\n", profile.Destination.c_str());
  }
  std::optional<RfcConnectionHandle> handle =
      OpenThroughConnectionFile(rfc, std::move(destination_file), profile, context);
  if (!handle) return 0;
  WriteRunLog(session.log, context.paths, context.parameter_keys,
              static_cast<std::int32_t>(*handle), "RfcOpenEx called", "");
  return *handle;
}
