#include "tests/e2e/landscape.h"

#include <utility>

#include "tests/e2e/expected_output.h"
#include "tests/e2e/sample_files.h"

namespace {

/// "key = value", or "key = |value" when the stand-in would otherwise drop
/// blanks at the ends of the value.
std::string SettingLine(const std::string& key, const std::string& value) {
  bool keep_blanks = value.empty() || value.front() == ' ' || value.back() == ' ';
  return key + " = " + (keep_blanks ? "|" : "") + value + "\n";
}

struct Channel {
  const char* name;
  const char* key;  // the "Tessaryn" key of the name
  std::string ChannelValues::*value;
};

constexpr Channel kChannels[] = {
    {"DB-Table Sizes", "DB_Table_Sizes", &ChannelValues::tables},
    {"Prim.Key Sizes", "Prim_Key_Sizes", &ChannelValues::primary_keys},
    {"Index Sizes", "Index_Sizes", &ChannelValues::indexes},
    {"DBase Size", "DBase_Size", &ChannelValues::total},
};

}  // namespace

SimSystem& SimSystem::Set(std::string_view key, std::string_view value) {
  settings_.emplace_back(std::string(key), std::string(value));
  return *this;
}

std::string SimSystem::Text() const {
  std::string text = "[system " + sid_ + "]\n";
  for (const auto& [key, value] : settings_) text += SettingLine(key, value);
  return text;
}

SimSystem ReachableSystem() {
  SimSystem system("PRD");
  system.Set("host", "sapprd")
      .Set("sysnr", "00")
      .Set("gwhost", "sapgw")
      .Set("gwservice", "sapgw00")
      .Set("client", "100")
      .Set("user", "MONITOR")
      .Set("password", "secret");
  return system;
}

LandscapeText& LandscapeText::Set(std::string_view key, std::string_view value) {
  settings_.emplace_back(std::string(key), std::string(value));
  return *this;
}

LandscapeText& LandscapeText::Add(const SimSystem& system) {
  systems_.push_back(system);
  return *this;
}

std::string LandscapeText::Text() const {
  std::string text = "journal = on\n";
  for (const auto& [key, value] : settings_) text += SettingLine(key, value);
  for (const SimSystem& system : systems_) text += "\n" + system.Text();
  return text;
}

HostFile LandscapeWith(const SimSystem& system) { return LandscapeText().Add(system).File(); }

std::string SapRfcEntry(std::string_view destination, std::string_view host,
                        std::string_view sysnr) {
  return "DEST=" + std::string(destination) + "\nTYPE=A\nASHOST=" + std::string(host) +
         "\nSYSNR=" + std::string(sysnr) + "\n";
}

HostFile DestinationFile(std::string_view destination, std::string_view content) {
  return {std::string(kWorkDir) + "SapRfc." + std::string(destination), std::string(content)};
}

std::string LinesByPrefix(std::string_view text, std::initializer_list<std::string_view> prefixes,
                          bool keep) {
  std::string lines;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    end = end == std::string_view::npos ? text.size() : end + 1;
    std::string_view line = text.substr(at, end - at);
    bool matches = false;
    for (std::string_view prefix : prefixes) matches = matches || line.starts_with(prefix);
    if (matches == keep) lines += line;
    at = end;
  }
  return lines;
}

std::string JournalLines(std::string_view journal, std::initializer_list<std::string_view> calls) {
  return LinesByPrefix(journal, calls, true);
}

HostFile PrtgProfile(std::string content) {
  return {std::string(kProgramFilesDir) + "PRD.P00", std::move(content)};
}

HostFile WorkProfile(std::string content) {
  return {std::string(kWorkDir) + "PRD.P00", std::move(content)};
}

std::string RunWithFiles::File(std::string_view path) const {
  auto found = left.find(std::string(path));
  return found == left.end() ? "" : found->second;
}

RunWithFiles RunKeepingRfcFiles(const std::vector<HostFile>& files,
                                const std::vector<std::string>& arguments) {
  RunWithFiles run;
  run.result = RunProgramKeepingFiles(files, arguments,
                                      {std::string(kJournalFile), std::string(kTraceFile),
                                       std::string(kSapRfcIniFile), std::string(kRunLogFile)},
                                      &run.left);
  return run;
}

std::string CallSequence(std::string_view journal) {
  std::string sequence;
  for (std::string_view rest = journal; !rest.empty();) {
    std::size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? "" : rest.substr(end + 1);
    if (line.starts_with("RfcClose ")) {
      sequence += std::string(line) + "\n";
      continue;
    }
    if (!line.starts_with("RfcCall ") && !line.starts_with("RfcReceive ")) continue;
    std::size_t name_at = line.find("function=\"");
    std::size_t result_at = line.rfind(" -> ");
    if (name_at == std::string_view::npos || result_at == std::string_view::npos) {
      sequence += "unreadable: " + std::string(line) + "\n";
      continue;
    }
    name_at += 10;
    std::size_t name_end = line.find('"', name_at);
    sequence += std::string(line.substr(0, line.find(' '))) + " " +
                std::string(line.substr(name_at, name_end - name_at)) +
                std::string(line.substr(result_at)) + "\n";
  }
  return sequence;
}

std::string RfcErrorReport(std::string_view operation, std::string_view key,
                           std::string_view status, std::string_view message,
                           std::string_view internal_status) {
  return "RFC error\noperation/code  : " + std::string(operation) +
         "\nkey             : " + std::string(key) + "\nstatus          : " + std::string(status) +
         "\nmessage         : " + std::string(message) +
         "\ninternal status : " + std::string(internal_status) +
         "\n\n* Programm aborted...\n* Error at EoXput-File...\n";
}

std::string RfcErrorReport(std::string_view operation, std::string_view key,
                           std::string_view message, std::string_view internal_status) {
  return RfcErrorReport(operation, key, operation, message, internal_status);
}

std::string RfcErrorText(std::string_view operation, std::string_view key,
                         std::string_view status, std::string_view message,
                         std::string_view internal_status) {
  return "RFC error - operation/code: " + std::string(operation) + " - key: " +
         std::string(key) + " - status: " + std::string(status) + " - message: " +
         std::string(message) + " - internal status: " + std::string(internal_status);
}

std::string RfcErrorText(std::string_view operation, std::string_view key,
                         std::string_view message, std::string_view internal_status) {
  return RfcErrorText(operation, key, operation, message, internal_status);
}

std::string ResultText(std::string_view destination, std::string_view dbsys, std::string_view date,
                       std::string_view time, std::string_view sysid) {
  return "(" + std::string(destination) + ") Kestrelon: Info=" + std::string(dbsys) +
         ",Date=" + std::string(date) + ",Time=" + std::string(time) + ",Sid=" + std::string(sysid);
}

std::string MeasurementDocument(std::string_view mode, std::string_view result_text,
                                const ChannelValues& values, std::string_view unit, int selected) {
  const std::string unit_text(unit);
  std::string document;
  if (mode == "Tessaryn") {
    document = "\n# " + std::string(result_text);
    for (const Channel& channel : kChannels) {
      document += std::string("\n\nMessage.") + channel.key + ": " + channel.name + " (" +
                  unit_text + ")\nStatistic." + channel.key + ": " + values.*channel.value;
    }
    return document + "\n";
  }
  if (mode == "Corvane") {
    if (selected != 0) {
      if (selected >= 1 && selected <= 4) {
        document = values.*kChannels[selected - 1].value;
      }
      return document + "\n";
    }
    document = "\n# " + std::string(result_text);
    for (const Channel& channel : kChannels) {
      document +=
          std::string("\n> ") + channel.name + ": " + values.*channel.value + " " + unit_text;
    }
    return document + "\n";
  }
  document = "\n<Prtg>\n\n<Text>" + XmlEscaped(result_text) + "</Text>\n";
  for (const Channel& channel : kChannels) {
    document += std::string("\n<Result><Channel>") + channel.name +
                "</Channel>\n<Unit>Custom</Unit>\n<CustomUnit>" + unit_text +
                "</CustomUnit>\n<Value>" + values.*channel.value + "</Value></Result>\n";
  }
  return document + "\n</Prtg>\n";
}

SimSystem SystemAt(std::string sid, std::string_view host, std::string_view sysnr) {
  SimSystem system(std::move(sid));
  system.Set("host", host)
      .Set("sysnr", sysnr)
      .Set("client", "100")
      .Set("user", "MONITOR")
      .Set("password", "secret");
  return system;
}

namespace {

/// The quoted text after `key` in a journal line ("name=\"X\"" gives X).
std::string QuotedAfter(std::string_view line, std::string_view key) {
  std::size_t at = line.find(key);
  if (at == std::string_view::npos) return "?";
  at += key.size();
  std::size_t end = line.find('"', at);
  return std::string(line.substr(at, end == std::string_view::npos ? end : end - at));
}

}  // namespace

std::string ConnectionEvents(std::string_view journal) {
  std::string events;
  for (std::string_view rest = journal; !rest.empty();) {
    std::size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? "" : rest.substr(end + 1);
    std::size_t result_at = line.rfind(" -> ");
    std::string_view result =
        result_at == std::string_view::npos ? "" : line.substr(result_at);
    if (line.starts_with("RfcOpen ") || line.starts_with("RfcOpenEx ")) {
      events += std::string(line.substr(0, line.find(' '))) + std::string(result) + "\n";
    } else if (line.starts_with("RfcCall ") || line.starts_with("RfcReceive ")) {
      events += CallSequence(std::string(line) + "\n");
    } else if (line.starts_with("RfcInstallStructure ") && result == " -> 1") {
      events += "RfcInstallStructure " + QuotedAfter(line, "name=\"") + " -> 1\n";
    } else if (line.starts_with("ItCreate ") && result == " -> null") {
      events += "ItCreate " + QuotedAfter(line, "name=\"") + " -> null\n";
    } else if (line.starts_with("ItGetLine ") && result == " -> null") {
      std::size_t line_at = line.find(" line=");
      events += "ItGetLine " + QuotedAfter(line, "table=\"") +
                std::string(line.substr(line_at, result_at - line_at)) + " -> null\n";
    } else if (line.starts_with("ItDelete ") && result == " -> 1") {
      events += "ItDelete " + QuotedAfter(line, "table=\"") + " -> 1\n";
    } else if (line.starts_with("ErrorHandler ") || line.starts_with("RfcLastError ") ||
               line.starts_with("RfcClose ")) {
      events += std::string(line) + "\n";
    }
  }
  return events;
}
