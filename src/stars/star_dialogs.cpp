#include "stars/star_dialogs.hpp"

#include <cstring>

#include "catalogue/stars.hpp"
#include "console/console.hpp"
#include "console/output.hpp"
#include "light/light.hpp"

namespace {

constexpr const char* SUB_MENU =
    "\n\nSUN TO SUN DISTANCES\n\n1\tget a single distance\n2\tget complete list\n0\tcancel\n\n";

// The star menu is a fixed text in an order of its own: number n reports
// catalogue row n - 1, whatever its label says ("8 Pollux" reports Rigel),
// and number 7 reads "Arkturus". Scripts are built on this numbering, so it
// stays as it is.
constexpr const char* STAR_MENU =
    "\n1 Bungula\t2 Sirius\t3 Procyon\n"
    "4 Atair\t\t5 Fomalhaut\t6 Vega\n"
    "7 Arkturus\t8 Pollux\t9 55Cancri\n"
    "10 Capella\t11 Aldebaran\t12 Regulus\n"
    "13 Agena\t14 Achernar\t15 Acrux\n"
    "16 Spica\t17 Betelgeuse\t18 Antares\n"
    "19 Canopus\t20 Rigel\t21 Deneb\n22 Alnitak\t23 Alnilam\t24 Mintaka\n0 cancel\n";

// Tab stops every 8 columns: the separator after a column of 16 characters
// that brings the next column to its start (constellations start in column
// 16, distances in column 32).
const char* separator(const char* text) {
  const std::size_t length = std::strlen(text);
  if (length < 8) return "\t\t";
  return length < 16 ? "\t" : "";
}

}  // namespace

void vor_sonnen() {
  run_sub_menu(SUB_MENU, sonnen, gesamt_sonnen);
}

int sonnen() {
  int number = 1;
  for (;;) {
    write_text(STAR_MENU);
    number = numeriktest(ask_integer("\nPlease select a star from the menu:\\> "));
    if (number == 0) return 0;
    if (number > STAR_COUNT || number < 0) {
      complain();
    } else {
      sonnenausgabe(number - 1);
    }
  }
}

void sonnenausgabe(int row) {
  write_format("\n%s in the constellation of %s is %.1f Lightyears\naway from Earth.\n",
               STERNE_NAMEN[row], STERNBILD[row], static_cast<double>(STERNE[row]));
  const int answer = numeriktest(ask_integer("\nConvert into km?\t1 yes\t2 no:\\> "));
  if (answer == 1) {
    const double km = lichtkm1(static_cast<double>(STERNE[row])).to_double();
    write_format("\n%s in the constellation of %s is %.3lf kilometres\naway from Earth.\n",
                 STERNE_NAMEN[row], STERNBILD[row], km);
  } else if (answer != 2) {
    complain();
  }
}

void gesamt_sonnen() {
  stars();
  write_line("\nSun\t\tConstellation\t Distance(Lightyears)");
  line();
  for (int row = 0; row < STAR_COUNT; ++row) {
    // "%7.1f" right-aligns every catalogue distance in 7 characters.
    write_format("%s%s%s%s%7.1f \n", STERNE_NAMEN[row], separator(STERNE_NAMEN[row]),
                 STERNBILD[row], separator(STERNBILD[row]), static_cast<double>(STERNE[row]));
  }
  line();
  stars();
}
