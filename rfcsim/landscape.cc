#include "rfcsim/landscape.h"

#include <charconv>
#include <vector>

#include "rfcsim/dictionary.h"
#include "rfcsim/records.h"
#include "rfcsim/sim_text.h"

namespace rfcsim {
namespace {

std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  while (true) {
    text = Trim(text);
    if (text.empty()) return words;
    std::size_t end = text.find_first_of(" \t");
    words.push_back(text.substr(0, end));
    if (end == std::string_view::npos) return words;
    text.remove_prefix(end);
  }
}

bool ParseInt(std::string_view text, int low, int high, int* value) {
  const char* end = text.data() + text.size();
  auto [stop, problem] = std::from_chars(text.data(), end, *value);
  return problem == std::errc() && stop == end && !text.empty() && *value >= low && *value <= high;
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// One "key = value" line. A value that begins with "|" is taken verbatim
// from the character after it to the end of the line.
struct Setting {
  std::string_view key;
  std::string_view value;
  bool verbatim = false;
};

class Parser {
 public:
  explicit Parser(Landscape* landscape) : landscape_(landscape) {}

  bool Parse(std::string_view text, std::string* error) {
    int line_number = 0;
    while (!text.empty()) {
      ++line_number;
      std::size_t end = text.find('\n');
      std::string_view line = text.substr(0, end);
      text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      if (!ParseLine(line)) {
        *error = "line " + std::to_string(line_number) + ": " + problem_;
        return false;
      }
    }
    if (!FinishSystem()) {
      *error = "line " + std::to_string(line_number) + ": " + problem_;
      return false;
    }
    return true;
  }

 private:
  bool Fail(std::string problem) {
    problem_ = std::move(problem);
    return false;
  }

  bool ParseLine(std::string_view line) {
    std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == '#') return true;
    if (trimmed.front() == '[') return StartSystem(trimmed);
    std::size_t equals = line.find('=');
    if (equals == std::string_view::npos)
      return Fail("expected \"key = value\" or \"[system SID]\"");
    Setting setting;
    setting.key = Trim(line.substr(0, equals));
    std::string_view value = line.substr(equals + 1);
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
      value.remove_prefix(1);
    if (!value.empty() && value.front() == '|') {
      setting.value = value.substr(1);
      setting.verbatim = true;
    } else {
      setting.value = Trim(value);
    }
    if (setting.key.empty()) return Fail("a key is missing before \"=\"");
    return system_ ? SystemSetting(setting) : TopLevelSetting(setting);
  }

  bool StartSystem(std::string_view header) {
    constexpr std::string_view kPrefix = "[system ";
    if (header.substr(0, kPrefix.size()) != kPrefix || header.back() != ']') {
      return Fail("expected \"[system SID]\"");
    }
    std::string_view sid = Trim(header.substr(kPrefix.size(), header.size() - kPrefix.size() - 1));
    if (sid.empty() || sid.find_first_of(" \t") != std::string_view::npos) {
      return Fail("a system name is one word");
    }
    if (!FinishSystem()) return false;
    for (const SystemConfig& system : landscape_->systems) {
      if (system.sid == sid) return Fail("system " + std::string(sid) + " is described twice");
    }
    landscape_->systems.emplace_back();
    system_ = &landscape_->systems.back();
    system_->sid = std::string(sid);
    return true;
  }

  // Checks the system just described: it must be reachable by one way and
  // have a logon, and no other system may be reached the same way.
  bool FinishSystem() {
    if (!system_) return true;
    const SystemConfig& system = *system_;
    const std::string where = "system " + system.sid + ": ";
    bool by_host = !system.host.empty() && system.sysnr >= 0;
    bool by_gateway = !system.gateway_host.empty() && !system.gateway_service.empty();
    if (!by_host && !by_gateway) {
      return Fail(where + "give host and sysnr, or gwhost and gwservice");
    }
    if (system.client.empty() || system.user.empty() || system.password.empty()) {
      return Fail(where + "give client, user and password");
    }
    for (const SystemConfig& other : landscape_->systems) {
      if (&other == &system) continue;
      if (by_host && EqualNoCase(other.host, system.host) && other.sysnr == system.sysnr) {
        return Fail(where + "system " + other.sid + " has the same host and sysnr");
      }
      if (by_gateway && EqualNoCase(other.gateway_host, system.gateway_host) &&
          other.gateway_service == system.gateway_service) {
        return Fail(where + "system " + other.sid + " has the same gwhost and gwservice");
      }
    }
    return true;
  }

  bool OnOff(const Setting& setting, bool* value) {
    if (setting.value == "on") {
      *value = true;
    } else if (setting.value == "off") {
      *value = false;
    } else {
      return Fail(std::string(setting.key) + " is on or off");
    }
    return true;
  }

  bool Delay(const Setting& setting, int* value) {
    if (!ParseInt(setting.value, 0, 600000, value)) {
      return Fail("delay_ms is a number of milliseconds from 0 to 600000");
    }
    return true;
  }

  bool TopLevelSetting(const Setting& setting) {
    if (setting.key == "journal") return OnOff(setting, &landscape_->journal);
    if (setting.key == "delay_ms") return Delay(setting, &landscape_->delay_ms);
    struct NameList {
      std::string_view key;
      std::set<std::string, std::less<>>* names;
    };
    const NameList lists[] = {
        {"fail_install", &landscape_->fail_install},
        {"fail_itcreate", &landscape_->fail_itcreate},
        {"fail_itgetline", &landscape_->fail_itgetline},
        {"fail_itdelete", &landscape_->fail_itdelete},
    };
    for (const NameList& list : lists) {
      if (setting.key != list.key) continue;
      for (std::string_view name : Words(setting.value)) list.names->emplace(name);
      return true;
    }
    return Fail("unknown key " + Quoted(setting.key) + " before the first [system SID]");
  }

  bool SystemSetting(const Setting& setting) {
    SystemConfig& system = *system_;
    const std::string_view key = setting.key;
    std::string value(setting.value);
    struct Text {
      std::string_view key;
      std::string* value;
    };
    const Text texts[] = {
        {"host", &system.host},
        {"gwhost", &system.gateway_host},
        {"gwservice", &system.gateway_service},
        {"client", &system.client},
        {"user", &system.user},
        {"password", &system.password},
    };
    for (const Text& text : texts) {
      if (key == text.key) {
        *text.value = value;
        return true;
      }
    }
    if (key == "sysnr") {
      if (value.empty() || value.size() > 2 || !ParseInt(value, 0, 99, &system.sysnr)) {
        return Fail("sysnr is a number of one or two digits");
      }
      return true;
    }
    if (key == "open") {
      if (value == "ok") {
        system.open = OpenBehaviour::kOk;
      } else if (value == "unreachable") {
        system.open = OpenBehaviour::kUnreachable;
      } else if (value == "handler") {
        system.open = OpenBehaviour::kHandler;
      } else {
        return Fail("open is ok, unreachable or handler");
      }
      return true;
    }
    if (key == "delay_ms") {
      int delay = 0;
      if (!Delay(setting, &delay)) return false;
      system.delay_ms = delay;
      return true;
    }
    if (key == "hang") {
      if (value != "open" && value != "close" && value != "GET_CPU_ALL" &&
          value != "RFC_SYSTEM_INFO" && value != "DB02_DB4_GET_INFO") {
        return Fail("hang is open, close, GET_CPU_ALL, RFC_SYSTEM_INFO or DB02_DB4_GET_INFO");
      }
      system.hang = value;
      return true;
    }
    if (key == "cpu_rows") {
      if (!ParseInt(value, 0, 1000, &system.cpu_rows)) return Fail("cpu_rows is from 0 to 1000");
      return true;
    }
    if (key == "trace_block") return OnOff(setting, &system.trace_block);
    if (key == "trace_line") {
      system.trace_lines.push_back(value);
      return true;
    }
    if (FindFunction(key)) return FunctionOutcome(setting);
    if (std::optional<FieldDef> field = FindSettableValue(key)) {
      std::string bytes;
      std::string error;
      if (!EncodeValue(*field, setting.value, !setting.verbatim, &bytes, &error)) {
        return Fail(error);
      }
      system.values[std::string(key)] = bytes;
      return true;
    }
    return Fail("unknown key " + Quoted(key));
  }

  // ok | missing | failure CODE | exception NAME | handler,
  // then optionally "on call" or "on receive" (the default).
  bool FunctionOutcome(const Setting& setting) {
    std::vector<std::string_view> words = Words(setting.value);
    const std::string usage =
        std::string(setting.key) +
        " is ok, missing, failure CODE, exception NAME or handler, then \"on call\" or "
        "\"on receive\"";
    CallOutcome outcome;
    std::size_t used = 0;
    if (words.size() >= 1 && words[0] == "ok") {
      outcome.kind = CallOutcome::Kind::kOk;
      used = 1;
    } else if (words.size() >= 1 && words[0] == "missing") {
      outcome.kind = CallOutcome::Kind::kMissing;
      outcome.on_call = true;
      used = 1;
    } else if (words.size() >= 1 && words[0] == "handler") {
      outcome.kind = CallOutcome::Kind::kHandler;
      outcome.code = 1;
      used = 1;
    } else if (words.size() >= 2 && words[0] == "failure") {
      outcome.kind = CallOutcome::Kind::kFailure;
      if (!ParseInt(words[1], -1000000, 1000000, &outcome.code) || outcome.code == 0 ||
          outcome.code == 2) {
        return Fail(std::string(setting.key) +
                    ": a failure code is a number other than 0 and 2 (2 is \"exception NAME\")");
      }
      if (outcome.code == 3) outcome.exception = "SYSTEM_FAILURE";
      used = 2;
    } else if (words.size() >= 2 && words[0] == "exception") {
      outcome.kind = CallOutcome::Kind::kException;
      outcome.code = 2;
      outcome.exception = std::string(words[1]);
      used = 2;
    } else {
      return Fail(usage);
    }
    if (words.size() == used + 2 && words[used] == "on" &&
        (words[used + 1] == "call" || words[used + 1] == "receive")) {
      if (outcome.kind == CallOutcome::Kind::kOk || outcome.kind == CallOutcome::Kind::kMissing) {
        return Fail(std::string(setting.key) + ": \"on\" goes with failure, exception or handler");
      }
      outcome.on_call = words[used + 1] == "call";
    } else if (words.size() != used) {
      return Fail(usage);
    }
    system_->outcomes[std::string(setting.key)] = outcome;
    return true;
  }

  Landscape* landscape_;
  SystemConfig* system_ = nullptr;
  std::string problem_;
};

}  // namespace

bool ParseLandscape(std::string_view text, Landscape* landscape, std::string* error) {
  *landscape = Landscape();
  Parser parser(landscape);
  return parser.Parse(text, error);
}

}  // namespace rfcsim
