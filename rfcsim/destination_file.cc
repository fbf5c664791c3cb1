#include "rfcsim/destination_file.h"

#include <charconv>

#include "rfcsim/sim_text.h"

namespace rfcsim {

std::optional<Destination> FindDestination(std::string_view file_text, std::string_view name) {
  std::optional<Destination> found;
  bool in_entry = false;
  while (!file_text.empty()) {
    std::size_t end = file_text.find('\n');
    std::string_view line = file_text.substr(0, end);
    file_text.remove_prefix(end == std::string_view::npos ? file_text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    line = Trim(line);
    if (line.empty() || line.front() == '*' || line.front() == '#') continue;
    std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    std::string_view key = Trim(line.substr(0, equals));
    std::string_view value = Trim(line.substr(equals + 1));
    if (EqualNoCase(key, "DEST")) {
      if (found) return found;  // the entry of `name` has ended
      in_entry = EqualNoCase(value, name);
      if (in_entry) found.emplace();
      continue;
    }
    if (!in_entry) continue;
    Destination& destination = *found;
    if (EqualNoCase(key, "ASHOST")) {
      destination.host = std::string(value);
    } else if (EqualNoCase(key, "SYSNR")) {
      int sysnr = 0;
      const char* stop = value.data() + value.size();
      auto [at, problem] = std::from_chars(value.data(), stop, sysnr);
      if (problem == std::errc() && at == stop && !value.empty() && value.size() <= 2) {
        destination.sysnr = sysnr;
      }
    } else if (EqualNoCase(key, "GWHOST")) {
      destination.gateway_host = std::string(value);
    } else if (EqualNoCase(key, "GWSERV")) {
      destination.gateway_service = std::string(value);
    }
  }
  return found;
}

}  // namespace rfcsim
