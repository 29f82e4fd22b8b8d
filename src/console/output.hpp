// The program's output: standard output, fully buffered in one fixed buffer
// of 32 KiB. It is written out only where the program is about to wait for
// input, run a command or end, and whenever the buffer is full and more
// follows, so piped sessions are answered in large writes while every prompt
// is still on the screen before the program waits.
//
// Every write is checked. At the first failure the program writes
// "cosmic-distances: write error: <reason>" to standard error and ends with
// status 1, without reading or running anything more.
#pragma once

// Writes exactly `text`.
void write_text(const char* text);

// Writes `text` and a newline.
void write_line(const char* text);

// Writes `format` with its arguments as printf does. The text must be
// shorter than 1 KiB (the program's longest, two "%lf" of the largest
// doubles with their words, is under 700 bytes); a longer one is a
// programmer's error and aborts the program.
[[gnu::format(printf, 1, 2)]] void write_format(const char* format, ...);

// Hands everything buffered to the system now.
void flush_output();

// Flushes, then ends the process with `status`.
[[noreturn]] void exit_program(int status);

// Reports a failed read or write (`what`, with errno's message) on standard
// error and ends the process with status 1.
[[noreturn]] void fail(const char* what);
