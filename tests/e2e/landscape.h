// The stand-in RFC library's side of an end-to-end case: the text of the
// landscape file "rfcsim.landscape" that the stand-in reads from the working
// directory, destination entries for "SapRfc." files, and the documents a
// successful measurement prints in each output mode.
//
// The usual pair is the usable profile of sample_files.h (destination PRD,
// client 100, user monitor, password "secret", host sapprd, system number
// 00, gateway sapgw / sapgw00) and ReachableSystem() below, which accepts
// exactly that logon.
#ifndef KESTRELON_TESTS_E2E_LANDSCAPE_H_
#define KESTRELON_TESTS_E2E_LANDSCAPE_H_

#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tests/e2e/program_run.h"

/// Host paths of the files the stand-in and the program use in the working
/// directory of every run.
inline constexpr std::string_view kLandscapeFile = "C/work/rfcsim.landscape";
inline constexpr std::string_view kJournalFile = "C/work/rfcsim.journal";
inline constexpr std::string_view kTraceFile = "C/work/Dev_Rfc.Trc";
inline constexpr std::string_view kSapRfcIniFile = "C/work/SapRfc.ini";
inline constexpr std::string_view kRunLogFile = "C/work/Kestrelon.Log";

/// One "[system SID]" section: its settings in the order they were set.
class SimSystem {
 public:
  explicit SimSystem(std::string sid) : sid_(std::move(sid)) {}

  /// Adds "key = value". A value with a blank at either end, or an empty
  /// one, is written behind "|" so the stand-in keeps it as it is.
  SimSystem& Set(std::string_view key, std::string_view value);

  const std::string& sid() const { return sid_; }
  /// The section's lines, each ending in "\n".
  std::string Text() const;

 private:
  std::string sid_;
  std::vector<std::pair<std::string, std::string>> settings_;
};

/// The system that the usable profile reaches with RfcOpen in mode 0 (host
/// sapprd, system number 00) and in mode 1 (gateway sapgw, sapgw00), with the
/// logon client 100, user MONITOR, password "secret". Every value not set
/// is the stand-in's default (DBSYS "DB4", FS_A_DATE 20240115, FS_A_TIME
/// 083000, SYSID "PRD", all sizes 0).
SimSystem ReachableSystem();

/// The whole landscape file: the journal switched on, further top-level
/// settings, then the systems.
class LandscapeText {
 public:
  /// Adds a top-level "key = value" ("fail_itcreate = MISS_VIEWS").
  LandscapeText& Set(std::string_view key, std::string_view value);
  LandscapeText& Add(const SimSystem& system);

  std::string Text() const;
  /// The landscape as the file of the working directory.
  HostFile File() const { return {std::string(kLandscapeFile), Text()}; }

 private:
  std::vector<std::pair<std::string, std::string>> settings_;
  std::vector<SimSystem> systems_;
};

/// A landscape holding `system` alone, as the file of the working directory.
HostFile LandscapeWith(const SimSystem& system);

/// A "SapRfc." entry for `destination` naming an application server:
/// "DEST=", "TYPE=A", "ASHOST=", "SYSNR=" lines.
std::string SapRfcEntry(std::string_view destination, std::string_view host,
                        std::string_view sysnr);

/// The destination file "SapRfc." + `destination` in the working directory.
HostFile DestinationFile(std::string_view destination, std::string_view content);

/// The lines of `text` (each with its line end) that start with one of
/// `prefixes` when `keep` is true, or with none of them when it is false.
std::string LinesByPrefix(std::string_view text, std::initializer_list<std::string_view> prefixes,
                          bool keep);

/// The text of the journal lines that start with one of `calls` ("RfcOpen ",
/// "RfcClose"), in their order, each with its "\n".
std::string JournalLines(std::string_view journal, std::initializer_list<std::string_view> calls);

/// The system profile PRD.P00 where an "EXEXML" run finds it without a
/// path file: the standard PRTG directory "\Program Files\...\ExeXml\".
HostFile PrtgProfile(std::string content);

/// The system profile PRD.P00 in the working directory, where the other
/// modes find the profile argument PRD.
HostFile WorkProfile(std::string content);

/// What a run printed and the files the RFC work left in the working
/// directory: journal, trace file, "SapRfc.ini", run log.
struct RunWithFiles {
  ProgramResult result;
  std::map<std::string, std::string> left;  // by host path (kJournalFile ...)

  bool Has(std::string_view path) const { return left.contains(std::string(path)); }
  /// The file's bytes, "" when it is not there.
  std::string File(std::string_view path) const;
};

/// Runs the program with `files` and `arguments` (after the drive root) and
/// keeps the four files named above.
RunWithFiles RunKeepingRfcFiles(const std::vector<HostFile>& files,
                                const std::vector<std::string>& arguments);

/// The remote calls of a journal in short form, one per line: "RfcCall FM ->
/// CODE", "RfcReceive FM -> CODE" (with " exception=..." where written) and
/// "RfcClose handle=N", in their order.
std::string CallSequence(std::string_view journal);

/// What the program prints when the RFC library reports an error, with
/// console report lines or in a mode outside the XML family: "RFC error",
/// the five labelled lines of the library's last error, an empty line and
/// the two closing lines.
std::string RfcErrorReport(std::string_view operation, std::string_view key,
                           std::string_view status, std::string_view message,
                           std::string_view internal_status);

/// The same for an error whose status is the operation text itself, as the
/// stand-in reports its opens and calls.
std::string RfcErrorReport(std::string_view operation, std::string_view key,
                           std::string_view message, std::string_view internal_status);

/// What the program tells PRTG when the RFC library reports an error: the
/// text of its error document (exit code 1), the same facts on one line:
/// "RFC error - operation/code: OP - key: K - status: S - message: M -
/// internal status: I".
std::string RfcErrorText(std::string_view operation, std::string_view key,
                         std::string_view status, std::string_view message,
                         std::string_view internal_status);

/// The same for an error whose status is the operation text itself.
std::string RfcErrorText(std::string_view operation, std::string_view key,
                         std::string_view message, std::string_view internal_status);

/// The four channel values of a measurement, as the program writes them.
struct ChannelValues {
  std::string tables;        // "DB-Table Sizes"
  std::string primary_keys;  // "Prim.Key Sizes"
  std::string indexes;       // "Index Sizes"
  std::string total;         // "DBase Size"
};

/// The result text "(DEST) Kestrelon: Info=...,Date=...,Time=...,Sid=..."
/// from the values as the document shows them.
std::string ResultText(std::string_view destination, std::string_view dbsys, std::string_view date,
                       std::string_view time, std::string_view sysid);

/// The document a successful single-system run prints in `mode` ("EXEXML",
/// "Vantrel", "Mirabel", "Tessaryn", "Corvane") with `unit` ("MByte",
/// "GByte"). `selected` is the channel number of "CH=" in "Corvane", 0
/// without "CH=". In the XML modes the result text is written escaped.
std::string MeasurementDocument(std::string_view mode, std::string_view result_text,
                                const ChannelValues& values, std::string_view unit,
                                int selected = 0);

/// A DB4 system on `host` / `sysnr` that accepts the logon of the usable
/// profile (client 100, user MONITOR, password "secret") and answers every
/// call with the stand-in's defaults.
SimSystem SystemAt(std::string sid, std::string_view host, std::string_view sysnr);

/// What a journal shows of the connections, one event a line: "RfcOpen -> N"
/// and "RfcOpenEx -> N" (the handle), each remote call as CallSequence writes
/// it, the local services that failed ("RfcInstallStructure NAME -> 1",
/// "ItCreate NAME -> null", "ItGetLine NAME line=N -> null", "ItDelete NAME
/// -> 1"), and the "ErrorHandler", "RfcLastError" and "RfcClose" lines as
/// written. Local services that succeeded are left out.
std::string ConnectionEvents(std::string_view journal);

#endif  // KESTRELON_TESTS_E2E_LANDSCAPE_H_
