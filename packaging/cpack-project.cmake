# Read by cpack before it makes each package (CPACK_PROJECT_CONFIG_FILE).

# The time stamps in a package, as the same source gives the same bytes: those of the last
# changelog entry, as Debian's own tools take them, unless the caller sets its own.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH} AND CPACK_DICE_SOURCE_DATE_EPOCH)
  set(ENV{SOURCE_DATE_EPOCH} ${CPACK_DICE_SOURCE_DATE_EPOCH})
endif()

# A cross-built package's Depends: dpkg-shlibdeps finds the target's libraries where Debian's
# cross compilers keep them, /usr/<GNU type>/lib, but names them as those packages do
# (libc6:arm64, libgcc-s1-arm64-cross), where the program on its own machine needs plain libc6
# and libgcc-s1.
if(NOT CPACK_GENERATOR STREQUAL "DEB" OR NOT CPACK_DICE_CROSS_LIBRARIES)
  return()
endif()
set(work ${CPACK_PACKAGE_DIRECTORY}/_shlibdeps)
file(WRITE ${work}/debian/control "Source: dice\n\nPackage: dice\nArchitecture: any\n")
execute_process(COMMAND dpkg-shlibdeps -O -l${CPACK_DICE_CROSS_LIBRARIES} ${CPACK_DICE_PROGRAM}
                WORKING_DIRECTORY ${work} OUTPUT_VARIABLE substvars ERROR_QUIET
                COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE_RECURSE ${work})
set(arch ${CPACK_DEBIAN_PACKAGE_ARCHITECTURE})
string(REGEX REPLACE "^shlibs:Depends=" "" depends "${substvars}")
string(REGEX REPLACE ":${arch}|-${arch}-cross" "" depends "${depends}")
string(STRIP "${depends}" CPACK_DEBIAN_PACKAGE_DEPENDS)
