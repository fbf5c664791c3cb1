// The objects the stand-in hands out and later takes back: the type handles
// of installed structures and the internal tables. Neither is ever reused,
// so a stale handle is always recognised as one.
#ifndef KESTRELON_RFCSIM_OBJECTS_H_
#define KESTRELON_RFCSIM_OBJECTS_H_

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "rfc/rfc_interface.h"

namespace rfcsim {

/// Type handles: kFirstTypeHandle for the first structure installed, then
/// counting up. They lie above the type codes 0 to 10, so a type value is a
/// code or a handle, never both.
class TypeHandles {
 public:
  static constexpr RfcTypeHandle kFirstTypeHandle = 1001;

  /// The handle of `structure`: the one issued before, or a new one.
  RfcTypeHandle Issue(std::string_view structure);
  /// The structure a handle was issued for; nullptr when never issued.
  const std::string* StructureOf(RfcTypeHandle handle) const;

 private:
  std::vector<std::string> structures_;  // index = handle - kFirstTypeHandle
};

/// An internal table: lines of a fixed length, back to back.
struct InternalTable {
  std::string name;  // as given to ItCreate
  uint32_t line_length = 0;
  uint32_t line_count = 0;
  std::vector<char> bytes;
  bool live = true;  // false after ItDelete
};

class InternalTables {
 public:
  /// A new empty table; its address is its handle.
  InternalTable* Create(std::string_view name, uint32_t line_length);
  /// The table of a handle, deleted ones included; nullptr when the handle
  /// was never issued.
  InternalTable* Find(RfcTableHandle handle);
  /// Replaces the lines of a table with `lines`, each of its line length.
  static void Fill(InternalTable* table, const std::vector<std::string>& lines);
  /// Marks the table deleted and frees its lines; the handle stays known.
  static void Delete(InternalTable* table);

 private:
  std::deque<InternalTable> tables_;  // grows only: element addresses stay put
};

}  // namespace rfcsim

#endif  // KESTRELON_RFCSIM_OBJECTS_H_
