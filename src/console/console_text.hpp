// Text typed at a Windows console, as the program reads it: each line ends
// in "\r\n" there and in "\n" here, and Ctrl-Z (0x1a) ends the input, the
// text typed before it on its line still read.
#pragma once

#include <cstddef>

// Makes the `count` bytes that one read of the console gave in `text` what
// the program reads, in place. Returns their new count; sets `*ended` when
// the input ended with them.
std::size_t console_text(char* text, std::size_t count, bool* ended);
