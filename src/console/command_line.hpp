// The command line. The program is interactive and needs no arguments; as
// GNU programs do, it answers --help (also -h) and --version and ends,
// without clearing the screen or reading anything. Every other argument is
// ignored, as it always was.
#pragma once

enum class Request { run, help, version };

// What the arguments ask for. The first --help, -h or --version decides,
// wherever it stands; "--" ends the options. Only whole words count:
// "--helpx", "-hv" and "help" are ignored like any other argument.
Request requested(int argc, const char* const argv[]);

// Writes the help or the version and ends the program with status 0 (a
// failed write ends it with status 1, as everywhere); returns for `run`.
void answer(Request request);
