# Cross-builds dice.exe for Windows with Debian's MinGW-w64, for DICE_MINGW_CPU: x86_64 (64-bit)
# or i686 (32-bit); and runs what it builds (tests, GoogleTest's discovery) under Wine of the
# same width.
set(DICE_MINGW_CPU x86_64 CACHE STRING "The processor to build dice.exe for: x86_64 or i686")
# Seen again by each try_compile of the configure step.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES DICE_MINGW_CPU)
set(target ${DICE_MINGW_CPU}-w64-mingw32)

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${DICE_MINGW_CPU})
# The posix thread model: GoogleTest needs std::mutex, which the win32 model lacks.
set(CMAKE_C_COMPILER ${target}-gcc-posix)  # GoogleTest asks for C too
set(CMAKE_CXX_COMPILER ${target}-g++-posix)
set(CMAKE_RC_COMPILER ${target}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${target})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Debian's wine64 package installs the 64-bit loader, wine32 the 32-bit one; neither is on the
# PATH until the wine package is installed.
if(DICE_MINGW_CPU STREQUAL "i686")
  find_program(DICE_WINE wine PATHS /usr/lib/wine NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  set(wine_arch win32)
else()
  find_program(DICE_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
  set(wine_arch win64)
endif()
if(DICE_WINE)
  # A Wine prefix of the build's own, quiet, and without the offer to install Mono or Gecko.
  set(CMAKE_CROSSCOMPILING_EMULATOR env WINEPREFIX=${CMAKE_BINARY_DIR}/wine WINEARCH=${wine_arch}
      WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= ${DICE_WINE})
endif()
