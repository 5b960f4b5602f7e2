# What configure picks to run a cross-build's programs, with stand-ins: a target program, and
# runners that run it, refuse it, or run it only with the target's libraries (-L).
# Usage: cmake -DSOURCE=SOURCE_DIR -DWORK=SCRATCH_DIR -P target_runner_test.cmake
cmake_minimum_required(VERSION 3.25)
include(${SOURCE}/cmake/target-runner.cmake)
file(MAKE_DIRECTORY ${WORK})

function(stand_in name body)
  file(WRITE ${WORK}/${name} "#!/bin/sh\n${body}\n")
  file(CHMOD ${WORK}/${name} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
endfunction()
stand_in(probe "echo dice probe")
stand_in(runs "exec \"$@\"")
stand_in(qemu-i386 "[ \"$1 $2\" = '-L /target' ] && shift 2 && exec \"$@\"; exit 1")
stand_in(refuses "exit 1")
set(CMAKE_FIND_ROOT_PATH /target)

# A target and what this host has (DICE_QEMU_I386 stands for what find_program would find), then
# the runner the tests must run under and a pattern for the reason they are skipped.
function(expect processor no_32bit emulator qemu want_runner want_reason)  # [want_said]
  set(CMAKE_SYSTEM_PROCESSOR ${processor})
  set(DICE_NO_32BIT_X86 ${no_32bit})
  set(CMAKE_CROSSCOMPILING_EMULATOR ${emulator})
  set(DICE_QEMU_I386 ${qemu})
  dice_choose_runner(${WORK}/probe)
  if(NOT "${CMAKE_CROSSCOMPILING_EMULATOR}" STREQUAL "${want_runner}" OR
     NOT "${DICE_TARGET_NOT_RUN}" MATCHES "${want_reason}" OR
     NOT "${DICE_TARGET_SAID}" MATCHES "${ARGV6}")
    message(SEND_ERROR "expect(${ARGV}): runs under '${CMAKE_CROSSCOMPILING_EMULATOR}', "
      "skipped for '${DICE_TARGET_NOT_RUN}', saying '${DICE_TARGET_SAID}'")
  endif()
endfunction()

# Debian's i386 is i686: with the option, its tests run under qemu-i386 with the target's
# libraries, or are skipped saying both why not.
expect(i686 ON "" ${WORK}/qemu-i386 "${WORK}/qemu-i386;-L;/target" "^$")
expect(i686 ON "" ${WORK}/refuses "" "^DICE_NO_32BIT_X86 is set, .*qemu-i386")
expect(i686 OFF ${WORK}/refuses ${WORK}/qemu-i386 "${WORK}/qemu-i386;-L;/target" "^$"
       ", as this host does not run 32-bit x86 programs$")
# Most x86-64 hosts run them themselves, with no runner and no qemu.
expect(i686 OFF "" ${WORK}/qemu-i386 "" "^$" "^i686 programs run on this host itself$")
# The option is about 32-bit x86 alone.
expect(aarch64 ON ${WORK}/runs ${WORK}/refuses ${WORK}/runs "^$")
expect(aarch64 ON ${WORK}/refuses ${WORK}/qemu-i386 "" "^aarch64 programs did not run under ")
