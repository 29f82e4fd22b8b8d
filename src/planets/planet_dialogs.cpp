#include "planets/planet_dialogs.hpp"

#include "catalogue/planets.hpp"
#include "console/console.hpp"
#include "console/output.hpp"
#include "light/light.hpp"

namespace {

constexpr const char* SUB_MENU =
    "\n\nTHE PLANETS OF OUR SOLAR SYSTEM\n\n1\tsingle distance\n2\tcomplete list\n0\tcancel\n\n";

bool on_menu(int number) {
  return number >= 1 && number <= PLANET_COUNT;
}

bool out_of_range(int number) {
  return number < 0 || number > PLANET_COUNT;
}

// Light-time answers other than 1 end the report silently.
bool wants_light_time(const char* question) {
  return numeriktest(ask_integer(question)) == 1;
}

void report_planet_and_sun(int row) {
  write_format("\nThe average distance of planet %s to Sun equals %.0lf km\n", PLANETENNAMEN[row],
               PLANETEN[row]);
  if (!wants_light_time("\nWould you like to know, how long it would take the light to travel "
                        "this distance?\n1 yes\t2 no:\\> "))
    return;
  const lichtzeit time = kmlicht1(PLANETEN[row]);
  write_format(
      "\nThe distance of planet %s to Sun takes the light %i hours,\n %i minutes und %lf "
      "seconds\n",
      PLANETENNAMEN[row], time.stunden, time.minuten, time.sekunden);
}

void report_two_planets(int inner, int outer) {
  const Separation apart = separation(PLANETEN[inner], PLANETEN[outer]);
  write_format(
      "\nThe distance between %s and %s differs from %.0lf km\nin conjunction and %.0lf km "
      "in opposition.\n",
      PLANETENNAMEN[inner], PLANETENNAMEN[outer], apart.conjunction, apart.opposition);
  if (!wants_light_time("\nWould you like to know, how long it would take the light to travel "
                        "these distances?\n1 yes\t2 no:\\> "))
    return;
  const lichtzeit first = kmlicht1(apart.conjunction);
  write_format("\nThe light is on its way %i hours,\n %i minutes und %lf seconds respective\n",
               first.stunden, first.minuten, first.sekunden);
  const lichtzeit second = kmlicht1(apart.opposition);
  write_format("%i hours, %i minutes und %lf seconds.\n", second.stunden, second.minuten,
               second.sekunden);
}

}  // namespace

int planet() {
  int start = 0;
  int target = 0;
  do {
    write_line("\nDISTANCES WITHIN OUR SOLAR SYSTEM\n");
    write_text("1 Merkur\t2 Venus\t\t3 Earth\n4 Mars\t\t5 Jupiter\t6 Saturn\n");
    write_text("7 Uranus\t8 Neptune\t9 Pluto\n10 Sun\t\t0 cancel\n");
    // Both numbers are always asked for, even after a 0.
    start = numeriktest(ask_integer("\nPlease select a startplanet:\\> "));
    target = numeriktest(ask_integer("\nPlease select a target:\\> "));
    if (start == target) {
      write_text("\nThe distance is 0 km.\n");
    } else if (out_of_range(start) || out_of_range(target)) {
      start = target = 1;
      complain();
    } else if (start != 0 && target != 0) {
      const int inner = (start < target ? start : target) - 1;
      const int outer = (start < target ? target : start) - 1;
      planetausgabe(inner, outer);
    }
  } while (on_menu(start) && on_menu(target));
  return 0;
}

void planetausgabe(int inner, int outer) {
  if (outer == SUN) {
    report_planet_and_sun(inner);
  } else {
    report_two_planets(inner, outer);
  }
}

void gesamt_planet() {
  stars();
  write_line("\nPlanet\t\tDistance from Sun(kilometres)");
  line();
  // The Sun, the last row, is not listed. "%10.0f" right-aligns every
  // distance of the table in 10 characters.
  for (int row = 0; row < SUN; ++row) {
    write_format("%s\t\t%10.0f \n", PLANETENNAMEN[row], PLANETEN[row]);
  }
  line();
  write_line("average distances");
  stars();
}

void vor_planet() {
  run_sub_menu(SUB_MENU, planet, gesamt_planet);
}
