#include "rfc/rfc_library.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <filesystem>
#include <vector>

namespace {

#ifdef _WIN32

using LibraryHandle = HMODULE;

// The text of a Windows call that fills a buffer of UTF-16 characters and
// returns the length written (or the size needed when the buffer was too
// small, or 0 on failure); empty when it fails.
template <typename Call>
std::wstring WideText(Call call) {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    DWORD length = call(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

std::filesystem::path ProgramDirectory() {
  // GetModuleFileNameW cuts the name to the buffer and returns its size then.
  std::wstring program = WideText([](wchar_t* buffer, DWORD size) {
    DWORD length = GetModuleFileNameW(nullptr, buffer, size);
    return length < size ? length : size;
  });
  return program.empty() ? std::filesystem::path() : std::filesystem::path(program).parent_path();
}

// The directories a library is looked for in: the program's own directory,
// and for the default library also the system directories, never the
// working directory or PATH.
std::vector<std::filesystem::path> LibraryDirectories(bool is_default) {
  std::vector<std::filesystem::path> directories = {ProgramDirectory()};
  if (is_default) {
    directories.push_back(WideText(GetSystemDirectoryW));
    directories.push_back(WideText(GetWindowsDirectoryW));
  }
  return directories;
}

// The name as the program got it, in the ANSI code page, so that the file
// loaded is the one whose name was checked.
std::wstring WideName(std::string_view name) {
  const int size = static_cast<int>(name.size());
  std::wstring wide(MultiByteToWideChar(CP_ACP, 0, name.data(), size, nullptr, 0), L'\0');
  MultiByteToWideChar(CP_ACP, 0, name.data(), size, wide.data(), static_cast<int>(wide.size()));
  return wide;
}

// Loads the file at the full path `path`. The libraries it needs are looked
// for beside it and in System32 only; a Windows without that kind of search
// refuses the flags, and then the directory of the library comes first in
// the usual search.
LibraryHandle OpenLibrary(const std::filesystem::path& path) {
  LibraryHandle handle = LoadLibraryExW(
      path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (handle == nullptr && GetLastError() == ERROR_INVALID_PARAMETER) {
    handle = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  }
  return handle;
}

LibraryHandle OpenNamedLibrary(std::string_view name, bool is_default) {
  std::wstring wide = WideName(name);
  if (wide.empty()) return nullptr;
  for (const std::filesystem::path& directory : LibraryDirectories(is_default)) {
    if (directory.empty()) continue;
    if (LibraryHandle handle = OpenLibrary(directory / wide)) return handle;
  }
  return nullptr;
}

void* FindFunction(LibraryHandle library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(library, name));
}

#else

using LibraryHandle = void*;

// The library beside the program's own file, the only place it is loaded
// from: dlopen of a bare name would search the system's directories.
LibraryHandle OpenNamedLibrary(std::string_view name, bool /*is_default*/) {
  std::error_code error;
  std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error || program.empty()) return nullptr;
  std::string path = (program.parent_path() / name).string();
  return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* FindFunction(LibraryHandle library, const char* name) { return dlsym(library, name); }

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

bool IsPlainLibraryName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of("/\\:") == std::string_view::npos;
}

std::optional<std::string> LoadRfcLibrary(std::string_view requested, RfcLibrary& library) {
  std::string name(requested.empty() ? DefaultRfcLibraryName() : requested);
  LibraryHandle handle = nullptr;
  if (IsPlainLibraryName(name)) handle = OpenNamedLibrary(name, requested.empty());
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
