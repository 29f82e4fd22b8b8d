// The manner in which every dialog talks to the user: the two rules of
// characters, the one complaint, and prompts that read one entry each.
#pragma once

// Writes 54 asterisks, no newline. Returns 0.
int stars();

// Writes 54 equals signs and a newline. Returns 0.
int line();

// The numeric test every integer entry of a menu or question passes right
// after it is read. It accepts every value and returns it unchanged; each
// dialog tests the range of its entries itself.
int numeriktest(int value);

// Writes the one complaint: an empty line, "incorrect entry!", the bell.
void complain();

// Write `prompt`, then read one entry: "%i" (base from the prefix), "%d"
// (decimal) or "%lf". Text that is not a number is discarded up to the next
// white space and complained about, and the prompt is written again. At the
// end of input the program writes a newline and ends with status 0.
int ask_integer(const char* prompt);
int ask_decimal(const char* prompt);
double ask_real(const char* prompt);

// The star and planet sub-menus: writes `menu`, asks with the sub-menus'
// prompt (a plain decimal), and shows the menu again, silently, until the
// choice is 0, 1 or 2. Then runs `single` on 1, `listing` on 2, nothing on 0.
void run_sub_menu(const char* menu, int (*single)(), void (*listing)());

// Runs a command through the system's command interpreter after flushing
// the output, so its output follows everything written before it.
void flush_and_run_command(const char* command);
