# Cross-compiles the Windows program with Debian's
# MinGW-w64 compilers.
# The "-posix" compilers are used: the "-win32" ones lack std::thread and
# std::mutex. Everything links statically, so the executables and the DLL need
# no MinGW runtime DLLs beside them. Tests run under Wine through the emulator
# wrapper cmake/wine-run (each build keeps its own Wine prefix in its tree).
# The architecture files set CMAKE_SYSTEM_PROCESSOR and KESTRELON_MINGW_TRIPLET
# and include this one.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER   ${KESTRELON_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KESTRELON_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER  ${KESTRELON_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KESTRELON_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Release at -O2, as the Linux build's RelWithDebInfo: at -O3 GCC 12 warns
# falsely (-Wrestrict, GCC bug 105329) about std::string's inlined code.
set(CMAKE_C_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags of Release builds")
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags of Release builds")

set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# CTest runs the Windows tests through this: wine-run PREFIX PROGRAM ARGS,
# with the Wine prefix inside the build tree.
set(CMAKE_CROSSCOMPILING_EMULATOR
    "${CMAKE_CURRENT_LIST_DIR}/../wine-run;${CMAKE_BINARY_DIR}/wine-prefix")
