// The interface checks: what the real library would reject, the stand-in
// refuses loudly. Each check answers the first fault it finds as a text
// ("" when everything fits); ReportMismatch then ends the process.
#ifndef KESTRELON_RFCSIM_CHECKS_H_
#define KESTRELON_RFCSIM_CHECKS_H_

#include <string>
#include <string_view>

#include "rfc/rfc_interface.h"
#include "rfcsim/dictionary.h"
#include "rfcsim/objects.h"

namespace rfcsim {

/// The fault of a structure description given to RfcInstallStructure: an
/// unknown structure, a wrong row count, or a row whose name, type, length,
/// decimals or offset (0 or the field's offset) differs from the dictionary.
std::string StructureMismatch(std::string_view name, const RfcTypeElement* elements,
                              uint32_t count);

/// The fault of a parameter list of `function` (its exporting parameters
/// when `importing` is false): a name the function module does not have, a
/// parameter passed twice, a name length, type or length that differs, or
/// no address. A null list counts as empty.
std::string ParameterMismatch(const FunctionDef& function, bool importing,
                              const RfcParameter* parameters, const TypeHandles& types);

/// The fault of a table list of `function` passed to `operation` (RfcCall or
/// RfcReceive): an unknown or repeated table, a name length or row type that
/// differs, or a handle that is not a live internal table of the table's
/// line length. A null list counts as empty.
std::string TableMismatch(std::string_view operation, const FunctionDef& function,
                          const RfcTable* tables, const TypeHandles& types,
                          InternalTables& internal_tables);

/// Writes "rfcsim: interface mismatch: <what>" to standard error and to
/// the journal, then aborts the process.
[[noreturn]] void ReportMismatch(std::string_view what);

}  // namespace rfcsim

#endif  // KESTRELON_RFCSIM_CHECKS_H_
