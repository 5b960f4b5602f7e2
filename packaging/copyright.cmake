# Writes Debian's machine-readable copyright file from LICENSE.
# Usage: cmake -DLICENSE=path -DOUTPUT=path -P copyright.cmake
file(READ "${LICENSE}" text)
string(REGEX REPLACE "^MIT License\n\n" "" text "${text}")
string(REGEX MATCH "Copyright \\(c\\) ([^\n]*)" _ "${text}")
set(holder "${CMAKE_MATCH_1}")
string(REGEX REPLACE "^[^\n]*\n\n" "" text "${text}")  # the notice goes in Copyright:
string(STRIP "${text}" text)
string(REPLACE "\n\n" "\n.\n" text "${text}")
string(REPLACE "\n" "\n " text "${text}")
file(WRITE "${OUTPUT}" "\
Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: dice

Files: *
Copyright: ${holder}
License: Expat
 ${text}
")
