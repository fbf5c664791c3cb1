// The journal: when the landscape says "journal = on", one line per call
// of the library in the file "rfcsim.journal" in the working directory,
// appended and flushed line by line, so tests can read what the program
// passed at the interface. rfcsim/README.md gives the line formats.
#ifndef KESTRELON_RFCSIM_JOURNAL_H_
#define KESTRELON_RFCSIM_JOURNAL_H_

#include <string>
#include <string_view>

#include "rfc/rfc_interface.h"
#include "rfcsim/objects.h"

namespace rfcsim {

/// The file name, in the working directory.
inline constexpr const char* kJournalFile = "rfcsim.journal";

/// Switches the journal on or off; it is off until switched on.
void EnableJournal(bool on);

/// Appends `line` and a line end when the journal is on. A file that cannot
/// be opened, or is not a regular file, loses the line.
void WriteJournal(std::string_view line);

/// Whether the library may append to its file `name` in the working
/// directory: only when it is missing or a regular file. A pipe in its place
/// would make the call wait for ever, a device would take the writes.
bool MayAppendTo(const char* name);

/// A passed text as the journal shows it: in double quotes, with a quote,
/// a backslash and every byte outside 0x20 to 0x7E escaped as \", \\ and
/// \xHH; the word null for a null pointer.
std::string QuoteText(const char* text);
std::string QuoteText(std::string_view text);

/// A type value: the name of the structure when it is an issued type
/// handle, the number otherwise.
std::string DescribeType(uint32_t type, const TypeHandles& types);

/// A parameter list: "none" for a null or empty list, else each parameter
/// as ("NAME" namelen=N type=T length=L), separated by blanks.
std::string DescribeParameters(const RfcParameter* parameters, const TypeHandles& types);

/// A table list: "none" for a null or empty list, else each table as
/// ("NAME" namelen=N type=T table=TABLE), where TABLE is the quoted ItCreate
/// name of the handle, null, unknown (never issued) or deleted.
std::string DescribeTables(const RfcTable* tables, const TypeHandles& types,
                           InternalTables& internal_tables);

}  // namespace rfcsim

#endif  // KESTRELON_RFCSIM_JOURNAL_H_
