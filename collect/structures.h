// The SAP dictionary structures this program installs in the RFC library:
// one field row per field, in field order; offsets are left 0, the library
// lays the fields out one after another.
#ifndef KESTRELON_COLLECT_STRUCTURES_H_
#define KESTRELON_COLLECT_STRUCTURES_H_

#include <cstddef>
#include <cstdint>
#include <span>

#include "rfc/rfc_interface.h"

/// RFCSI: the system information record RFCSI_EXPORT of RFC_SYSTEM_INFO.
extern const std::span<const RfcTypeElement> kRfcsiRows;
/// CPU_ALL: the rows of TF_CPU_ALL of GET_CPU_ALL.
extern const std::span<const RfcTypeElement> kCpuAllRows;
/// DB02INFDB4: the database overview DB02_DISPLAYED_INFO of DB02_DB4_GET_INFO.
extern const std::span<const RfcTypeElement> kDb02InfDb4Rows;
/// MISSOBJ: the rows of the six object tables of DB02_DB4_GET_INFO.
extern const std::span<const RfcTypeElement> kMissObjRows;

inline constexpr std::uint32_t kRfcsiLength = 200;
inline constexpr std::uint32_t kDb02InfDb4Length = 120;
/// A CPU_ALL row occupies 48 bytes in its table, two more than its fields.
inline constexpr std::uint32_t kCpuAllLineLength = 48;
inline constexpr std::uint32_t kMissObjLineLength = 40;

#endif  // KESTRELON_COLLECT_STRUCTURES_H_
