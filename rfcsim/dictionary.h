// What the simulated SAP systems know of SAP's dictionary: the four
// structures the program installs and the parameters and tables of the three
// function modules it calls. The interface checks compare what a caller
// passes with these tables; the record builder lays records out by them.
#ifndef KESTRELON_RFCSIM_DICTIONARY_H_
#define KESTRELON_RFCSIM_DICTIONARY_H_

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace rfcsim {

/// One field of a structure, or one plain (unstructured) parameter value.
struct FieldDef {
  std::string_view name;
  uint32_t type;      // a type code of rfc_interface.h
  uint32_t length;    // in bytes
  uint32_t decimals;  // packed decimals only
  uint32_t offset;    // in the record or table row
};

/// A dictionary structure: its fields in order and the length of one record
/// (or table row, which may hold padding after the last field).
struct StructureDef {
  std::string_view name;
  std::span<const FieldDef> fields;
  uint32_t record_length;
};

/// A parameter of a function module: typed by a code, or by the handle of
/// an installed structure when `structure` is not empty.
struct ParameterDef {
  std::string_view name;
  uint32_t type;
  std::string_view structure;
  uint32_t length;
};

/// A table of a function module, with rows of an installed structure.
struct TableDef {
  std::string_view name;
  std::string_view structure;
  uint32_t line_length;
};

struct FunctionDef {
  std::string_view name;
  std::span<const ParameterDef> exporting;  // passed to RfcCall
  std::span<const ParameterDef> importing;  // passed to RfcReceive
  std::span<const TableDef> tables;         // passed to both
};

/// The structure of that name, or nullptr.
const StructureDef* FindStructure(std::string_view name);
/// The function module of that name, or nullptr.
const FunctionDef* FindFunction(std::string_view name);

/// A value a landscape may set by its SAP name: a field of RFCSI or
/// DB02INFDB4, or an unstructured importing parameter of a function module.
/// Nothing when no such name exists.
std::optional<FieldDef> FindSettableValue(std::string_view name);

}  // namespace rfcsim

#endif  // KESTRELON_RFCSIM_DICTIONARY_H_
