# Cross-compiles the Windows program (64-bit) with Debian's MinGW-w64
# compilers; the settings both architectures share are in mingw-w64-common.cmake.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KESTRELON_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
