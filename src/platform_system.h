#pragma once

// What each system does its own way, behind platform.h: platform_posix.cpp or
// platform_win32.cpp, as the build picks.

#include <cstddef>

// Makes standard input wait for data, whatever another program left it as.
void make_standard_input_blocking();

// Reads up to `size` bytes of standard input: the count read, 0 at its end, or -1 with errno set.
long read_standard_input(char* buffer, std::size_t size);
