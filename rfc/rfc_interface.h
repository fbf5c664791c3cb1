/* The C interface of the SAP RFC library as this program uses it.
 *
 * The program loads the library at run time (librfc32.dll on a Windows PRTG
 * probe; the stand-in library of rfcsim/ in tests) and reaches it only
 * through the twelve functions and the records declared here.
 *
 * Conventions:
 * 1. Every function and the error-handler callback use RFC_CALL: stdcall on
 *    32-bit Windows, the platform's default elsewhere.
 * 2. Texts are zero-terminated and owned by the caller; the library copies
 *    what it keeps. Parameter and table arrays end with an entry whose name
 *    is NULL.
 * 3. A connection handle of 0 means "none": RfcOpen and RfcOpenEx answer 0
 *    when no connection was opened, and RfcLastError then tells why.
 * 4. Internal tables belong to the library from ItCreate to ItDelete; a
 *    line address from ItGetLine stays valid until the table changes.
 * 5. RfcCall and RfcReceive answer 0 on success, 1 on failure, 2 when the
 *    function module raised an exception and 3 on a system exception (the
 *    exception reference then points to the exception's name, owned by the
 *    library), any other value on other failures.
 * 6. When the library meets an error of its own it calls the error handler
 *    installed with RfcEnvironment, which may end the process.
 */
#ifndef KESTRELON_RFC_RFC_INTERFACE_H_
#define KESTRELON_RFC_RFC_INTERFACE_H_

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define RFC_CALL __stdcall
#else
#define RFC_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* A connection: unsigned 32-bit, 0 means none. */
typedef uint32_t RfcConnectionHandle;
/* An internal table; NULL means none. */
typedef void* RfcTableHandle;
/* The type handle of an installed structure; 0 until installed. */
typedef uint32_t RfcTypeHandle;

/* Type codes of fields and parameters. Codes 0 to 10; an installed
 * structure's type handle stands in place of a code for structured values. */
enum {
  kRfcTypeChar = 0,
  kRfcTypeDate = 1,
  kRfcTypePacked = 2,
  kRfcTypeTime = 3,
  kRfcTypeBytes = 4,
  kRfcTypeNumeric = 6,
  kRfcTypeFloat = 7,
  kRfcTypeInt = 8,
  kRfcTypeInt2 = 9,
  kRfcTypeInt1 = 10
};

/* One field row of a structure description (RfcInstallStructure). */
typedef struct RfcTypeElement {
  const char* name;
  uint32_t type;
  uint32_t length;
  uint32_t decimals;
  uint32_t offset;
} RfcTypeElement;

/* One exporting or importing parameter of a function module call. */
typedef struct RfcParameter {
  const char* name;
  uint32_t name_length;
  uint32_t type;
  uint32_t length;
  void* address;
} RfcParameter;

/* One table of a function module call. The program sets name, name length,
 * type and table handle only. */
typedef struct RfcTable {
  const char* name;
  uint32_t name_length;
  uint32_t type;
  uint32_t length;
  RfcTableHandle table;
  int32_t mode;
  int32_t new_table;
} RfcTable;

/* The last error of the library (RfcLastError): four zero-terminated texts. */
typedef struct RfcErrorInfo {
  char key[33];
  char status[128];
  char message[256];
  char internal_status[128];
} RfcErrorInfo;

/* The extended error record that RfcOpenEx fills: an error group (an enum
 * of the library, 4 bytes), then a key and a message. 550 bytes of fields,
 * padded to 552 by the group's alignment. The library may write it whole. */
typedef struct RfcErrorInfoEx {
  int32_t group;
  char key[33];
  char message[513];
} RfcErrorInfoEx;

typedef void(RFC_CALL* RfcErrorHandler)(const char* operation);
/* The library's size type is unsigned long: 32 bits on 64-bit Windows. */
typedef void*(RFC_CALL* RfcAllocator)(void* old_block, unsigned long size);

typedef struct RfcEnvironmentRecord {
  RfcErrorHandler error_handler;
  RfcAllocator allocator; /* NULL: the library's own */
} RfcEnvironmentRecord;

/* Connection options of mode 0 (an application server). */
typedef struct RfcServerOptions {
  const char* host;            /* NULL when empty */
  int32_t system_number;
  const char* gateway_host;    /* NULL when empty */
  const char* gateway_service; /* NULL when empty */
} RfcServerOptions;

/* Connection options of mode 1 (an R/2 system through a gateway). */
typedef struct RfcGatewayOptions {
  const char* gateway_host;    /* NULL when empty */
  const char* gateway_service; /* NULL when empty */
} RfcGatewayOptions;

typedef struct RfcOpenOptions {
  const char* destination;
  int32_t mode;              /* 1: RfcGatewayOptions, 0: RfcServerOptions */
  const void* connection;    /* the options record of the mode */
  const char* client;
  const char* user;
  const char* password;
  const char* language;
  int32_t trace;
} RfcOpenOptions;

/* The twelve functions, as pointer types for run-time loading. */
typedef void(RFC_CALL* RfcEnvironmentFunction)(RfcEnvironmentRecord* environment);
typedef RfcConnectionHandle(RFC_CALL* RfcOpenFunction)(RfcOpenOptions* options);
typedef RfcConnectionHandle(RFC_CALL* RfcOpenExFunction)(const char* connect_string,
                                                         RfcErrorInfoEx* error_info);
typedef void(RFC_CALL* RfcCloseFunction)(RfcConnectionHandle connection);
/* Answers an int, which the program ignores; the record tells the error. */
typedef int(RFC_CALL* RfcLastErrorFunction)(RfcErrorInfo* error_info);
typedef int(RFC_CALL* RfcInstallStructureFunction)(const char* name,
                                                   const RfcTypeElement* elements,
                                                   uint32_t element_count,
                                                   RfcTypeHandle* type_handle);
typedef int(RFC_CALL* RfcCallFunction)(RfcConnectionHandle connection, const char* function,
                                       RfcParameter* exporting, RfcTable* tables);
typedef int(RFC_CALL* RfcReceiveFunction)(RfcConnectionHandle connection,
                                          RfcParameter* importing, RfcTable* tables,
                                          char** exception);
typedef RfcTableHandle(RFC_CALL* ItCreateFunction)(const char* name, uint32_t line_length,
                                                   uint32_t occupation, uint32_t memory);
typedef uint32_t(RFC_CALL* ItFillFunction)(RfcTableHandle table);
typedef void*(RFC_CALL* ItGetLineFunction)(RfcTableHandle table, uint32_t line);
typedef int(RFC_CALL* ItDeleteFunction)(RfcTableHandle table);

#ifdef __cplusplus
}

/* On a 32-bit target the records have the library's layout exactly; on
 * 64-bit targets the pointers widen. */
static_assert(sizeof(RfcErrorInfo) == 545, "RfcErrorInfo is 545 bytes");
static_assert(sizeof(RfcErrorInfoEx) == 552, "RfcErrorInfoEx is 552 bytes");
static_assert(sizeof(RfcTypeElement) == sizeof(void*) + 16, "a field row");
#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(RfcParameter) == 20, "RfcParameter is 20 bytes");
static_assert(sizeof(RfcTable) == 28, "RfcTable is 28 bytes");
#endif
#endif

#endif /* KESTRELON_RFC_RFC_INTERFACE_H_ */
