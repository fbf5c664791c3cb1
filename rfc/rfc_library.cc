#include "rfc/rfc_library.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

#include <filesystem>

namespace {

#ifdef _WIN32

using LibraryHandle = HMODULE;

LibraryHandle OpenLibrary(const std::string& name) { return LoadLibraryA(name.c_str()); }

void* FindFunction(LibraryHandle library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(library, name));
}

std::string LibraryCandidate(std::string_view name) { return std::string(name); }

#else

using LibraryHandle = void*;

LibraryHandle OpenLibrary(const std::string& name) {
  return dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* FindFunction(LibraryHandle library, const char* name) { return dlsym(library, name); }

// The default library beside the program's own file.
std::string LibraryCandidate(std::string_view name) {
  std::error_code error;
  std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return std::string(name);
  return (program.parent_path() / name).string();
}

#endif

template <typename Function>
void Resolve(LibraryHandle handle, const char* name, Function& function,
             std::string& missing) {
  function = reinterpret_cast<Function>(FindFunction(handle, name));
  if (function == nullptr && missing.empty()) missing = name;
}

}  // namespace

std::string_view DefaultRfcLibraryName() {
#ifdef _WIN32
  return "librfc32.dll";
#else
  return "librfccm.so";
#endif
}

std::optional<std::string> LoadRfcLibrary(std::string_view requested, RfcLibrary& library) {
  std::string name(requested.empty() ? DefaultRfcLibraryName() : requested);
  LibraryHandle handle = nullptr;
  if (requested.empty()) handle = OpenLibrary(LibraryCandidate(name));
  if (handle == nullptr) handle = OpenLibrary(name);
  if (handle == nullptr) return "Error 1110: RFC-Library " + name + " is not available...";

  RfcLibrary found;
  std::string missing;
  Resolve(handle, "RfcEnvironment", found.RfcEnvironment, missing);
  Resolve(handle, "RfcOpen", found.RfcOpen, missing);
  Resolve(handle, "RfcOpenEx", found.RfcOpenEx, missing);
  Resolve(handle, "RfcClose", found.RfcClose, missing);
  Resolve(handle, "RfcLastError", found.RfcLastError, missing);
  Resolve(handle, "RfcInstallStructure", found.RfcInstallStructure, missing);
  Resolve(handle, "RfcCall", found.RfcCall, missing);
  Resolve(handle, "RfcReceive", found.RfcReceive, missing);
  Resolve(handle, "ItCreate", found.ItCreate, missing);
  Resolve(handle, "ItFill", found.ItFill, missing);
  Resolve(handle, "ItGetLine", found.ItGetLine, missing);
  Resolve(handle, "ItDelete", found.ItDelete, missing);
  if (!missing.empty()) {
    return "Error 1111: RFC-Library " + name + " lacks function " + missing + "...";
  }
  library = found;
  return std::nullopt;
}
