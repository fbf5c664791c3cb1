# Cross-compiles the Windows program (32-bit) with Debian's MinGW-w64
# compilers; the settings both architectures share are in mingw-w64-common.cmake.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KESTRELON_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
