// Tests of the stand-in RFC library through its exported C interface: the
// built library is loaded with dlopen, as the program loads it, and runs in
// a temporary working directory that holds the landscape below. The library
// reads its landscape once per process, so every test shares it and reads
// only the journal and trace lines that its own calls appended.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <csignal>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "rfc/rfc_interface.h"

namespace {

constexpr const char* kLandscape = R"(# The landscape of these tests.
journal = on
fail_itcreate = BROKEN_CREATE
fail_itgetline = BROKEN_GETLINE
fail_itdelete = BROKEN_DELETE

[system PRD]
host = sapprd01
sysnr = 00
client = 100
user = MONITOR
password = secret
RFCHOST = prdhost
RFCDBSYS = DB400
FS_A_DATE = 20241210
FS_A_TIME = 235959
TAB_SIZE = 1234567
CST_SIZE = -999
IDX_SIZE = hex 00000000000025FF
cpu_rows = 2

[system OFF]
host = sapoff01
sysnr = 05
client = 100
user = MONITOR
password = secret
open = unreachable

[system FLR]
host = sapflr01
sysnr = 01
client = 200
user = MONITOR
password = secret
GET_CPU_ALL = failure 1 on call
RFC_SYSTEM_INFO = failure 23
DB02_DB4_GET_INFO = exception NO_DB4_DATA
trace_block = off
trace_line = |**** ERROR file opened by FLR
trace_line = |ERROR       partner reset
trace_line = |T:0001 ======> FLR trace text

[system SYX]
host = sapsyx01
sysnr = 02
client = 300
user = MONITOR
password = secret
GET_CPU_ALL = handler on call
RFC_SYSTEM_INFO = failure 3 on receive

[system HDL]
host = saphdl01
sysnr = 03
client = 100
user = MONITOR
password = secret
open = handler
)";

// The twelve functions, resolved from the built library.
struct RfcLibrary {
  RfcEnvironmentFunction environment;
  RfcOpenFunction open;
  RfcOpenExFunction open_ex;
  RfcCloseFunction close;
  RfcLastErrorFunction last_error;
  RfcInstallStructureFunction install_structure;
  RfcCallFunction call;
  RfcReceiveFunction receive;
  ItCreateFunction it_create;
  ItFillFunction it_fill;
  ItGetLineFunction it_get_line;
  ItDeleteFunction it_delete;
};

RfcLibrary rfc;
std::vector<std::string> handler_operations;  // what the error handler was told

void RFC_CALL RecordingHandler(const char* operation) { handler_operations.push_back(operation); }

template <typename Function>
void Resolve(void* library, const char* name, Function* function) {
  *function = reinterpret_cast<Function>(dlsym(library, name));
  ASSERT_NE(*function, nullptr) << name << ": " << dlerror();
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// Creates the working directory with the landscape, enters it, loads the
// library and installs the recording error handler.
class StandInEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/rfcsim-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    directory_ = pattern;
    ASSERT_EQ(chdir(directory_.c_str()), 0);
    std::ofstream(std::string("rfcsim.landscape"), std::ios::binary) << kLandscape;

    void* library = dlopen(RFCSIM_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    Resolve(library, "RfcEnvironment", &rfc.environment);
    Resolve(library, "RfcOpen", &rfc.open);
    Resolve(library, "RfcOpenEx", &rfc.open_ex);
    Resolve(library, "RfcClose", &rfc.close);
    Resolve(library, "RfcLastError", &rfc.last_error);
    Resolve(library, "RfcInstallStructure", &rfc.install_structure);
    Resolve(library, "RfcCall", &rfc.call);
    Resolve(library, "RfcReceive", &rfc.receive);
    Resolve(library, "ItCreate", &rfc.it_create);
    Resolve(library, "ItFill", &rfc.it_fill);
    Resolve(library, "ItGetLine", &rfc.it_get_line);
    Resolve(library, "ItDelete", &rfc.it_delete);
    RfcEnvironmentRecord environment{RecordingHandler, nullptr};
    rfc.environment(&environment);
  }
  void TearDown() override {
    if (chdir("/") == 0 && !directory_.empty()) std::filesystem::remove_all(directory_);
  }

 private:
  std::string directory_;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new StandInEnvironment);

// The structures, described as the program describes them.
constexpr RfcTypeElement kRfcsi[] = {
    {"RFCPROTO", 0, 3, 0, 0},   {"RFCCHARTYP", 0, 4, 0, 0}, {"RFCINTTYP", 0, 3, 0, 0},
    {"RFCFLOTYP", 0, 3, 0, 0},  {"RFCDEST", 0, 32, 0, 0},   {"RFCHOST", 0, 8, 0, 0},
    {"RFCSYSID", 0, 8, 0, 0},   {"RFCDATABS", 0, 8, 0, 0},  {"RFCDBHOST", 0, 32, 0, 0},
    {"RFCDBSYS", 0, 10, 0, 0},  {"RFCSAPRL", 0, 4, 0, 0},   {"RFCMACH", 0, 5, 0, 0},
    {"RFCOPSYS", 0, 10, 0, 0},  {"RFCTZONE", 0, 6, 0, 0},   {"RFCDAYST", 0, 1, 0, 0},
    {"RFCIPADDR", 0, 15, 0, 0}, {"RFCKERNRL", 0, 4, 0, 0},  {"RFCSI_RESV", 0, 44, 0, 0},
};
constexpr RfcTypeElement kCpuAll[] = {
    {"TYPE", 9, 2, 0, 0},       {"SUBTYPE", 9, 2, 0, 0},   {"SERIALNR", 9, 2, 0, 0},
    {"NBR_CPU", 8, 4, 0, 0},    {"LOAD1_AVG", 8, 4, 0, 0}, {"LOAD5_AVG", 8, 4, 0, 0},
    {"LOAD15_AVG", 8, 4, 0, 0}, {"INT_SEC", 8, 4, 0, 0},   {"SYSC_SEC", 8, 4, 0, 0},
    {"CS_SEC", 8, 4, 0, 0},     {"USR_TOTAL", 8, 4, 0, 0}, {"SYS_TOTAL", 8, 4, 0, 0},
    {"IDLE_TOTAL", 8, 4, 0, 0},
};
constexpr RfcTypeElement kDb02InfDb4[] = {
    {"DBSYS", 0, 10, 0, 0},     {"FS_A_DATE", 1, 8, 0, 0},  {"FS_A_TIME", 3, 6, 0, 0},
    {"SYSID", 0, 8, 0, 0},      {"TAB_CNT", 8, 4, 0, 0},    {"CST_CNT", 8, 4, 0, 0},
    {"IDX_CNT", 8, 4, 0, 0},    {"TAB_SIZE", 2, 8, 0, 0},   {"CST_SIZE", 2, 8, 0, 0},
    {"IDX_SIZE", 2, 8, 0, 0},   {"TAB_MIS_DB", 8, 4, 0, 0}, {"CST_MIS_DB", 8, 4, 0, 0},
    {"IDX_MIS_DB", 8, 4, 0, 0}, {"VIE_MIS_DB", 8, 4, 0, 0}, {"TAB_MIS_DD", 8, 4, 0, 0},
    {"IDX_MIS_DD", 8, 4, 0, 0}, {"CST_MIS_DD", 8, 4, 0, 0}, {"VIE_MIS_DD", 8, 4, 0, 0},
    {"SYS_ASP_P", 2, 8, 5, 0},  {"SYS_ASP_S", 2, 6, 1, 0},  {"ASP_TOT_S", 2, 6, 1, 0},
};
constexpr RfcTypeElement kMissObj[] = {{"NAME", 0, 40, 0, 0}};

// The type handle of a structure, installed at its first use.
RfcTypeHandle TypeHandle(const std::string& name) {
  static std::map<std::string, RfcTypeHandle> handles;
  if (handles.count(name)) return handles[name];
  const RfcTypeElement* rows = name == "RFCSI"        ? kRfcsi
                               : name == "CPU_ALL"    ? kCpuAll
                               : name == "DB02INFDB4" ? kDb02InfDb4
                                                      : kMissObj;
  uint32_t count = name == "RFCSI" ? 18 : name == "CPU_ALL" ? 13 : name == "DB02INFDB4" ? 21 : 1;
  RfcTypeHandle handle = 0;
  EXPECT_EQ(rfc.install_structure(name.c_str(), rows, count, &handle), 0) << name;
  handles[name] = handle;
  return handle;
}

RfcConnectionHandle Open(const char* host, int32_t sysnr, const char* client, const char* user,
                         const char* password) {
  RfcServerOptions server{host, sysnr, nullptr, nullptr};
  RfcOpenOptions options{"PRD", 0, &server, client, user, password, "E", 0};
  return rfc.open(&options);
}

RfcConnectionHandle OpenPrd() { return Open("sapprd01", 0, "100", "MONITOR     ", "secret    "); }

RfcErrorInfo LastError() {
  RfcErrorInfo info{};
  rfc.last_error(&info);
  return info;
}

// What one function module call brought back.
struct Outcome {
  int call_code = -1;
  int receive_code = -1;  // -1: RfcReceive was not called
  std::string exception;
  std::array<char, 200> rfcsi{};
  std::array<char, 120> db02{};
  std::vector<std::string> cpu_rows;
};

// Calls a function module as the program does: RfcCall, and RfcReceive when
// RfcCall succeeded, with the parameters and tables the module takes.
Outcome CallFunction(RfcConnectionHandle handle, const std::string& function) {
  Outcome outcome;
  char* exception = nullptr;
  std::array<int32_t, 8> integers{};
  std::array<std::array<char, 64>, 3> texts{};
  if (function == "RFC_SYSTEM_INFO") {
    RfcTypeHandle rfcsi = TypeHandle("RFCSI");
    RfcParameter none[] = {{nullptr, 0, 0, 0, nullptr}};
    RfcTable no_tables[] = {{nullptr, 0, 0, 0, nullptr, 0, 0}};
    RfcParameter importing[] = {{"CURRENT_RESOURCES", 17, 8, 4, &integers[0]},
                                {"DIALOG_USER_TYPE", 16, 0, 1, texts[0].data()},
                                {"MAXIMAL_RESOURCES", 17, 8, 4, &integers[1]},
                                {"RECOMMENDED_DELAY", 17, 8, 4, &integers[2]},
                                {"RFCSI_EXPORT", 12, rfcsi, 200, outcome.rfcsi.data()},
                                {"RFC_LOGIN_COMPLETE", 18, 0, 1, texts[1].data()},
                                {nullptr, 0, 0, 0, nullptr}};
    outcome.call_code = rfc.call(handle, "RFC_SYSTEM_INFO", none, no_tables);
    if (outcome.call_code == 0) {
      outcome.receive_code = rfc.receive(handle, importing, no_tables, &exception);
    }
  } else if (function == "GET_CPU_ALL") {
    RfcTypeHandle cpu_all = TypeHandle("CPU_ALL");
    RfcTableHandle table = rfc.it_create("TF_CPU_ALL", 48, 0, 0);
    std::string local_remote = "LOCAL ";
    std::string destination(32, ' ');
    RfcParameter exporting[] = {{"LOCAL_REMOTE", 12, 0, 6, local_remote.data()},
                                {"LOGICAL_DESTINATION", 19, 0, 32, destination.data()},
                                {nullptr, 0, 0, 0, nullptr}};
    RfcParameter importing[] = {{"ACTIVEFLAG", 10, 8, 4, &integers[0]},
                                {"DETAILSCOLL", 11, 8, 4, &integers[1]},
                                {"DETAILSMODE", 11, 8, 4, &integers[2]},
                                {"DETAILSREQI", 11, 8, 4, &integers[3]},
                                {"F_CPU_ALL_READ", 14, 0, 3, texts[0].data()},
                                {"INTERVAL", 8, 8, 4, &integers[4]},
                                {"LASTCOLLINT", 11, 8, 4, &integers[5]},
                                {"LASTCOLLWRT", 11, 0, 25, texts[1].data()},
                                {"NORMCOLLINT", 11, 8, 4, &integers[6]},
                                {"OP_SYSTEM", 9, 0, 52, texts[2].data()},
                                {nullptr, 0, 0, 0, nullptr}};
    RfcTable tables[] = {{"TF_CPU_ALL", 10, cpu_all, 0, table, 0, 0},
                         {nullptr, 0, 0, 0, nullptr, 0, 0}};
    outcome.call_code = rfc.call(handle, "GET_CPU_ALL", exporting, tables);
    if (outcome.call_code == 0) {
      outcome.receive_code = rfc.receive(handle, importing, tables, &exception);
    }
    for (uint32_t row = 1; outcome.receive_code == 0 && row <= rfc.it_fill(table); ++row) {
      const char* line = static_cast<const char*>(rfc.it_get_line(table, row));
      outcome.cpu_rows.emplace_back(line, 48);
    }
    rfc.it_delete(table);
  } else {
    RfcTypeHandle db02 = TypeHandle("DB02INFDB4");
    RfcTypeHandle missobj = TypeHandle("MISSOBJ");
    const char* names[] = {"ADDTL_INDEX", "ADDTL_TABLES", "ADDTL_VIEWS",
                           "MISS_INDEX",  "MISS_TABLES",  "MISS_VIEWS"};
    RfcTable tables[7] = {};
    for (int i = 0; i < 6; ++i) {
      tables[i] = {names[i],
                   static_cast<uint32_t>(std::strlen(names[i])),
                   missobj,
                   0,
                   rfc.it_create(names[i], 40, 0, 0),
                   0,
                   0};
    }
    RfcParameter none[] = {{nullptr, 0, 0, 0, nullptr}};
    RfcParameter importing[] = {{"API_QWCRSSTS_RC", 15, 8, 4, &integers[0]},
                                {"DB02_DISPLAYED_INFO", 19, db02, 120, outcome.db02.data()},
                                {nullptr, 0, 0, 0, nullptr}};
    outcome.call_code = rfc.call(handle, function.c_str(), none, tables);
    if (outcome.call_code == 0) {
      outcome.receive_code = rfc.receive(handle, importing, tables, &exception);
    }
    for (int i = 0; i < 6; ++i) rfc.it_delete(tables[i].table);
  }
  if (exception && (outcome.receive_code == 2 || outcome.receive_code == 3)) {
    outcome.exception = exception;
  }
  return outcome;
}

// The lines a file gained after `offset`, the size it had before.
class FileTail {
 public:
  explicit FileTail(std::string path) : path_(std::move(path)), offset_(ReadFile(path_).size()) {}
  std::vector<std::string> Lines() const {
    std::istringstream text(ReadFile(path_).substr(offset_));
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    return lines;
  }

 private:
  std::string path_;
  std::size_t offset_;
};

TEST(RfcOpenTest, OpensByHostAndSystemNumber) {
  FileTail journal("rfcsim.journal");
  RfcConnectionHandle handle = OpenPrd();
  ASSERT_NE(handle, 0u);
  rfc.close(handle);
  const std::string h = std::to_string(handle);
  EXPECT_EQ(journal.Lines(),
            (std::vector<std::string>{
                "RfcOpen dest=\"PRD\" mode=0 host=\"sapprd01\" sysnr=0 gwhost=null "
                "gwservice=null client=\"100\" user=\"MONITOR     \" password=\"secret    \" "
                "lang=\"E\" trace=0 -> " +
                    h,
                "RfcClose handle=" + h}));
}

TEST(RfcOpenTest, RefusedOpenLeavesTheReason) {
  static const struct {
    const char* host;
    int32_t sysnr;
    const char* client;
    const char* user;
    const char* password;
    const char* key;
    const char* message;
  } kCases[] = {
      {"sapprd01", 0, "100", "MONITOR     ", "wrong     ", "RFC_ERROR_LOGON_FAILURE",
       "Name or password is incorrect (repeat logon)"},
      {"sapprd01", 0, "100", "OTHER       ", "secret    ", "RFC_ERROR_LOGON_FAILURE",
       "Name or password is incorrect (repeat logon)"},
      {"sapprd01", 0, "999", "MONITOR     ", "secret    ", "RFC_ERROR_LOGON_FAILURE",
       "Client 999 is not available in this system"},
      {"nohost", 0, "100", "MONITOR     ", "secret    ", "RFC_ERROR_COMMUNICATION",
       "partner 'nohost:sapgw00' not reached"},
      {"sapprd01", 1, "100", "MONITOR     ", "secret    ", "RFC_ERROR_COMMUNICATION",
       "partner 'sapprd01:sapgw01' not reached"},
      {"sapoff01", 5, "100", "MONITOR     ", "secret    ", "RFC_ERROR_COMMUNICATION",
       "partner 'sapoff01:sapgw05' not reached"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(Open(c.host, c.sysnr, c.client, c.user, c.password), 0u) << c.host << c.user;
    RfcErrorInfo info = LastError();
    EXPECT_STREQ(info.key, c.key) << c.host << " " << c.user << c.password;
    EXPECT_STREQ(info.status, "RfcOpen") << c.host;
    EXPECT_STREQ(info.message, c.message) << c.host << " " << c.user << c.password;
  }
}

TEST(RfcOpenTest, FailedOpenAppendsTheDefaultTraceBlock) {
  FileTail trace("Dev_Rfc.Trc");
  ASSERT_EQ(Open("sapprd01", 0, "100", "MONITOR     ", "wrong     "), 0u);
  std::vector<std::string> lines = trace.Lines();
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0].rfind("**** ERROR file opened at ", 0), 0u) << lines[0];
  EXPECT_EQ(lines[1], "ERROR       Name or password is incorrect (repeat logon)");
  EXPECT_EQ(lines[2], "LOCATION    rfcsim system PRD");
  EXPECT_EQ(lines[3], "COMPONENT   RfcOpen");
  EXPECT_EQ(lines[4], "KEY         RFC_ERROR_LOGON_FAILURE");
  EXPECT_EQ(lines[5], "T:0000 ======> Name or password is incorrect (repeat logon)");
}

TEST(RfcOpenTest, ErrorHandlerCalledDuringOpen) {
  handler_operations.clear();
  EXPECT_EQ(Open("saphdl01", 3, "100", "MONITOR     ", "secret    "), 0u);
  EXPECT_EQ(handler_operations, std::vector<std::string>{"RfcOpen"});
  EXPECT_STREQ(LastError().message, "connection to partner 'saphdl01:sapgw03' broken");
}

// A record as the caller hands it over: every byte set, so that the test
// sees which bytes the library wrote.
RfcErrorInfoEx StainedRecord() {
  RfcErrorInfoEx info;
  std::memset(&info, 0xA5, sizeof info);
  return info;
}

// True when RfcOpenEx wrote every byte of the record: the texts terminated
// and zero-filled behind their terminators, the padding zero.
::testing::AssertionResult WrittenWhole(const RfcErrorInfoEx& info) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(&info);
  std::size_t key_end = offsetof(RfcErrorInfoEx, key) + std::strlen(info.key);
  std::size_t message_end = offsetof(RfcErrorInfoEx, message) + std::strlen(info.message);
  for (std::size_t at = offsetof(RfcErrorInfoEx, key); at < sizeof info; ++at) {
    bool text = at < key_end || (at >= offsetof(RfcErrorInfoEx, message) && at < message_end);
    if (!text && bytes[at] != 0) {
      return ::testing::AssertionFailure() << "byte " << at << " of " << sizeof info
                                           << " was left as " << int(bytes[at]);
    }
  }
  return ::testing::AssertionSuccess();
}

TEST(RfcOpenExTest, OpensTheDestinationOfSapRfcIniAndWritesTheWholeRecord) {
  std::ofstream("SapRfc.ini", std::ios::binary)
      << "DEST=QAS\r\nASHOST=nowhere\r\nSYSNR=09\r\n\r\n"
         "DEST=PRD\r\nTYPE=A\r\nASHOST=sapprd01\r\nSYSNR=00\r\n";
  FileTail journal("rfcsim.journal");
  const char* connect = "CLIENT=100 USER=MONITOR PASSWD=secret LANG=D DEST=PRD";
  RfcErrorInfoEx info = StainedRecord();
  RfcConnectionHandle handle = rfc.open_ex(connect, &info);
  ASSERT_NE(handle, 0u);
  rfc.close(handle);
  EXPECT_EQ(journal.Lines().at(0),
            "RfcOpenEx connect=\"" + std::string(connect) + "\" -> " + std::to_string(handle));
  EXPECT_EQ(info.group, 0);
  EXPECT_STREQ(info.key, "");
  EXPECT_TRUE(WrittenWhole(info));

  info = StainedRecord();
  EXPECT_EQ(rfc.open_ex("CLIENT=100 USER=MONITOR PASSWD=secret LANG=D DEST=DEV", &info), 0u);
  EXPECT_EQ(info.group, 3);
  EXPECT_STREQ(info.key, "RFC_ERROR_PROGRAM");
  EXPECT_STREQ(info.message, "destination DEV not found");
  EXPECT_TRUE(WrittenWhole(info));
  info = StainedRecord();
  EXPECT_EQ(rfc.open_ex("CLIENT=100 USER=MONITOR PASSWD=secret LANG=D DEST=QAS", &info), 0u);
  EXPECT_EQ(info.group, 1);
  EXPECT_STREQ(info.message, "partner 'nowhere:sapgw09' not reached");
  EXPECT_TRUE(WrittenWhole(info));
}

#if defined(__SANITIZE_ADDRESS__)
// The record of RfcLastError is 7 bytes shorter than that of RfcOpenEx. A
// caller that hands RfcOpenEx the shorter one must not go unnoticed: the
// stand-in writes the whole record, and AddressSanitizer ends the process.
TEST(RfcOpenExDeathTest, ARecordTooShortEndsTheSanitizedProcess) {
  auto open_with_short_record = [] {
    auto* short_record = new RfcErrorInfo{};
    rfc.open_ex("CLIENT=100 USER=MONITOR PASSWD=secret LANG=D DEST=PRD",
                reinterpret_cast<RfcErrorInfoEx*>(short_record));
    delete short_record;
    std::exit(0);
  };
  EXPECT_DEATH(open_with_short_record(), "heap-buffer-overflow");
}
#endif

TEST(RfcCallTest, SystemInfoLandsAtItsOffsets) {
  RfcConnectionHandle handle = OpenPrd();
  ASSERT_NE(handle, 0u);
  Outcome outcome = CallFunction(handle, "RFC_SYSTEM_INFO");
  rfc.close(handle);
  ASSERT_EQ(outcome.call_code, 0);
  ASSERT_EQ(outcome.receive_code, 0);
  const std::string record(outcome.rfcsi.data(), outcome.rfcsi.size());
  EXPECT_EQ(record.substr(13, 32), "sapprd01_PRD_00                 ");  // RFCDEST
  EXPECT_EQ(record.substr(45, 8), "prdhost ");                           // RFCHOST
  EXPECT_EQ(record.substr(53, 8), "PRD     ");                           // RFCSYSID
  EXPECT_EQ(record.substr(101, 10), "DB400     ");                       // RFCDBSYS
}

TEST(RfcCallTest, Db4InfoPacksTheSizes) {
  RfcConnectionHandle handle = OpenPrd();
  ASSERT_NE(handle, 0u);
  Outcome outcome = CallFunction(handle, "DB02_DB4_GET_INFO");
  rfc.close(handle);
  ASSERT_EQ(outcome.receive_code, 0);
  const std::string record(outcome.db02.data(), outcome.db02.size());
  EXPECT_EQ(record.substr(0, 10), "DB4       ");
  EXPECT_EQ(record.substr(10, 8), "20241210");
  EXPECT_EQ(record.substr(18, 6), "235959");
  EXPECT_EQ(record.substr(24, 8), "PRD     ");
  EXPECT_EQ(record.substr(44, 8), std::string("\x00\x00\x00\x00\x12\x34\x56\x7C", 8));
  EXPECT_EQ(record.substr(52, 8), std::string("\x00\x00\x00\x00\x00\x00\x99\x9D", 8));
  EXPECT_EQ(record.substr(60, 8), std::string("\x00\x00\x00\x00\x00\x00\x25\xFF", 8));
}

TEST(RfcCallTest, CpuRowsFillTheTable) {
  RfcConnectionHandle handle = OpenPrd();
  ASSERT_NE(handle, 0u);
  Outcome outcome = CallFunction(handle, "GET_CPU_ALL");
  rfc.close(handle);
  ASSERT_EQ(outcome.receive_code, 0);
  ASSERT_EQ(outcome.cpu_rows.size(), 2u);
  int16_t serial = 0;
  int32_t cpus = 0;
  std::memcpy(&serial, outcome.cpu_rows[1].data() + 4, sizeof serial);
  std::memcpy(&cpus, outcome.cpu_rows[1].data() + 8, sizeof cpus);
  EXPECT_EQ(serial, 2);
  EXPECT_EQ(cpus, 2);
}

TEST(RfcCallTest, ConfiguredFailures) {
  static const struct {
    const char* host;
    int32_t sysnr;
    const char* client;
    const char* function;
    int call_code;
    int receive_code;
    const char* exception;
  } kCases[] = {
      {"sapflr01", 1, "200", "GET_CPU_ALL", 1, -1, ""},
      {"sapflr01", 1, "200", "RFC_SYSTEM_INFO", 0, 23, ""},
      {"sapflr01", 1, "200", "DB02_DB4_GET_INFO", 0, 2, "NO_DB4_DATA"},
      {"sapsyx01", 2, "300", "RFC_SYSTEM_INFO", 0, 3, "SYSTEM_FAILURE"},
      {"sapprd01", 0, "100", "Z_UNKNOWN", 1, -1, ""},
  };
  for (const auto& c : kCases) {
    RfcConnectionHandle handle = Open(c.host, c.sysnr, c.client, "MONITOR", "secret");
    ASSERT_NE(handle, 0u) << c.host;
    Outcome outcome = CallFunction(handle, c.function);
    rfc.close(handle);
    EXPECT_EQ(outcome.call_code, c.call_code) << c.host << " " << c.function;
    EXPECT_EQ(outcome.receive_code, c.receive_code) << c.host << " " << c.function;
    EXPECT_EQ(outcome.exception, c.exception) << c.host << " " << c.function;
  }
}

TEST(RfcCallTest, FailureAppendsTheSystemsTraceLines) {
  RfcConnectionHandle handle = Open("sapflr01", 1, "200", "MONITOR", "secret");
  ASSERT_NE(handle, 0u);
  FileTail trace("Dev_Rfc.Trc");
  EXPECT_EQ(CallFunction(handle, "RFC_SYSTEM_INFO").receive_code, 23);
  rfc.close(handle);
  EXPECT_EQ(trace.Lines(),
            (std::vector<std::string>{"**** ERROR file opened by FLR", "ERROR       partner reset",
                                      "T:0001 ======> FLR trace text"}));
  EXPECT_STREQ(LastError().message, "RFC_SYSTEM_INFO failed with code 23");
}

TEST(RfcCallTest, ErrorHandlerCalledDuringCall) {
  RfcConnectionHandle handle = Open("sapsyx01", 2, "300", "MONITOR", "secret");
  ASSERT_NE(handle, 0u);
  handler_operations.clear();
  EXPECT_EQ(CallFunction(handle, "GET_CPU_ALL").call_code, 1);
  rfc.close(handle);
  EXPECT_EQ(handler_operations, std::vector<std::string>{"RfcCall GET_CPU_ALL"});
}

TEST(RfcCallTest, JournalShowsWhatWasPassed) {
  RfcConnectionHandle handle = OpenPrd();
  ASSERT_NE(handle, 0u);
  TypeHandle("RFCSI");
  TypeHandle("CPU_ALL");
  FileTail journal("rfcsim.journal");
  CallFunction(handle, "RFC_SYSTEM_INFO");
  CallFunction(handle, "GET_CPU_ALL");
  rfc.close(handle);
  const std::string h = std::to_string(handle);
  std::vector<std::string> lines = journal.Lines();
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[0], "RfcCall handle=" + h +
                          " function=\"RFC_SYSTEM_INFO\" exporting=none tables=none -> 0");
  EXPECT_EQ(lines[1],
            "RfcReceive handle=" + h +
                " function=\"RFC_SYSTEM_INFO\" importing=(\"CURRENT_RESOURCES\" namelen=17 "
                "type=8 length=4) (\"DIALOG_USER_TYPE\" namelen=16 type=0 length=1) "
                "(\"MAXIMAL_RESOURCES\" namelen=17 type=8 length=4) (\"RECOMMENDED_DELAY\" "
                "namelen=17 type=8 length=4) (\"RFCSI_EXPORT\" namelen=12 type=RFCSI "
                "length=200) (\"RFC_LOGIN_COMPLETE\" namelen=18 type=0 length=1) tables=none "
                "-> 0");
  EXPECT_EQ(lines[2], "ItCreate name=\"TF_CPU_ALL\" length=48 occupation=0 memory=0 -> ok");
  EXPECT_EQ(lines[3],
            "RfcCall handle=" + h +
                " function=\"GET_CPU_ALL\" exporting=(\"LOCAL_REMOTE\" namelen=12 type=0 "
                "length=6) (\"LOGICAL_DESTINATION\" namelen=19 type=0 length=32) "
                "tables=(\"TF_CPU_ALL\" namelen=10 type=CPU_ALL table=\"TF_CPU_ALL\") -> 0");
  EXPECT_EQ(lines.back(), "RfcClose handle=" + h);
}

TEST(InternalTableTest, LinesAndConfiguredFailures) {
  RfcTableHandle table = rfc.it_create("PLAIN", 40, 0, 0);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(rfc.it_fill(table), 0u);
  EXPECT_EQ(rfc.it_get_line(table, 1), nullptr);
  EXPECT_STREQ(LastError().message, "line 1 of internal table PLAIN cannot be read");
  EXPECT_EQ(rfc.it_delete(table), 0);

  EXPECT_EQ(rfc.it_create("BROKEN_CREATE", 40, 0, 0), nullptr);
  RfcErrorInfo info = LastError();
  EXPECT_STREQ(info.key, "RFC_ERROR_MEMORY_INSUFFICIENT");
  EXPECT_STREQ(info.status, "ItCreate BROKEN_CREATE");
  EXPECT_STREQ(info.message, "no memory for internal table BROKEN_CREATE");

  RfcTableHandle unreadable = rfc.it_create("BROKEN_GETLINE", 48, 0, 0);
  EXPECT_EQ(rfc.it_get_line(unreadable, 1), nullptr);
  EXPECT_STREQ(LastError().status, "ItGetLine BROKEN_GETLINE");
  EXPECT_EQ(rfc.it_delete(unreadable), 0);

  RfcTableHandle undeletable = rfc.it_create("BROKEN_DELETE", 40, 0, 0);
  EXPECT_EQ(rfc.it_delete(undeletable), 1);
  EXPECT_STREQ(LastError().message, "internal table BROKEN_DELETE cannot be deleted");
}

TEST(InterfaceCheckTest, WrongRecordLengthAborts) {
  TypeHandle("RFCSI");
  RfcConnectionHandle handle = OpenPrd();
  ASSERT_NE(handle, 0u);
  FileTail journal("rfcsim.journal");
  pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    std::FILE* errors = std::freopen("mismatch.err", "w", stderr);
    if (!errors) _exit(3);
    std::array<char, 200> rfcsi{};
    RfcParameter none[] = {{nullptr, 0, 0, 0, nullptr}};
    RfcParameter importing[] = {{"RFCSI_EXPORT", 12, TypeHandle("RFCSI"), 100, rfcsi.data()},
                                {nullptr, 0, 0, 0, nullptr}};
    char* exception = nullptr;
    if (rfc.call(handle, "RFC_SYSTEM_INFO", none, nullptr) != 0) _exit(4);
    rfc.receive(handle, importing, nullptr, &exception);
    _exit(0);  // not reached: the mismatch aborts
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status)) << "exit status " << WEXITSTATUS(status);
  EXPECT_EQ(WTERMSIG(status), SIGABRT);
  const std::string what =
      "rfcsim: interface mismatch: RfcReceive RFC_SYSTEM_INFO: parameter RFCSI_EXPORT has "
      "length 100, expected 200";
  EXPECT_EQ(ReadFile("mismatch.err"), what + "\n");
  std::vector<std::string> lines = journal.Lines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), what);
  rfc.close(handle);
}

}  // namespace
