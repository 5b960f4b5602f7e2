# How this host runs what a cross-build makes (the tests, GoogleTest's discovery): a small program
# built for the target is run under the toolchain's runner and, for 32-bit x86 Linux, under
# qemu-i386 after that, as a kernel may refuse 32-bit programs ("Exec format error"). The first
# that prints what the program prints becomes CMAKE_CROSSCOMPILING_EMULATOR; where none does,
# DICE_TARGET_NOT_RUN says why, and the tests that run the target's programs are reported skipped.
# DICE_NO_32BIT_X86 takes the fallback on a host that does run 32-bit programs.

# Runs `probe` under the runner's words (none: on this host itself); true if it printed its line.
function(dice_runs_probe result probe)
  execute_process(COMMAND ${ARGN} ${probe} OUTPUT_VARIABLE out ERROR_QUIET RESULT_VARIABLE status
                  TIMEOUT 300)  # Wine makes its prefix the first time
  if(status EQUAL 0 AND out STREQUAL "dice probe\n")
    set(${result} TRUE PARENT_SCOPE)
  else()
    set(${result} FALSE PARENT_SCOPE)
  endif()
endfunction()

# Sets CMAKE_CROSSCOMPILING_EMULATOR to the words that ran `probe`, and DICE_TARGET_NOT_RUN to
# why nothing did.
function(dice_choose_runner probe)
  set(x86_32 FALSE)
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "^i[3-6]86$")
    set(x86_32 TRUE)
  endif()
  set(runner ${CMAKE_CROSSCOMPILING_EMULATOR})
  list(JOIN runner " " named)
  set(runs FALSE)
  set(fallback "")
  if(x86_32 AND DICE_NO_32BIT_X86)
    set(refused "DICE_NO_32BIT_X86 is set")
  elseif(WIN32 AND NOT runner)
    set(refused "no Wine was found (package wine64, or wine32 for 32-bit programs)")
  else()
    dice_runs_probe(runs ${probe} ${runner})
    if(WIN32)
      set(refused "Wine could not run a Windows program for ${CMAKE_SYSTEM_PROCESSOR} on this host")
    elseif(x86_32)
      set(refused "this host does not run 32-bit x86 programs")
    else()
      set(refused "${CMAKE_SYSTEM_PROCESSOR} programs did not run under ${named}")
    endif()
  endif()

  if(NOT runs AND x86_32 AND NOT WIN32)
    find_program(DICE_QEMU_I386 qemu-i386 NO_CMAKE_FIND_ROOT_PATH)
    if(DICE_QEMU_I386)
      # The tests run under the very words that ran the probe.
      set(runner ${DICE_QEMU_I386} -L ${CMAKE_FIND_ROOT_PATH})
      dice_runs_probe(runs ${probe} ${runner})
      set(fallback ", as ${refused}")
      string(APPEND refused ", and qemu-i386 could not run them either")
    else()
      string(APPEND refused ", and there is no qemu-i386 (package qemu-user)")
    endif()
  endif()

  if(runs AND runner)
    list(JOIN runner " " named)
    set(said "${CMAKE_SYSTEM_PROCESSOR} programs run under ${named}${fallback}")
  elseif(runs)
    set(said "${CMAKE_SYSTEM_PROCESSOR} programs run on this host itself")
  else()
    set(runner "")
    set(said "tests that run ${CMAKE_SYSTEM_PROCESSOR} programs are skipped: ${refused}")
  endif()
  message(STATUS "dice: ${said}")
  set(DICE_TARGET_SAID "${said}" PARENT_SCOPE)  # what configure told, for its test
  set(CMAKE_CROSSCOMPILING_EMULATOR ${runner} PARENT_SCOPE)
  if(runs)
    set(DICE_TARGET_NOT_RUN "" PARENT_SCOPE)
  else()
    set(DICE_TARGET_NOT_RUN "${refused}" PARENT_SCOPE)
  endif()
endfunction()

# Said in the results as skipped, with the reason, rather than left out unseen.
function(add_skipped_test name reason)
  if(NOT reason)
    message(FATAL_ERROR "dice: test ${name} would be skipped without a reason")
  endif()
  add_test(NAME ${name} COMMAND ${CMAKE_COMMAND} -E echo "skipped: ${reason}")
  set_tests_properties(${name} PROPERTIES SKIP_REGULAR_EXPRESSION "^skipped: ")
endfunction()

# A test that runs a program of this build, where this host can run it.
function(add_program_test name)
  if(DICE_TARGET_NOT_RUN)
    add_skipped_test(${name} "${DICE_TARGET_NOT_RUN}")
  else()
    add_test(NAME ${name} COMMAND ${ARGN})
  endif()
endfunction()

set(DICE_TARGET_NOT_RUN "")
if(NOT CMAKE_CROSSCOMPILING)  # (nor in a script, which only wants the functions)
  return()
endif()

set(probe ${PROJECT_BINARY_DIR}/target-probe${CMAKE_EXECUTABLE_SUFFIX})
# Linked as the program is (dice_build_flags: cmake/build-flags.cmake), so that a program that
# runs here tells whether the program would: a 32-bit dice.exe needs no libgcc DLL, say.
get_target_property(program_link_options dice_build_flags INTERFACE_LINK_OPTIONS)
if(program_link_options)
  set(program_link_options LINK_OPTIONS ${program_link_options})
else()
  set(program_link_options "")
endif()
try_compile(probe_built
  SOURCE_FROM_CONTENT probe.cpp "#include <cstdio>\nint main() { std::puts(\"dice probe\"); }\n"
  ${program_link_options}
  COPY_FILE ${probe}
  NO_CACHE)
if(NOT probe_built)
  message(FATAL_ERROR "dice: cannot build a program for ${CMAKE_SYSTEM_PROCESSOR}")
endif()
dice_choose_runner(${probe})
