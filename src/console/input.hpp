// Standard input as one ByteStream, read in large chunks. Before each read
// from the device, pending output is flushed: that is the one moment the
// program may have to wait, so every prompt is visible then, and never
// flushed more often. A read error ends the prompt's line, then the program
// with status 1.
#pragma once

#include "console/scan.hpp"

// The stream every entry of the program is read from.
ByteStream& standard_input();

// Forgets buffered input and any end of input seen (for in-process drivers
// that run the program more than once).
void reset_input();
