# How this host runs what a cross-build makes (the tests, GoogleTest's discovery): a small program
# built for the target is run under the toolchain's runner and, for 32-bit x86 Linux, under
# qemu-i386 after that, as a kernel may refuse 32-bit programs ("Exec format error"). The first
# that prints what the program prints becomes CMAKE_CROSSCOMPILING_EMULATOR; where none does,
# DICE_TARGET_NOT_RUN says why, and the tests that run the target's programs are reported skipped.
# DICE_NO_32BIT_X86 takes the fallback on a host that does run 32-bit programs.

set(DICE_TARGET_NOT_RUN "")
if(NOT CMAKE_CROSSCOMPILING)
  return()
endif()

set(probe ${PROJECT_BINARY_DIR}/target-probe${CMAKE_EXECUTABLE_SUFFIX})
try_compile(probe_built
  SOURCE_FROM_CONTENT probe.cpp "#include <cstdio>\nint main() { std::puts(\"dice probe\"); }\n"
  LINK_OPTIONS $<$<BOOL:${MINGW}>:-static>
  COPY_FILE ${probe}
  NO_CACHE)
if(NOT probe_built)
  message(FATAL_ERROR "dice: cannot build a program for ${CMAKE_SYSTEM_PROCESSOR}")
endif()

function(dice_runs_probe result)
  execute_process(COMMAND ${ARGN} ${probe} OUTPUT_VARIABLE out ERROR_QUIET RESULT_VARIABLE status
                  TIMEOUT 300)  # Wine makes its prefix the first time
  if(status EQUAL 0 AND out STREQUAL "dice probe\n")
    set(${result} TRUE PARENT_SCOPE)
  else()
    set(${result} FALSE PARENT_SCOPE)
  endif()
endfunction()

set(x86_32 FALSE)
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^i[3-6]86$")
  set(x86_32 TRUE)
endif()
set(how "")
if(x86_32 AND DICE_NO_32BIT_X86)
  set(refused "DICE_NO_32BIT_X86 is set")
elseif(WIN32 AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(refused "no Wine was found (package wine64, or wine32 for 32-bit programs)")
else()
  dice_runs_probe(runs ${CMAKE_CROSSCOMPILING_EMULATOR})
  list(JOIN CMAKE_CROSSCOMPILING_EMULATOR " " runner)
  if(runs AND runner)
    set(how "under ${runner}")
  elseif(runs)
    set(how "on this host itself")
  elseif(WIN32)
    set(refused "Wine could not run a Windows program for ${CMAKE_SYSTEM_PROCESSOR} on this host")
  elseif(x86_32)
    set(refused "this host does not run 32-bit x86 programs")
  else()
    set(refused "a ${CMAKE_SYSTEM_PROCESSOR} program did not run under ${runner}")
  endif()
endif()

if(NOT how AND x86_32 AND NOT WIN32)
  find_program(DICE_QEMU_I386 qemu-i386 NO_CMAKE_FIND_ROOT_PATH)
  if(DICE_QEMU_I386)
    set(qemu ${DICE_QEMU_I386} -L ${CMAKE_FIND_ROOT_PATH})
    dice_runs_probe(runs ${qemu})
    if(runs)
      set(CMAKE_CROSSCOMPILING_EMULATOR ${qemu})
      set(how "under qemu-i386, as ${refused}")
    endif()
  else()
    string(APPEND refused ", and there is no qemu-i386 (package qemu-user)")
  endif()
endif()

if(how)
  message(STATUS "dice: ${CMAKE_SYSTEM_PROCESSOR} programs run ${how}")
else()
  unset(CMAKE_CROSSCOMPILING_EMULATOR)
  set(DICE_TARGET_NOT_RUN "${refused}")
  message(STATUS "dice: tests that run ${CMAKE_SYSTEM_PROCESSOR} programs are skipped: ${refused}")
endif()
