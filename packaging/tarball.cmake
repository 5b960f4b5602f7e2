# Run by cpack once it has made the package (CPACK_POST_BUILD_SCRIPTS): the tarball for any Linux,
# dice-VERSION-ARCH-linux.tar.gz, beside it. The same source gives the same bytes:
# names sorted, owner root, modes fixed, times those of SOURCE_DATE_EPOCH (cpack-project.cmake),
# and gzip without a name or time.
set(name dice-${CPACK_PACKAGE_VERSION}-${CPACK_DICE_TARBALL_ARCH}-linux)
set(tarball ${CPACK_PACKAGE_DIRECTORY}/${name}.tar.gz)
set(stage ${CPACK_PACKAGE_DIRECTORY}/_tarball)
file(REMOVE_RECURSE ${stage})
file(MAKE_DIRECTORY ${stage}/${name})
# Stripped as the Debian package's program is, the compilers' names in .comment too.
execute_process(COMMAND ${CPACK_DICE_OBJCOPY} --strip-all --remove-section=.comment
                ${CPACK_DICE_STATIC_PROGRAM} ${stage}/${name}/dice COMMAND_ERROR_IS_FATAL ANY)
file(COPY ${CPACK_DICE_TARBALL_FILES} DESTINATION ${stage}/${name})
file(RENAME ${stage}/${name}/changelog ${stage}/${name}/CHANGELOG)
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(mtime --mtime=@$ENV{SOURCE_DATE_EPOCH})
endif()
execute_process(COMMAND tar --sort=name --owner=0 --group=0 --numeric-owner ${mtime}
                        --mode=u=rwX,go=rX -cf - ${name}
                COMMAND gzip -9n
                WORKING_DIRECTORY ${stage} OUTPUT_FILE ${tarball} COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE_RECURSE ${stage})
