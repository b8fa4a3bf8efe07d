# Cross build for 64-bit Windows with mingw-w64 (Debian's g++-mingw-w64-x86-64),
# its tests run under Wine. Used by the "windows" preset:
#   cmake --workflow --preset windows
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw_prefix x86_64-w64-mingw32)
# The -posix variant has std::thread and std::mutex, which GoogleTest needs.
find_program(CMAKE_CXX_COMPILER NAMES ${mingw_prefix}-g++-posix REQUIRED)
find_program(CMAKE_C_COMPILER NAMES ${mingw_prefix}-gcc-posix)
find_program(CMAKE_RC_COMPILER NAMES ${mingw_prefix}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${mingw_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Linked statically, the runtime and winpthread included: the .exe needs no
# DLL beyond those every Windows has.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test programs, and the discovery of their tests, run under Wine.
find_program(VANTOR_WINE NAMES wine wine64 PATHS /usr/lib/wine)
if(VANTOR_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${VANTOR_WINE})
endif()
