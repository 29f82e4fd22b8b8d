/* The yardstick for the whole-program runs: the same dialogs, menus and texts
 * written the plain C stdio way, with stdout left as the C library buffers it,
 * a flush before every read, scanf for every entry and long double for the
 * arithmetic. It consumes the scripts of make_session exactly as the program
 * does (one entry per prompt, "abc" complained about and asked again) and
 * writes output of much the same size; digits may differ in the last places.
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define STAR_COUNT 24
#define PLANET_COUNT 10
#define SUN (PLANET_COUNT - 1)

static const char* const STAR_NAMES[STAR_COUNT] = {
    "Bungula", "Sirius",   "Procyon", "Atair",      "Fomalhaut", "Vega",    "Arcturus", "Rigel",
    "Pollux",  "55Cancri", "Capella", "Aldebaran",  "Regulus",   "Agena",   "Achernar", "Acrux",
    "Spica",   "Antares",  "Canopus", "Betelgeuse", "Deneb",     "Alnitak", "Alnilam",  "Mintaka"};
static const char* const CONSTELLATIONS[STAR_COUNT] = {
    "Centaurus", "Canis Major", "Canis Minor", "Aquila",   "Piscis Austrinus", "Lyra",  "Bootes",
    "Orion",     "Gemini",      "Cancer",      "Auriga",   "Taurus",           "Leo",   "Centaurus",
    "Eridanus",  "Crux",        "Virgo",       "Scorpius", "Carina",           "Orion", "Cygnus",
    "Orion",     "Orion",       "Orion"};
static const float LIGHT_YEARS[STAR_COUNT] = {4.3f,   8.7f,   11.4f,   15.5f,   23.0f,   26.5f,
                                              37.0f,  32.5f,  34.0f,   41.0f,   45.0f,   68.0f,
                                              86.0f,  136.0f, 142.0f,  163.0f,  200.0f,  560.0f,
                                              550.0f, 650.0f, 1600.0f, 1800.0f, 1800.0f, 1800.0f};

static const char* const PLANET_NAMES[PLANET_COUNT] = {
    "Merkur", "Venus", "Earth", "Mars", "Jupiter", "Saturn", "Uranus", "Neptune", "Pluto", "Sun"};
static const double PLANET_KM[PLANET_COUNT] = {
    58000000.0,   108000000.0,  150000000.0,  228000000.0,  778000000.0,
    1427000000.0, 2869000000.0, 4498000000.0, 5900000000.0, 0.0};

static const long double C = 299792.46L;
static const long double YEAR_DAYS = 365.2422L;

static void stars(void) {
  fputs("******************************************************", stdout);
}
static void line(void) {
  puts("======================================================");
}
static void complain(void) {
  puts("\nincorrect entry!\a");
}

/* One entry after a flush; text that is not a number is skipped up to the
 * next white space, complained about and asked for again. */
static void entry(const char* prompt, const char* conversion, void* value) {
  fputs(prompt, stdout);
  for (;;) {
    fflush(stdout);
    const int got = scanf(conversion, value);
    if (got == 1) return;
    if (got == EOF) {
      putchar('\n');
      exit(0);
    }
    if (scanf("%*[^ \t\n\v\f\r]") == EOF) {
      putchar('\n');
      exit(0);
    }
    complain();
    fputs(prompt, stdout);
  }
}

static int ask_integer(const char* prompt) {
  int value = 0;
  entry(prompt, "%i", &value);
  return value;
}

static int ask_decimal(const char* prompt) {
  int value = 0;
  entry(prompt, "%d", &value);
  return value;
}

static double ask_real(const char* prompt) {
  double value = 0;
  entry(prompt, "%lf", &value);
  return value;
}

static const char* separator(const char* text) {
  const size_t length = strlen(text);
  return length < 8 ? "\t\t" : length < 16 ? "\t" : "";
}

static void star_dialog(void) {
  for (;;) {
    fputs(
        "\n1 Bungula\t2 Sirius\t3 Procyon\n4 Atair\t\t5 Fomalhaut\t6 Vega\n"
        "7 Arkturus\t8 Pollux\t9 55Cancri\n10 Capella\t11 Aldebaran\t12 Regulus\n"
        "13 Agena\t14 Achernar\t15 Acrux\n16 Spica\t17 Betelgeuse\t18 Antares\n"
        "19 Canopus\t20 Rigel\t21 Deneb\n22 Alnitak\t23 Alnilam\t24 Mintaka\n0 cancel\n",
        stdout);
    const int number = ask_integer("\nPlease select a star from the menu:\\> ");
    if (number == 0) return;
    if (number > STAR_COUNT || number < 0) {
      complain();
      continue;
    }
    const int row = number - 1;
    printf("\n%s in the constellation of %s is %.1f Lightyears\naway from Earth.\n",
           STAR_NAMES[row], CONSTELLATIONS[row], (double)LIGHT_YEARS[row]);
    const int answer = ask_integer("\nConvert into km?\t1 yes\t2 no:\\> ");
    if (answer == 1) {
      const double km = (double)((long double)LIGHT_YEARS[row] * 3600 * 24 * YEAR_DAYS * C);
      printf("\n%s in the constellation of %s is %.3lf kilometres\naway from Earth.\n",
             STAR_NAMES[row], CONSTELLATIONS[row], km);
    } else if (answer != 2) {
      complain();
    }
  }
}

static void star_list(void) {
  stars();
  puts("\nSun\t\tConstellation\t Distance(Lightyears)");
  line();
  for (int row = 0; row < STAR_COUNT; ++row) {
    printf("%s%s%s%s%7.1f \n", STAR_NAMES[row], separator(STAR_NAMES[row]), CONSTELLATIONS[row],
           separator(CONSTELLATIONS[row]), (double)LIGHT_YEARS[row]);
  }
  line();
  stars();
}

static void star_menu(void) {
  int choice;
  do {
    puts("\n\nSUN TO SUN DISTANCES\n");
    puts("1\tget a single distance");
    puts("2\tget complete list");
    puts("0\tcancel\n");
    choice = ask_decimal("Please select an item from the menu:\\> ");
  } while (choice < 0 || choice > 2);
  if (choice == 1) star_dialog();
  if (choice == 2) star_list();
}

static void light_time(double km, int* hours, int* minutes, double* seconds) {
  long double rest = km;
  *hours = (int)(rest / (3600 * C));
  rest = (double)(rest - (long double)*hours * 3600 * C);
  *minutes = (int)(rest / (60 * C));
  rest = (double)(rest - (long double)*minutes * 60 * C);
  *seconds = (double)(rest / C);
}

static void planet_report(int inner, int outer) {
  int h, m;
  double s;
  if (outer == SUN) {
    printf("\nThe average distance of planet %s to Sun equals %.0lf km\n", PLANET_NAMES[inner],
           PLANET_KM[inner]);
    if (ask_integer("\nWould you like to know, how long it would take the light to travel this "
                    "distance?\n1 yes\t2 no:\\> ") != 1)
      return;
    light_time(PLANET_KM[inner], &h, &m, &s);
    printf(
        "\nThe distance of planet %s to Sun takes the light %i hours,\n %i minutes und %lf "
        "seconds\n",
        PLANET_NAMES[inner], h, m, s);
    return;
  }
  const double conjunction = PLANET_KM[outer] - PLANET_KM[inner];
  const double opposition = PLANET_KM[outer] + PLANET_KM[inner];
  printf(
      "\nThe distance between %s and %s differs from %.0lf km\nin conjunction and %.0lf km "
      "in opposition.\n",
      PLANET_NAMES[inner], PLANET_NAMES[outer], conjunction, opposition);
  if (ask_integer("\nWould you like to know, how long it would take the light to travel these "
                  "distances?\n1 yes\t2 no:\\> ") != 1)
    return;
  light_time(conjunction, &h, &m, &s);
  printf("\nThe light is on its way %i hours,\n %i minutes und %lf seconds respective\n", h, m, s);
  light_time(opposition, &h, &m, &s);
  printf("%i hours, %i minutes und %lf seconds.\n", h, m, s);
}

static int on_menu(int n) {
  return n >= 1 && n <= PLANET_COUNT;
}
static int off_menu(int n) {
  return n < 0 || n > PLANET_COUNT;
}

static void planet_dialog(void) {
  int start, target;
  do {
    puts("\nDISTANCES WITHIN OUR SOLAR SYSTEM\n");
    fputs("1 Merkur\t2 Venus\t\t3 Earth\n4 Mars\t\t5 Jupiter\t6 Saturn\n", stdout);
    fputs("7 Uranus\t8 Neptune\t9 Pluto\n10 Sun\t\t0 cancel\n", stdout);
    start = ask_integer("\nPlease select a startplanet:\\> ");
    target = ask_integer("\nPlease select a target:\\> ");
    if (start == target) {
      fputs("\nThe distance is 0 km.\n", stdout);
    } else if (off_menu(start) || off_menu(target)) {
      start = target = 1;
      complain();
    } else if (start != 0 && target != 0) {
      const int inner = (start < target ? start : target) - 1;
      const int outer = (start < target ? target : start) - 1;
      planet_report(inner, outer);
    }
  } while (on_menu(start) && on_menu(target));
}

static void planet_list(void) {
  stars();
  puts("\nPlanet\t\tDistance from Sun(kilometres)");
  line();
  for (int row = 0; row < SUN; ++row) printf("%s\t\t%10.0f \n", PLANET_NAMES[row], PLANET_KM[row]);
  line();
  puts("average distances");
  stars();
}

static void planet_menu(void) {
  int choice;
  do {
    puts("\n\nTHE PLANETS OF OUR SOLAR SYSTEM\n");
    puts("1\tsingle distance");
    puts("2\tcomplete list");
    puts("0\tcancel\n");
    choice = ask_decimal("Please select an item from the menu:\\> ");
  } while (choice < 0 || choice > 2);
  if (choice == 1) planet_dialog();
  if (choice == 2) planet_list();
}

static const char* const UNITS[7] = {"lightseconds", "lightminutes", "lighthours", "lightdays",
                                     "lightweeks",   "lightmonths",  "lightyears"};
static const long double UNIT_SECONDS[7] = {1, 60, 3600, 86400, 604800, 2592000, 86400};

static void light_to_km(void) {
  puts("\nCONVERT LIGHTDISTANCES TO KM");
  puts("\nDistances that the light travels in");
  fputs("1 seconds\t2 minutes\t3 hours\n4 days\t\t5 weeks\t\t6 months\n7 years\t\t0 cancel\n",
        stdout);
  const int unit = ask_integer("Your selection:\\> ");
  if (unit > 7 || unit < 0) {
    complain();
    return;
  }
  if (unit == 0) return;
  char prompt[80];
  snprintf(prompt, sizeof prompt, "\nHow many %s would you like to convert to km?:\\> ",
           UNITS[unit - 1]);
  const double amount = ask_real(prompt);
  long double km = amount * UNIT_SECONDS[unit - 1];
  if (unit == 7) km *= YEAR_DAYS;
  km *= C;
  printf(unit <= 2 ? "%.1lf %s are %.2lf km.\n" : "%.1lf %s are %g km.\n", amount, UNITS[unit - 1],
         (double)km);
}

static void km_to_light(void) {
  static const long double UNIT_KM[6] = {9460528499561.357L, 777062056320.0L, 181314479808.0L,
                                         25902068544.0L,     1079252856.0L,   17987547.6L};
  puts("\nCONVERT DISTANCES IN KM TO LIGHTDISTANCES");
  double km = ask_real("\nPlease enter a distance in kilometres:\\> ");
  unsigned counts[6] = {0};
  if (km > 0 && km / UNIT_KM[0] >= 4294967296.0L) {
    complain();
    return;
  }
  for (int i = 0; i < 6; ++i) {
    if (km >= UNIT_KM[i]) {
      counts[i] = (unsigned)(km / UNIT_KM[i]);
      km = (double)(km - counts[i] * UNIT_KM[i]);
    }
  }
  printf("\nThe given distance equals\n%u lightyears\n", counts[0]);
  printf("%u lightmonths\n", counts[1]);
  printf("%u lightweeks\n", counts[2]);
  printf("%u lightdays\n", counts[3]);
  printf("%u lighthours\n", counts[4]);
  printf("%u lightminutes\n", counts[5]);
  printf("%lf lightseconds\n", km > 0 ? (double)(km / C) : 0.0);
}

static void light_menu(void) {
  puts("\nLIGHTDISTANCES");
  puts(
      "\n1\tconverting lightdistances to kilometres\n2\tconverting kilometres to lightdistances\n"
      "0\tcancel");
  switch (ask_integer("\nPlease select an item from the menu:\\> ")) {
    case 1:
      light_to_km();
      break;
    case 2:
      km_to_light();
      break;
    case 0:
      break;
    default:
      complain();
  }
}

int main(void) {
  fflush(stdout);
  if (system("clear") == -1) perror("clear");
  stars();
  puts(
      "\n* This program is meant to analyze distances to      *"
      "\n* celestial bodies in our neighborhood and thereby   *"
      "\n* to obtain a clearer knowledge of our location.     *");
  stars();
  fputs("\n", stdout);
  fflush(stdout);
  if (system("date") == -1) perror("date");
  for (;;) {
    puts("\n\nCOSMIC DISTANCES");
    fputs(
        "\n1\tsun to sun distances\n2\tdistances within our solar system\n3\tlightdistances\n"
        "0\texit\n\n",
        stdout);
    switch (ask_integer("\nPlease select an item from the menu:\\> ")) {
      case 1:
        star_menu();
        break;
      case 2:
        planet_menu();
        break;
      case 3:
        light_menu();
        break;
      case 0:
        exit(255);
      default:
        complain();
    }
  }
}
