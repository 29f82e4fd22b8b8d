// Start-up and the main menu: clear the screen, greet, show the date, then
// offer the three groups of functions until the user chooses 0. --help and
// --version are answered before any of it.

#include "console/command_line.hpp"
#include "console/console.hpp"
#include "console/output.hpp"
#include "light/light_dialogs.hpp"
#include "planets/planet_dialogs.hpp"
#include "stars/star_dialogs.hpp"

namespace {

// Each boxed line is exactly as wide as the rows of asterisks around it.
constexpr const char* BANNER =
    "\n* This program is meant to analyze distances to      *"
    "\n* celestial bodies in our neighborhood and thereby   *"
    "\n* to obtain a clearer knowledge of our location.     *";

constexpr const char* MAIN_MENU =
    "\n1\tsun to sun distances\n2\tdistances within our solar system\n3\tlightdistances\n"
    "0\texit\n\n";

constexpr const char* LIGHT_MENU =
    "\n1\tconverting lightdistances to kilometres\n2\tconverting kilometres to lightdistances\n"
    "0\tcancel";

// The main menu and the light-distance sub-menu share this prompt; the star
// and planet sub-menus use it without the leading newline.
constexpr const char* MENU_PROMPT = "\nPlease select an item from the menu:\\> ";

void start_up() {
  flush_and_run_command("clear");
  stars();
  write_line(BANNER);
  stars();
  write_text("\n");
  flush_and_run_command("date");
}

// One conversion, one cancel or one complaint, then back to the main menu.
void light_menu(int& light_choice) {
  write_line("\nLIGHTDISTANCES");
  write_line(LIGHT_MENU);
  light_choice = numeriktest(ask_integer(MENU_PROMPT));
  if (light_choice == 1) {
    lichtkm();
  } else if (light_choice == 2) {
    kmlicht();
  } else if (light_choice != 0) {
    complain();
  }
}

}  // namespace

int main(int argc, char* argv[]) {
  int choice = 0;
  int light_choice = 0;
  answer(requested(argc, argv));
  start_up();
  for (;;) {
    write_line("\n\nCOSMIC DISTANCES");
    write_text(MAIN_MENU);
    choice = numeriktest(ask_integer(MENU_PROMPT));
    switch (choice) {
      case 1:
        vor_sonnen();
        break;
      case 2:
        vor_planet();
        break;
      case 3:
        light_menu(light_choice);
        break;
      case 0:
        // Status 255, not 0: callers have long relied on choice 0 being
        // reported as -1.
        exit_program(-1);
      default:
        complain();
    }
  }
}
