# Cross build for 32-bit x86 Windows with the mingw-w64 compiler (Debian g++-mingw-w64-i686,
# posix threads variant), the platform the host runs on. Programs and tests run under Wine.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(KFR_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${KFR_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KFR_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KFR_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KFR_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# SSE2 arithmetic instead of the x87 unit, whose 80-bit intermediates round differently from
# the 64-bit build: the same take must give the same keys on both.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")

# libgcc, libstdc++ and winpthread linked in, so that a program, the host library and a module
# need no runtime library beside them (msvcrt.dll is part of Windows).
foreach(kind EXE SHARED MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS_INIT "-static")
endforeach()

# Tests and build steps that run a program start it under Wine, quietly, without a display,
# in a Wine folder of this build's own.
find_program(KFR_WINE wine)
if(KFR_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      "${CMAKE_COMMAND};-E;env;--unset=DISPLAY;--unset=WAYLAND_DISPLAY"
      "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix;WINEDEBUG=-all;WINEDLLOVERRIDES=mscoree,mshtml="
      "${KFR_WINE}")
endif()
