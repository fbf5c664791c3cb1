#include "rfcsim/checks.h"

#include <cstdlib>
#include <iostream>
#include <set>

#include "rfcsim/journal.h"

namespace rfcsim {
namespace {

std::string Number(uint32_t value) { return std::to_string(value); }

// What a type value should be: a type code, or the handle of `structure`.
std::string TypeMismatch(uint32_t type, uint32_t expected_code, std::string_view structure,
                         const TypeHandles& types) {
  const std::string* issued_for = types.StructureOf(type);
  if (structure.empty()) {
    if (type == expected_code) return {};
    return "type " + DescribeType(type, types) + ", expected " + Number(expected_code);
  }
  if (issued_for && *issued_for == structure) return {};
  std::string actual = issued_for             ? "the handle of " + *issued_for
                       : type <= kRfcTypeInt1 ? Number(type)
                                              : Number(type) + " (no issued type handle)";
  return "type " + actual + ", expected the handle of " + std::string(structure);
}

}  // namespace

std::string StructureMismatch(std::string_view name, const RfcTypeElement* elements,
                              uint32_t count) {
  const std::string where = "RfcInstallStructure " + std::string(name) + ": ";
  const StructureDef* structure = FindStructure(name);
  if (!structure) return "RfcInstallStructure: unknown structure " + QuoteText(name);
  if (count != structure->fields.size()) {
    return where + Number(count) + " rows, expected " + Number(structure->fields.size());
  }
  if (!elements) return where + "no rows";
  for (uint32_t i = 0; i < count; ++i) {
    const RfcTypeElement& row = elements[i];
    const FieldDef& field = structure->fields[i];
    const std::string at = where + "row " + Number(i + 1) + " ";
    if (!row.name || std::string_view(row.name) != field.name) {
      return at + "is " + QuoteText(row.name) + ", expected " + std::string(field.name);
    }
    const std::string of = at + std::string(field.name) + " has ";
    if (row.type != field.type)
      return of + "type " + Number(row.type) + ", expected " + Number(field.type);
    if (row.length != field.length) {
      return of + "length " + Number(row.length) + ", expected " + Number(field.length);
    }
    if (row.decimals != field.decimals) {
      return of + "decimals " + Number(row.decimals) + ", expected " + Number(field.decimals);
    }
    if (row.offset != 0 && row.offset != field.offset) {
      return of + "offset " + Number(row.offset) + ", expected 0 or " + Number(field.offset);
    }
  }
  return {};
}

std::string ParameterMismatch(const FunctionDef& function, bool importing,
                              const RfcParameter* parameters, const TypeHandles& types) {
  const std::string where =
      (importing ? "RfcReceive " : "RfcCall ") + std::string(function.name) + ": parameter ";
  const auto& declared = importing ? function.importing : function.exporting;
  std::set<std::string_view> seen;
  for (const RfcParameter* p = parameters; p && p->name; ++p) {
    std::string_view name = p->name;
    const ParameterDef* known = nullptr;
    for (const ParameterDef& candidate : declared) {
      if (candidate.name == name) known = &candidate;
    }
    if (!known) {
      return where + QuoteText(name) + " is no " + (importing ? "importing" : "exporting") +
             " parameter of " + std::string(function.name);
    }
    const std::string at = where + std::string(name) + " has ";
    if (!seen.insert(known->name).second) return where + std::string(name) + " is passed twice";
    if (p->name_length != name.size()) {
      return at + "name length " + Number(p->name_length) + ", expected " + Number(name.size());
    }
    if (std::string fault = TypeMismatch(p->type, known->type, known->structure, types);
        !fault.empty()) {
      return at + fault;
    }
    if (p->length != known->length) {
      return at + "length " + Number(p->length) + ", expected " + Number(known->length);
    }
    if (!p->address) return where + std::string(name) + " has no address";
  }
  return {};
}

std::string TableMismatch(std::string_view operation, const FunctionDef& function,
                          const RfcTable* tables, const TypeHandles& types,
                          InternalTables& internal_tables) {
  const std::string where = std::string(operation) + " " + std::string(function.name) + ": table ";
  std::set<std::string_view> seen;
  for (const RfcTable* t = tables; t && t->name; ++t) {
    std::string_view name = t->name;
    const TableDef* known = nullptr;
    for (const TableDef& candidate : function.tables) {
      if (candidate.name == name) known = &candidate;
    }
    if (!known) return where + QuoteText(name) + " is no table of " + std::string(function.name);
    const std::string at = where + std::string(name) + " has ";
    if (!seen.insert(known->name).second) return where + std::string(name) + " is passed twice";
    if (t->name_length != name.size()) {
      return at + "name length " + Number(t->name_length) + ", expected " + Number(name.size());
    }
    if (std::string fault = TypeMismatch(t->type, 0, known->structure, types); !fault.empty()) {
      return at + "row " + fault;
    }
    const InternalTable* table = t->table ? internal_tables.Find(t->table) : nullptr;
    if (!t->table) return at + "no internal table";
    if (!table) return at + "a handle that ItCreate never issued";
    if (!table->live) return at + "the handle of a deleted internal table";
    if (table->line_length != known->line_length) {
      return at + "an internal table of line length " + Number(table->line_length) + ", expected " +
             Number(known->line_length);
    }
  }
  return {};
}

void ReportMismatch(std::string_view what) {
  const std::string line = "rfcsim: interface mismatch: " + std::string(what);
  std::cerr << line << std::endl;
  WriteJournal(line);
  std::abort();
}

}  // namespace rfcsim
