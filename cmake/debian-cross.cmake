# Cross-builds for another Debian architecture, DICE_DEBIAN_ARCH (arm64, armhf, i386, s390x, ...),
# with Debian's cross compiler for it (package g++-<GNU type>), and runs what it builds (tests,
# GoogleTest's discovery) under qemu-user with the target's own libraries: binfmt may not be set
# up. An x86-64 machine runs i386 programs itself, where its kernel lets it (target-runner.cmake).
set(DICE_DEBIAN_ARCH "" CACHE STRING "The Debian architecture to build for")
if(NOT DICE_DEBIAN_ARCH)
  message(FATAL_ERROR "set DICE_DEBIAN_ARCH to the Debian architecture to build for")
endif()
# Seen again by each try_compile of the configure step.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES DICE_DEBIAN_ARCH)

foreach(field GNU_TYPE GNU_CPU)
  execute_process(COMMAND dpkg-architecture -a${DICE_DEBIAN_ARCH} -qDEB_HOST_${field}
                  OUTPUT_VARIABLE target_${field} OUTPUT_STRIP_TRAILING_WHITESPACE
                  ERROR_QUIET COMMAND_ERROR_IS_FATAL ANY)
endforeach()

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${target_GNU_CPU})
set(CMAKE_C_COMPILER ${target_GNU_TYPE}-gcc)  # GoogleTest asks for C too
set(CMAKE_CXX_COMPILER ${target_GNU_TYPE}-g++)
set(CMAKE_FIND_ROOT_PATH /usr/${target_GNU_TYPE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

if(NOT DICE_DEBIAN_ARCH STREQUAL "i386")
  # qemu names its programs as the GNU type names the processor, but for little-endian POWER.
  string(REPLACE "powerpc64le" "ppc64le" qemu_cpu ${target_GNU_CPU})
  find_program(DICE_QEMU qemu-${qemu_cpu} REQUIRED NO_CMAKE_FIND_ROOT_PATH)
  # Every test runs on the oldest processor the port promises, so that code built for a newer
  # one fails the suite: ARM1176 is a Raspberry Pi Zero's or 1's ARMv6.
  set(oldest_armel arm1176)
  set(oldest_armhf cortex-a8)
  set(oldest_arm64 cortex-a53)
  set(oldest_ppc64el power8)
  set(oldest_riscv64 rv64)
  if(DEFINED oldest_${DICE_DEBIAN_ARCH})
    set(cpu -cpu ${oldest_${DICE_DEBIAN_ARCH}})
  endif()
  set(CMAKE_CROSSCOMPILING_EMULATOR ${DICE_QEMU} ${cpu} -L /usr/${target_GNU_TYPE})
endif()
