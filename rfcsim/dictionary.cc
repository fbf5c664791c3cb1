#include "rfcsim/dictionary.h"

#include <array>

#include "rfc/rfc_interface.h"

namespace rfcsim {
namespace {

constexpr uint32_t kChar = kRfcTypeChar;
constexpr uint32_t kDate = kRfcTypeDate;
constexpr uint32_t kPacked = kRfcTypePacked;
constexpr uint32_t kTime = kRfcTypeTime;
constexpr uint32_t kInt = kRfcTypeInt;
constexpr uint32_t kInt2 = kRfcTypeInt2;

// RFCSI: the system information record, 200 bytes, fields back to back.
constexpr std::array<FieldDef, 18> kRfcsiFields = {{
    {"RFCPROTO", kChar, 3, 0, 0},
    {"RFCCHARTYP", kChar, 4, 0, 3},
    {"RFCINTTYP", kChar, 3, 0, 7},
    {"RFCFLOTYP", kChar, 3, 0, 10},
    {"RFCDEST", kChar, 32, 0, 13},
    {"RFCHOST", kChar, 8, 0, 45},
    {"RFCSYSID", kChar, 8, 0, 53},
    {"RFCDATABS", kChar, 8, 0, 61},
    {"RFCDBHOST", kChar, 32, 0, 69},
    {"RFCDBSYS", kChar, 10, 0, 101},
    {"RFCSAPRL", kChar, 4, 0, 111},
    {"RFCMACH", kChar, 5, 0, 115},
    {"RFCOPSYS", kChar, 10, 0, 120},
    {"RFCTZONE", kChar, 6, 0, 130},
    {"RFCDAYST", kChar, 1, 0, 136},
    {"RFCIPADDR", kChar, 15, 0, 137},
    {"RFCKERNRL", kChar, 4, 0, 152},
    {"RFCSI_RESV", kChar, 44, 0, 156},
}};

// CPU_ALL: 46 bytes of fields in a 48-byte table row. The row is laid out as
// a C record: three 2-byte integers, two bytes of padding so that the 4-byte
// integers start on a multiple of 4, then ten 4-byte integers (6 + 2 + 40).
constexpr std::array<FieldDef, 13> kCpuAllFields = {{
    {"TYPE", kInt2, 2, 0, 0},
    {"SUBTYPE", kInt2, 2, 0, 2},
    {"SERIALNR", kInt2, 2, 0, 4},
    {"NBR_CPU", kInt, 4, 0, 8},
    {"LOAD1_AVG", kInt, 4, 0, 12},
    {"LOAD5_AVG", kInt, 4, 0, 16},
    {"LOAD15_AVG", kInt, 4, 0, 20},
    {"INT_SEC", kInt, 4, 0, 24},
    {"SYSC_SEC", kInt, 4, 0, 28},
    {"CS_SEC", kInt, 4, 0, 32},
    {"USR_TOTAL", kInt, 4, 0, 36},
    {"SYS_TOTAL", kInt, 4, 0, 40},
    {"IDLE_TOTAL", kInt, 4, 0, 44},
}};

// DB02INFDB4: the DB4 database overview, 120 bytes, fields back to back.
constexpr std::array<FieldDef, 21> kDb02InfDb4Fields = {{
    {"DBSYS", kChar, 10, 0, 0},        {"FS_A_DATE", kDate, 8, 0, 10},
    {"FS_A_TIME", kTime, 6, 0, 18},    {"SYSID", kChar, 8, 0, 24},
    {"TAB_CNT", kInt, 4, 0, 32},       {"CST_CNT", kInt, 4, 0, 36},
    {"IDX_CNT", kInt, 4, 0, 40},       {"TAB_SIZE", kPacked, 8, 0, 44},
    {"CST_SIZE", kPacked, 8, 0, 52},   {"IDX_SIZE", kPacked, 8, 0, 60},
    {"TAB_MIS_DB", kInt, 4, 0, 68},    {"CST_MIS_DB", kInt, 4, 0, 72},
    {"IDX_MIS_DB", kInt, 4, 0, 76},    {"VIE_MIS_DB", kInt, 4, 0, 80},
    {"TAB_MIS_DD", kInt, 4, 0, 84},    {"IDX_MIS_DD", kInt, 4, 0, 88},
    {"CST_MIS_DD", kInt, 4, 0, 92},    {"VIE_MIS_DD", kInt, 4, 0, 96},
    {"SYS_ASP_P", kPacked, 8, 5, 100}, {"SYS_ASP_S", kPacked, 6, 1, 108},
    {"ASP_TOT_S", kPacked, 6, 1, 114},
}};

constexpr std::array<FieldDef, 1> kMissObjFields = {{{"NAME", kChar, 40, 0, 0}}};

constexpr std::array<StructureDef, 4> kStructures = {{
    {"RFCSI", kRfcsiFields, 200},
    {"CPU_ALL", kCpuAllFields, 48},
    {"DB02INFDB4", kDb02InfDb4Fields, 120},
    {"MISSOBJ", kMissObjFields, 40},
}};

constexpr uint32_t SumOfLengths(std::span<const FieldDef> fields) {
  uint32_t sum = 0;
  for (const FieldDef& field : fields) sum += field.length;
  return sum;
}
static_assert(SumOfLengths(kRfcsiFields) == 200, "RFCSI is 200 bytes");
static_assert(SumOfLengths(kCpuAllFields) == 46, "CPU_ALL has 46 bytes of fields");
static_assert(SumOfLengths(kDb02InfDb4Fields) == 120, "DB02INFDB4 is 120 bytes");

constexpr std::array<ParameterDef, 2> kCpuAllExporting = {{
    {"LOCAL_REMOTE", kChar, {}, 6},
    {"LOGICAL_DESTINATION", kChar, {}, 32},
}};
constexpr std::array<ParameterDef, 10> kCpuAllImporting = {{
    {"ACTIVEFLAG", kInt, {}, 4},
    {"DETAILSCOLL", kInt, {}, 4},
    {"DETAILSMODE", kInt, {}, 4},
    {"DETAILSREQI", kInt, {}, 4},
    {"F_CPU_ALL_READ", kChar, {}, 3},
    {"INTERVAL", kInt, {}, 4},
    {"LASTCOLLINT", kInt, {}, 4},
    {"LASTCOLLWRT", kChar, {}, 25},
    {"NORMCOLLINT", kInt, {}, 4},
    {"OP_SYSTEM", kChar, {}, 52},
}};
constexpr std::array<TableDef, 1> kCpuAllTables = {{{"TF_CPU_ALL", "CPU_ALL", 48}}};

constexpr std::array<ParameterDef, 6> kSystemInfoImporting = {{
    {"CURRENT_RESOURCES", kInt, {}, 4},
    {"DIALOG_USER_TYPE", kChar, {}, 1},
    {"MAXIMAL_RESOURCES", kInt, {}, 4},
    {"RECOMMENDED_DELAY", kInt, {}, 4},
    {"RFCSI_EXPORT", 0, "RFCSI", 200},
    {"RFC_LOGIN_COMPLETE", kChar, {}, 1},
}};

constexpr std::array<ParameterDef, 2> kDb4InfoImporting = {{
    {"API_QWCRSSTS_RC", kInt, {}, 4},
    {"DB02_DISPLAYED_INFO", 0, "DB02INFDB4", 120},
}};
constexpr std::array<TableDef, 6> kDb4InfoTables = {{
    {"ADDTL_INDEX", "MISSOBJ", 40},
    {"ADDTL_TABLES", "MISSOBJ", 40},
    {"ADDTL_VIEWS", "MISSOBJ", 40},
    {"MISS_INDEX", "MISSOBJ", 40},
    {"MISS_TABLES", "MISSOBJ", 40},
    {"MISS_VIEWS", "MISSOBJ", 40},
}};

constexpr std::array<FunctionDef, 3> kFunctions = {{
    {"GET_CPU_ALL", kCpuAllExporting, kCpuAllImporting, kCpuAllTables},
    {"RFC_SYSTEM_INFO", {}, kSystemInfoImporting, {}},
    {"DB02_DB4_GET_INFO", {}, kDb4InfoImporting, kDb4InfoTables},
}};

}  // namespace

const StructureDef* FindStructure(std::string_view name) {
  for (const StructureDef& structure : kStructures) {
    if (structure.name == name) return &structure;
  }
  return nullptr;
}

const FunctionDef* FindFunction(std::string_view name) {
  for (const FunctionDef& function : kFunctions) {
    if (function.name == name) return &function;
  }
  return nullptr;
}

std::optional<FieldDef> FindSettableValue(std::string_view name) {
  for (std::string_view structure : {"RFCSI", "DB02INFDB4"}) {
    for (const FieldDef& field : FindStructure(structure)->fields) {
      if (field.name == name) return field;
    }
  }
  for (const FunctionDef& function : kFunctions) {
    for (const ParameterDef& parameter : function.importing) {
      if (parameter.name == name && parameter.structure.empty()) {
        return FieldDef{parameter.name, parameter.type, parameter.length, 0, 0};
      }
    }
  }
  return std::nullopt;
}

}  // namespace rfcsim
