#include "rfcsim/records.h"

#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <limits>

#include "rfc/rfc_interface.h"

namespace rfcsim {
namespace {

bool AllDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

bool EncodeHex(const FieldDef& field, std::string_view digits, std::string* bytes,
               std::string* error) {
  if (digits.size() != 2 * field.length) {
    *error = std::string(field.name) + ": hex needs " + std::to_string(2 * field.length) +
             " hexadecimal digits, found " + std::to_string(digits.size());
    return false;
  }
  bytes->clear();
  for (std::size_t i = 0; i < digits.size(); i += 2) {
    int high = HexDigit(digits[i]);
    int low = HexDigit(digits[i + 1]);
    if (high < 0 || low < 0) {
      *error = std::string(field.name) + ": " + Quoted(digits) + " is not hexadecimal";
      return false;
    }
    bytes->push_back(static_cast<char>(high * 16 + low));
  }
  return true;
}

// A packed decimal of n bytes holds 2n - 1 digits and a sign half-byte:
// hexadecimal C for plus, D for minus. The text is a decimal number with an
// optional sign and at most `decimals` digits after a point.
bool EncodePacked(const FieldDef& field, std::string_view text, std::string* bytes,
                  std::string* error) {
  auto fail = [&] {
    *error = std::string(field.name) + ": " + Quoted(text) +
             " is not a decimal number with at most " + std::to_string(field.decimals) +
             " decimals";
    return false;
  };
  std::string_view rest = text;
  bool negative = false;
  if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
    negative = rest.front() == '-';
    rest.remove_prefix(1);
  }
  std::string_view whole = rest.substr(0, rest.find('.'));
  std::string_view fraction;
  if (whole.size() < rest.size()) fraction = rest.substr(whole.size() + 1);
  if (!AllDigits(whole) || (whole.size() < rest.size() && !AllDigits(fraction)) ||
      fraction.size() > field.decimals) {
    return fail();
  }
  while (whole.size() > 1 && whole.front() == '0') whole.remove_prefix(1);
  std::string digits = std::string(whole) + std::string(fraction);
  digits.append(field.decimals - fraction.size(), '0');
  const std::size_t capacity = 2 * field.length - 1;
  if (digits.size() > capacity) {
    *error = std::string(field.name) + ": " + Quoted(text) + " has more than " +
             std::to_string(capacity) + " digits";
    return false;
  }
  digits.insert(0, capacity - digits.size(), '0');
  bytes->assign(field.length, '\0');
  for (std::size_t i = 0; i < capacity; ++i) {
    int digit = digits[i] - '0';
    (*bytes)[i / 2] = static_cast<char>((*bytes)[i / 2] | (i % 2 == 0 ? digit << 4 : digit));
  }
  (*bytes)[field.length - 1] =
      static_cast<char>((*bytes)[field.length - 1] | (negative ? 0xD : 0xC));
  return true;
}

template <typename Integer>
bool EncodeInteger(const FieldDef& field, std::string_view text, std::string* bytes,
                   std::string* error) {
  Integer value{};
  const char* end = text.data() + text.size();
  auto [stop, problem] = std::from_chars(text.data(), end, value);
  if (problem != std::errc() || stop != end) {
    *error = std::string(field.name) + ": " + Quoted(text) + " is not an integer from " +
             std::to_string(std::numeric_limits<Integer>::min()) + " to " +
             std::to_string(std::numeric_limits<Integer>::max());
    return false;
  }
  bytes->assign(sizeof value, '\0');
  std::memcpy(bytes->data(), &value, sizeof value);
  return true;
}

bool EncodeFloat(const FieldDef& field, std::string_view text, std::string* bytes,
                 std::string* error) {
  double value = 0;
  const char* end = text.data() + text.size();
  auto [stop, problem] = std::from_chars(text.data(), end, value);
  if (problem != std::errc() || stop != end) {
    *error = std::string(field.name) + ": " + Quoted(text) + " is not a number";
    return false;
  }
  bytes->assign(sizeof value, '\0');
  std::memcpy(bytes->data(), &value, sizeof value);
  return true;
}

bool EncodeDigits(const FieldDef& field, std::string_view text, std::string* bytes,
                  std::string* error, std::string_view what) {
  if (text.size() != field.length || !AllDigits(text)) {
    *error = std::string(field.name) + ": " + Quoted(text) + " is not " + std::string(what);
    return false;
  }
  bytes->assign(text);
  return true;
}

// The default value text of a field or parameter for a system. Character
// defaults may be longer than the field; they are cut to it.
std::string DefaultText(std::string_view name, const SystemConfig& system) {
  const std::string& host = system.host.empty() ? system.gateway_host : system.host;
  std::string sysnr = std::to_string(system.sysnr < 0 ? 0 : system.sysnr);
  if (sysnr.size() < 2) sysnr.insert(0, "0");
  struct Default {
    std::string_view name;
    std::string text;
  };
  const Default defaults[] = {
      // RFCSI
      {"RFCPROTO", "011"},
      {"RFCCHARTYP", "1100"},
      {"RFCINTTYP", "LIT"},
      {"RFCFLOTYP", "IE3"},
      {"RFCDEST", host + "_" + system.sid + "_" + sysnr},
      {"RFCHOST", host},
      {"RFCSYSID", system.sid},
      {"RFCDATABS", system.sid},
      {"RFCDBHOST", host},
      {"RFCDBSYS", "DB400"},
      {"RFCSAPRL", "700"},
      {"RFCMACH", "324"},
      {"RFCOPSYS", "OS400"},
      {"RFCTZONE", "3600"},
      {"RFCKERNRL", "700"},
      // DB02INFDB4
      {"DBSYS", "DB4"},
      {"FS_A_DATE", "20240115"},
      {"FS_A_TIME", "083000"},
      {"SYSID", system.sid},
      // GET_CPU_ALL
      {"ACTIVEFLAG", "1"},
      {"F_CPU_ALL_READ", "YES"},
      {"INTERVAL", "10"},
      {"LASTCOLLINT", "10"},
      {"LASTCOLLWRT", "20240115083000"},
      {"NORMCOLLINT", "10"},
      {"OP_SYSTEM", "OS400"},
      // RFC_SYSTEM_INFO
      {"CURRENT_RESOURCES", "3"},
      {"MAXIMAL_RESOURCES", "10"},
      {"RFC_LOGIN_COMPLETE", "X"},
  };
  for (const Default& entry : defaults) {
    if (entry.name == name) return entry.text;
  }
  return {};
}

std::string FieldBytes(const FieldDef& field, const SystemConfig& system) {
  if (auto configured = system.values.find(field.name); configured != system.values.end()) {
    return configured->second;
  }
  std::string text = DefaultText(field.name, system);
  if (text.empty() && field.type != kRfcTypeChar) text = "0";
  if (field.type == kRfcTypeChar && text.size() > field.length) text.resize(field.length);
  std::string bytes;
  std::string error;
  if (!EncodeValue(field, text, false, &bytes, &error)) {
    // Only a wrong default table gets here: the stand-in itself is broken.
    std::cerr << "rfcsim: bad default value: " << error << std::endl;
    std::abort();
  }
  return bytes;
}

}  // namespace

bool EncodeValue(const FieldDef& field, std::string_view text, bool allow_hex, std::string* bytes,
                 std::string* error) {
  constexpr std::string_view kHex = "hex ";
  if (allow_hex && text.substr(0, kHex.size()) == kHex) {
    return EncodeHex(field, text.substr(kHex.size()), bytes, error);
  }
  switch (field.type) {
    case kRfcTypeChar:
      if (text.size() > field.length) {
        *error = std::string(field.name) + ": " + Quoted(text) + " is longer than " +
                 std::to_string(field.length) + " characters";
        return false;
      }
      *bytes = std::string(text);
      bytes->append(field.length - text.size(), ' ');
      return true;
    case kRfcTypeDate:
      return EncodeDigits(field, text, bytes, error, "a date YYYYMMDD");
    case kRfcTypeTime:
      return EncodeDigits(field, text, bytes, error, "a time HHMMSS");
    case kRfcTypePacked:
      return EncodePacked(field, text, bytes, error);
    case kRfcTypeNumeric:
      if (text.size() > field.length || !AllDigits(text)) {
        *error = std::string(field.name) + ": " + Quoted(text) + " is not a number of at most " +
                 std::to_string(field.length) + " digits";
        return false;
      }
      *bytes = std::string(field.length - text.size(), '0') + std::string(text);
      return true;
    case kRfcTypeFloat:
      return EncodeFloat(field, text, bytes, error);
    case kRfcTypeInt:
      return EncodeInteger<int32_t>(field, text, bytes, error);
    case kRfcTypeInt2:
      return EncodeInteger<int16_t>(field, text, bytes, error);
    case kRfcTypeInt1:
      return EncodeInteger<uint8_t>(field, text, bytes, error);
    default:
      *error = std::string(field.name) + ": give raw bytes as \"hex \" and hexadecimal digits";
      return false;
  }
}

std::string BuildRecord(const StructureDef& structure, const SystemConfig& system) {
  std::string record(structure.record_length, '\0');
  for (const FieldDef& field : structure.fields) {
    record.replace(field.offset, field.length, FieldBytes(field, system));
  }
  return record;
}

std::string BuildValue(const FieldDef& field, const SystemConfig& system) {
  return FieldBytes(field, system);
}

std::string BuildCpuRow(int row, int rows) {
  const StructureDef& structure = *FindStructure("CPU_ALL");
  std::string bytes(structure.record_length, '\0');
  struct Value {
    std::string_view field;
    int32_t value;
  };
  const Value values[] = {
      {"TYPE", 1},        {"SUBTYPE", 0},    {"SERIALNR", row},  {"NBR_CPU", rows},
      {"LOAD1_AVG", 25},  {"LOAD5_AVG", 20}, {"LOAD15_AVG", 15}, {"INT_SEC", 100},
      {"SYSC_SEC", 200},  {"CS_SEC", 300},   {"USR_TOTAL", 10},  {"SYS_TOTAL", 5},
      {"IDLE_TOTAL", 85},
  };
  for (const FieldDef& field : structure.fields) {
    for (const Value& value : values) {
      if (value.field != field.name) continue;
      if (field.length == 2) {
        int16_t narrow = static_cast<int16_t>(value.value);
        std::memcpy(bytes.data() + field.offset, &narrow, sizeof narrow);
      } else {
        std::memcpy(bytes.data() + field.offset, &value.value, sizeof value.value);
      }
    }
  }
  return bytes;
}

}  // namespace rfcsim
