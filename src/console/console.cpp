#include "console/console.hpp"

#include "console/input.hpp"
#include "console/output.hpp"
#include "console/platform.hpp"

namespace {

// Both rules are as wide as the start-up banner's box.
constexpr const char* STAR_ROW = "******************************************************";
constexpr const char* EQUALS_ROW = "======================================================";

// What a read found, with a missing number handled the one way every dialog
// shares: complain and ask again; the end of input ends the program.
bool accept(ScanResult result, const char* prompt) {
  switch (result) {  // GCOVR_EXCL_BR_LINE: the compiler's edge for a value outside the enumeration
    case ScanResult::number:
      return true;
    case ScanResult::no_number:
      complain();
      write_text(prompt);
      return false;
    case ScanResult::end_of_input:
      break;
  }
  write_text("\n");
  exit_program(0);
}

int ask_integer_in(IntegerBase base, const char* prompt) {
  write_text(prompt);
  int value = 0;
  while (!accept(scan_integer(standard_input(), base, &value), prompt)) {
  }
  return value;
}

}  // namespace

int stars() {
  write_text(STAR_ROW);
  return 0;
}

int line() {
  write_line(EQUALS_ROW);
  return 0;
}

int numeriktest(int value) {
  return value;
}

void complain() {
  write_line("\nincorrect entry!\a");
}

int ask_integer(const char* prompt) {
  return ask_integer_in(IntegerBase::from_prefix, prompt);
}

int ask_decimal(const char* prompt) {
  return ask_integer_in(IntegerBase::decimal, prompt);
}

double ask_real(const char* prompt) {
  write_text(prompt);
  double value = 0;
  while (!accept(scan_real(standard_input(), &value), prompt)) {
  }
  return value;
}

void run_sub_menu(const char* menu, int (*single)(), void (*listing)()) {
  int choice = 0;
  do {
    write_text(menu);
    choice = ask_decimal("Please select an item from the menu:\\> ");
  } while (choice < 0 || choice > 2);
  if (choice == 1) single();
  if (choice == 2) listing();
}

void flush_and_run_command(const char* command) {
  flush_output();
  platform::run_command(command);
}
