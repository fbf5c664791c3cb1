// The DB4 sizing, the program's measurement: DB02_DB4_GET_INFO delivers the
// database overview, from which the result text and four size channels
// ("DB-Table Sizes", "Prim.Key Sizes", "Index Sizes", "DBase Size") are
// written, in MByte or, with GIGABYTE among the parameters, in GByte.
#ifndef KESTRELON_COLLECT_DB4_SIZING_H_
#define KESTRELON_COLLECT_DB4_SIZING_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "collect/function_call.h"

/// The six object tables of DB02_DB4_GET_INFO, in the order of the call.
struct MissingObjectTables {
  RfcTableHandle ADDTL_INDEX = nullptr;
  RfcTableHandle ADDTL_TABLES = nullptr;
  RfcTableHandle ADDTL_VIEWS = nullptr;
  RfcTableHandle MISS_INDEX = nullptr;
  RfcTableHandle MISS_TABLES = nullptr;
  RfcTableHandle MISS_VIEWS = nullptr;
};

/// What the sizing writes besides the connection: the run's kind and texts.
struct SizingContext {
  bool MultiSystemRun;
  std::string_view destination;
  std::string_view parameter_text;
  std::string_view parameter_keys;
};

/// Each byte as two upper-case hexadecimal digits.
std::string BytesToHex(const unsigned char* bytes, std::size_t count);

/// A packed decimal of `length` bytes with `decimals` digits after the point
/// as signed text: "-" for the sign nibble B or D, "+" for A, C, E or F,
/// then the digits (not validated, leading zeros kept), with a "." before
/// the last `decimals` digits. Empty when the sign nibble is a digit 0 to 9:
/// such bytes are no packed number.
std::string PackedToText(const unsigned char* bytes, std::size_t length, unsigned decimals);

/// The size figure of a packed text: nullopt when the text is negative or
/// holds anything but decimal digits after its sign.
std::optional<std::uint64_t> SizeFigure(std::string_view packed_text);

/// Calls DB02_DB4_GET_INFO; returns the RFC code.
int FetchDb4Info(CallContext& call, std::int32_t& api_return_code,
                 unsigned char (&db02_info)[120], const MissingObjectTables& tables,
                 ExceptionName& exception);

/// Creates the six tables, calls DB02_DB4_GET_INFO, judges it and on success
/// (in a single-system run) writes the whole document; deletes the tables.
/// Returns the RFC code.
int ReportDatabaseSizes(CallContext& call, RunStatus& status, Output& output,
                        const SizingContext& sizing);

#endif  // KESTRELON_COLLECT_DB4_SIZING_H_
