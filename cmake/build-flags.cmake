# dice_build_flags: what our own targets are built with, as dice_core passes it on to everything
# that links it. Third-party code, such as GoogleTest built from source, keeps its own flags.
add_library(dice_build_flags INTERFACE)
if(MSVC)
  target_compile_options(dice_build_flags INTERFACE /W4 $<$<BOOL:${DICE_WARNINGS_AS_ERRORS}>:/WX>)
  # std::strerror is the standard's; strerror_s is Microsoft's alone.
  target_compile_definitions(dice_build_flags INTERFACE _CRT_SECURE_NO_WARNINGS)
else()
  target_compile_options(dice_build_flags INTERFACE
    -Wall -Wextra -Wpedantic -Wconversion -Wsign-conversion -Wshadow
    $<$<BOOL:${DICE_WARNINGS_AS_ERRORS}>:-Werror>)
endif()
if(NOT WIN32)
  # A 64-bit clock on 32-bit glibc ports too, whose time_t is otherwise 32 bits and ends in 2038.
  target_compile_definitions(dice_build_flags INTERFACE _TIME_BITS=64 _FILE_OFFSET_BITS=64)
endif()
if(MINGW)
  # One self-contained dice.exe: the C++ runtime linked in, so it needs only Windows' own DLLs;
  # and no link time in the PE header, so the same source gives the same dice.exe.
  target_link_options(dice_build_flags INTERFACE -static -Wl,--no-insert-timestamp)
endif()

if(DICE_DEBIAN_HARDENING)
  find_program(DPKG_BUILDFLAGS dpkg-buildflags)
  if(NOT DPKG_BUILDFLAGS)
    message(WARNING "no dpkg-buildflags (package dpkg-dev): built without Debian's hardening")
  endif()
endif()
if(DICE_DEBIAN_HARDENING AND DPKG_BUILDFLAGS)
  # Stack protector, _FORTIFY_SOURCE, full RELRO with immediate binding, as the distribution has
  # them now; the optimisation and debugging flags stay the build type's.
  if(NOT DEFINED ENV{DEB_BUILD_MAINT_OPTIONS})
    set(ENV{DEB_BUILD_MAINT_OPTIONS} hardening=+all)
  endif()
  if(DICE_DEBIAN_ARCH)
    set(ENV{DEB_HOST_ARCH} ${DICE_DEBIAN_ARCH})  # the flags of the port built for
  endif()
  foreach(kind IN ITEMS CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(COMMAND ${DPKG_BUILDFLAGS} --get ${kind} OUTPUT_VARIABLE flags
                    OUTPUT_STRIP_TRAILING_WHITESPACE WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                    COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    list(FILTER flags EXCLUDE REGEX "^-(O.?|g)$")
    if(kind STREQUAL "LDFLAGS")
      target_link_options(dice_build_flags INTERFACE ${flags})
    else()
      target_compile_options(dice_build_flags INTERFACE ${flags})
    endif()
  endforeach()
endif()
