#include "collect/db4_sizing.h"

#include <array>

#include "collect/structures.h"
#include "output/channel_writer.h"

namespace {

struct SizeField {
  const char* channel;
  const char* field;
  std::size_t offset;
};
constexpr std::size_t kPackedSizeLength = 8;
constexpr SizeField kSizeFields[] = {
    {"DB-Table Sizes", "TAB_SIZE", 44},
    {"Prim.Key Sizes", "CST_SIZE", 52},
    {"Index Sizes", "IDX_SIZE", 60},
};

struct TableSlot {
  const char* name;
  RfcTableHandle MissingObjectTables::*handle;
};
constexpr TableSlot kTableSlots[] = {
    {"ADDTL_INDEX", &MissingObjectTables::ADDTL_INDEX},
    {"ADDTL_TABLES", &MissingObjectTables::ADDTL_TABLES},
    {"ADDTL_VIEWS", &MissingObjectTables::ADDTL_VIEWS},
    {"MISS_INDEX", &MissingObjectTables::MISS_INDEX},
    {"MISS_TABLES", &MissingObjectTables::MISS_TABLES},
    {"MISS_VIEWS", &MissingObjectTables::MISS_VIEWS},
};

std::string TrimTrailingBlanks(std::string_view text) {
  return std::string(text.substr(0, text.find_last_not_of(' ') + 1));
}

// "(PRD) Kestrelon: Info=DB4,Date=20240131,Time=235959,Sid=PRD     "
std::string ResultText(std::string_view destination, const unsigned char* info) {
  return "(" + std::string(destination) + ") Kestrelon: Info=" +
         TrimTrailingBlanks(RecordField(info, 0, 10)) +
         ",Date=" + std::string(RecordField(info, 10, 8)) +
         ",Time=" + std::string(RecordField(info, 18, 6)) +
         ",Sid=" + std::string(RecordField(info, 24, 8));
}

// The three figures, or the message for a figure that is no size.
std::optional<std::string> ReadFigures(const unsigned char* info,
                                       std::array<std::uint64_t, 3>& figures) {
  for (std::size_t i = 0; i < figures.size(); ++i) {
    const SizeField& size = kSizeFields[i];
    std::optional<std::uint64_t> figure =
        SizeFigure(PackedToText(info + size.offset, kPackedSizeLength, 0));
    if (!figure) {
      return "Error 1120: Invalid " + std::string(size.field) + " figure received...";
    }
    figures[i] = *figure;
  }
  return std::nullopt;
}

// The document of a measurement: the result text and four channels. Sizes
// come in KByte; the channels show them divided by 1000, in GByte once more.
void WriteSizeDocument(Output& output, const SizingContext& sizing, const unsigned char* info,
                       std::array<std::uint64_t, 3> figures) {
  OpenDocument(output);
  OpenMessageText(output);
  AppendMessageText(output, ResultText(sizing.destination, info));
  CloseMessageText(output, sizing.parameter_keys);
  bool gigabyte = sizing.parameter_keys.find("GIGABYTE") != std::string_view::npos;
  const char* unit = gigabyte ? "GByte" : "MByte";
  std::uint64_t sum = 0;
  for (std::size_t i = 0; i < figures.size(); ++i) {
    if (gigabyte) figures[i] /= 1000;
    sum += figures[i];
    WriteChannel(output, sizing.parameter_text, sizing.parameter_keys, kSizeFields[i].channel,
                 std::to_string(figures[i] / 1000), unit);
  }
  WriteChannel(output, sizing.parameter_text, sizing.parameter_keys, "DBase Size",
               std::to_string(sum / 1000), unit);
  CloseDocument(output);
}

}  // namespace

std::string BytesToHex(const unsigned char* bytes, std::size_t count) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (std::size_t i = 0; i < count; ++i) {
    hex += kDigits[bytes[i] >> 4];
    hex += kDigits[bytes[i] & 0x0F];
  }
  return hex;
}

std::string PackedToText(const unsigned char* bytes, std::size_t length, unsigned decimals) {
  std::string hex = BytesToHex(bytes, length);
  if (hex.empty()) return "+";
  // The sign half-byte: B and D are minus; A, C, E and F plus; a digit there
  // means the bytes are no packed number at all.
  char sign = hex.back();
  if (sign >= '0' && sign <= '9') return "";
  std::string digits = hex.substr(0, hex.size() - 1);
  std::string text = sign == 'B' || sign == 'D' ? "-" : "+";
  std::size_t whole = decimals < digits.size() ? digits.size() - decimals : 0;
  text += digits.substr(0, whole);
  if (decimals > 0) text += "." + digits.substr(whole);
  return text;
}

std::optional<std::uint64_t> SizeFigure(std::string_view packed_text) {
  if (packed_text.empty() || packed_text[0] != '+' || packed_text.size() == 1) return std::nullopt;
  std::uint64_t figure = 0;
  for (char digit : packed_text.substr(1)) {
    if (digit < '0' || digit > '9') return std::nullopt;
    figure = figure * 10 + static_cast<std::uint64_t>(digit - '0');
  }
  return figure;
}

int FetchDb4Info(CallContext& call, std::int32_t& api_return_code,
                 unsigned char (&db02_info)[120], const MissingObjectTables& tables,
                 ExceptionName& exception) {
  StructureHandles& structures = call.structures;
  InstallStructure(call, "DB02INFDB4", kDb02InfDb4Rows.data(), kDb02InfDb4Rows.size(),
                   structures.DB02INFDB4);
  InstallStructure(call, "MISSOBJ", kMissObjRows.data(), kMissObjRows.size(),
                   structures.MISSOBJ);
  RfcParameter exporting[] = {RfcParameter{}};
  RfcParameter importing[] = {
      Parameter("API_QWCRSSTS_RC", kRfcTypeInt, 4, &api_return_code),
      Parameter("DB02_DISPLAYED_INFO", structures.DB02INFDB4, kDb02InfDb4Length, db02_info),
      RfcParameter{},
  };
  RfcTable table_list[std::size(kTableSlots) + 1] = {};
  for (std::size_t i = 0; i < std::size(kTableSlots); ++i) {
    table_list[i] = Table(kTableSlots[i].name, structures.MISSOBJ, tables.*kTableSlots[i].handle);
  }
  return CallFunctionModule(call, "DB02_DB4_GET_INFO", exporting, importing, table_list,
                            exception);
}

int ReportDatabaseSizes(CallContext& call, RunStatus& status, Output& output,
                        const SizingContext& sizing) {
  MissingObjectTables tables;
  for (const TableSlot& slot : kTableSlots) {
    tables.*slot.handle = CreateTable(call, slot.name, kMissObjLineLength);
  }
  std::int32_t api_return_code = 0;
  unsigned char db02_info[kDb02InfDb4Length] = {};
  ExceptionName exception;
  int code = FetchDb4Info(call, api_return_code, db02_info, tables, exception);
  std::array<std::uint64_t, 3> figures{};
  std::optional<std::string> bad_figure;
  if (code == 0) bad_figure = ReadFigures(db02_info, figures);
  if (bad_figure) {
    // A figure that is no size is bad data from the system: the run fails
    // rather than report a made-up size.
    output.OutputBuffer.AppendCut(*bad_figure);
  } else {
    ApplyOutcomeRule(code, exception, status, output);
    if (code == 0 && !sizing.MultiSystemRun) WriteSizeDocument(output, sizing, db02_info, figures);
  }
  for (const TableSlot& slot : kTableSlots) DeleteTable(call, slot.name, tables.*slot.handle);
  return code;
}
