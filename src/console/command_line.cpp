#include "console/command_line.hpp"

#include <cstring>

#include "console/output.hpp"

namespace {

constexpr const char* HELP =
    "Usage: cosmic-distances [OPTION]\n"
    "How far the nearer stars and the planets are, in light years, kilometres and\n"
    "the time light needs; conversions between kilometres and light-travel time.\n"
    "\n"
    "The program is interactive: it clears the screen, shows its menus and reads\n"
    "each entry, a number, from standard input, which may as well be a script\n"
    "piped in. Other arguments are ignored.\n"
    "\n"
    "  -h, --help     display this help and exit\n"
    "      --version  output version information and exit\n"
    "\n"
    "Exit status:\n"
    "  0    at the end of input\n"
    "  255  after choice 0 at the main menu\n"
    "  1    if standard input cannot be read or standard output cannot be written\n"
    "\n"
    "Full documentation: man cosmic-distances\n";

// The version and the copyright line come from the build (the project's
// version and LICENSE), so that they cannot drift apart.
constexpr const char* VERSION =
    "cosmic-distances " COSMIC_VERSION "\n" COSMIC_COPYRIGHT
    "\n"
    "MIT licence: free to use, change and redistribute, with NO WARRANTY.\n";

bool is(const char* argument, const char* option) {
  return std::strcmp(argument, option) == 0;
}

}  // namespace

Request requested(int argc, const char* const argv[]) {
  for (int i = 1; i < argc; ++i) {
    const char* argument = argv[i];
    if (is(argument, "--")) break;
    if (is(argument, "--help") || is(argument, "-h")) return Request::help;
    if (is(argument, "--version")) return Request::version;
  }
  return Request::run;
}

void answer(Request request) {
  if (request == Request::run) return;
  write_text(request == Request::help ? HELP : VERSION);
  exit_program(0);
}
