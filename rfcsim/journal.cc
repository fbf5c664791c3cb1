#include "rfcsim/journal.h"

#include <filesystem>
#include <fstream>

namespace rfcsim {
namespace {

bool journal_on = false;

}  // namespace

void EnableJournal(bool on) { journal_on = on; }

bool MayAppendTo(const char* name) {
  std::error_code error;
  std::filesystem::file_type type = std::filesystem::status(name, error).type();
  return type == std::filesystem::file_type::not_found ||
         type == std::filesystem::file_type::regular;
}

void WriteJournal(std::string_view line) {
  if (!journal_on || !MayAppendTo(kJournalFile)) return;
  std::ofstream journal(kJournalFile, std::ios::app | std::ios::binary);
  journal << line << '\n';
  journal.flush();
}

std::string QuoteText(std::string_view text) {
  static constexpr char kHexDigits[] = "0123456789ABCDEF";
  std::string quoted = "\"";
  for (char c : text) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (byte < 0x20 || byte > 0x7E) {
      quoted += "\\x";
      quoted += kHexDigits[byte >> 4];
      quoted += kHexDigits[byte & 0xF];
    } else {
      quoted += c;
    }
  }
  quoted += '"';
  return quoted;
}

std::string QuoteText(const char* text) {
  return text ? QuoteText(std::string_view(text)) : std::string("null");
}

std::string DescribeType(uint32_t type, const TypeHandles& types) {
  if (const std::string* structure = types.StructureOf(type)) return *structure;
  return std::to_string(type);
}

std::string DescribeParameters(const RfcParameter* parameters, const TypeHandles& types) {
  std::string text;
  for (const RfcParameter* p = parameters; p && p->name; ++p) {
    if (!text.empty()) text += ' ';
    text += "(" + QuoteText(p->name) + " namelen=" + std::to_string(p->name_length) +
            " type=" + DescribeType(p->type, types) + " length=" + std::to_string(p->length) + ")";
  }
  return text.empty() ? "none" : text;
}

std::string DescribeTables(const RfcTable* tables, const TypeHandles& types,
                           InternalTables& internal_tables) {
  std::string text;
  for (const RfcTable* t = tables; t && t->name; ++t) {
    std::string table = "null";
    if (t->table) {
      const InternalTable* internal = internal_tables.Find(t->table);
      table = !internal ? "unknown" : !internal->live ? "deleted" : QuoteText(internal->name);
    }
    if (!text.empty()) text += ' ';
    text += "(" + QuoteText(t->name) + " namelen=" + std::to_string(t->name_length) +
            " type=" + DescribeType(t->type, types) + " table=" + table + ")";
  }
  return text.empty() ? "none" : text;
}

}  // namespace rfcsim
