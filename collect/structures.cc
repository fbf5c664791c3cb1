#include "collect/structures.h"

namespace {

constexpr RfcTypeElement kRfcsi[] = {
    {"RFCPROTO", kRfcTypeChar, 3, 0, 0},    {"RFCCHARTYP", kRfcTypeChar, 4, 0, 0},
    {"RFCINTTYP", kRfcTypeChar, 3, 0, 0},   {"RFCFLOTYP", kRfcTypeChar, 3, 0, 0},
    {"RFCDEST", kRfcTypeChar, 32, 0, 0},    {"RFCHOST", kRfcTypeChar, 8, 0, 0},
    {"RFCSYSID", kRfcTypeChar, 8, 0, 0},    {"RFCDATABS", kRfcTypeChar, 8, 0, 0},
    {"RFCDBHOST", kRfcTypeChar, 32, 0, 0},  {"RFCDBSYS", kRfcTypeChar, 10, 0, 0},
    {"RFCSAPRL", kRfcTypeChar, 4, 0, 0},    {"RFCMACH", kRfcTypeChar, 5, 0, 0},
    {"RFCOPSYS", kRfcTypeChar, 10, 0, 0},   {"RFCTZONE", kRfcTypeChar, 6, 0, 0},
    {"RFCDAYST", kRfcTypeChar, 1, 0, 0},    {"RFCIPADDR", kRfcTypeChar, 15, 0, 0},
    {"RFCKERNRL", kRfcTypeChar, 4, 0, 0},   {"RFCSI_RESV", kRfcTypeChar, 44, 0, 0},
};

constexpr RfcTypeElement kCpuAll[] = {
    {"TYPE", kRfcTypeInt2, 2, 0, 0},      {"SUBTYPE", kRfcTypeInt2, 2, 0, 0},
    {"SERIALNR", kRfcTypeInt2, 2, 0, 0},  {"NBR_CPU", kRfcTypeInt, 4, 0, 0},
    {"LOAD1_AVG", kRfcTypeInt, 4, 0, 0},  {"LOAD5_AVG", kRfcTypeInt, 4, 0, 0},
    {"LOAD15_AVG", kRfcTypeInt, 4, 0, 0}, {"INT_SEC", kRfcTypeInt, 4, 0, 0},
    {"SYSC_SEC", kRfcTypeInt, 4, 0, 0},   {"CS_SEC", kRfcTypeInt, 4, 0, 0},
    {"USR_TOTAL", kRfcTypeInt, 4, 0, 0},  {"SYS_TOTAL", kRfcTypeInt, 4, 0, 0},
    {"IDLE_TOTAL", kRfcTypeInt, 4, 0, 0},
};

constexpr RfcTypeElement kDb02InfDb4[] = {
    {"DBSYS", kRfcTypeChar, 10, 0, 0},      {"FS_A_DATE", kRfcTypeDate, 8, 0, 0},
    {"FS_A_TIME", kRfcTypeTime, 6, 0, 0},   {"SYSID", kRfcTypeChar, 8, 0, 0},
    {"TAB_CNT", kRfcTypeInt, 4, 0, 0},      {"CST_CNT", kRfcTypeInt, 4, 0, 0},
    {"IDX_CNT", kRfcTypeInt, 4, 0, 0},      {"TAB_SIZE", kRfcTypePacked, 8, 0, 0},
    {"CST_SIZE", kRfcTypePacked, 8, 0, 0},  {"IDX_SIZE", kRfcTypePacked, 8, 0, 0},
    {"TAB_MIS_DB", kRfcTypeInt, 4, 0, 0},   {"CST_MIS_DB", kRfcTypeInt, 4, 0, 0},
    {"IDX_MIS_DB", kRfcTypeInt, 4, 0, 0},   {"VIE_MIS_DB", kRfcTypeInt, 4, 0, 0},
    {"TAB_MIS_DD", kRfcTypeInt, 4, 0, 0},   {"IDX_MIS_DD", kRfcTypeInt, 4, 0, 0},
    {"CST_MIS_DD", kRfcTypeInt, 4, 0, 0},   {"VIE_MIS_DD", kRfcTypeInt, 4, 0, 0},
    {"SYS_ASP_P", kRfcTypePacked, 8, 5, 0}, {"SYS_ASP_S", kRfcTypePacked, 6, 1, 0},
    {"ASP_TOT_S", kRfcTypePacked, 6, 1, 0},
};

constexpr RfcTypeElement kMissObj[] = {{"NAME", kRfcTypeChar, 40, 0, 0}};

constexpr std::uint32_t Sum(std::span<const RfcTypeElement> rows) {
  std::uint32_t length = 0;
  for (const RfcTypeElement& row : rows) length += row.length;
  return length;
}

static_assert(std::size(kRfcsi) == 18 && Sum(kRfcsi) == kRfcsiLength);
static_assert(std::size(kCpuAll) == 13 && Sum(kCpuAll) + 2 == kCpuAllLineLength);
static_assert(std::size(kDb02InfDb4) == 21 && Sum(kDb02InfDb4) == kDb02InfDb4Length);
static_assert(Sum(kMissObj) == kMissObjLineLength);

}  // namespace

const std::span<const RfcTypeElement> kRfcsiRows(kRfcsi);
const std::span<const RfcTypeElement> kCpuAllRows(kCpuAll);
const std::span<const RfcTypeElement> kDb02InfDb4Rows(kDb02InfDb4);
const std::span<const RfcTypeElement> kMissObjRows(kMissObj);
