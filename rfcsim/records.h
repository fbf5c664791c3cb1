// The bytes the simulated systems send: landscape value texts encoded into
// field bytes (blank-padded texts, packed decimals, integers in the host's
// byte order), and whole records built from defaults and a system's
// configured values.
#ifndef KESTRELON_RFCSIM_RECORDS_H_
#define KESTRELON_RFCSIM_RECORDS_H_

#include <string>
#include <string_view>

#include "rfcsim/dictionary.h"
#include "rfcsim/landscape.h"

namespace rfcsim {

/// Encodes `text` as the `field.length` bytes of the field into *bytes:
/// character fields blank-padded, dates YYYYMMDD, times HHMMSS, packed
/// decimals from a signed decimal number, integers from decimal text. With
/// `allow_hex`, a text "hex " followed by two hexadecimal digits per byte
/// gives the bytes as they stand. On failure returns false and sets *error
/// to what is wrong with the text.
bool EncodeValue(const FieldDef& field, std::string_view text, bool allow_hex, std::string* bytes,
                 std::string* error);

/// The record of `structure` that `system` sends: each field its configured
/// bytes or its default; bytes between fields are zero.
std::string BuildRecord(const StructureDef& structure, const SystemConfig& system);

/// The bytes of an unstructured importing parameter that `system` sends.
std::string BuildValue(const FieldDef& field, const SystemConfig& system);

/// Row `row` (from 1) of the `rows` rows of TF_CPU_ALL, 48 bytes.
std::string BuildCpuRow(int row, int rows);

}  // namespace rfcsim

#endif  // KESTRELON_RFCSIM_RECORDS_H_
