/* The least a C program can do to start up as the program does: run "clear"
 * and "date" through the shell, prompt and read one entry. The yardstick of
 * the program's start-up time and peak memory. */
#include <stdio.h>
#include <stdlib.h>

int main(void) {
  fflush(stdout);
  if (system("clear") == -1) perror("clear");
  fflush(stdout);
  if (system("date") == -1) perror("date");
  fputs("\nPlease select an item from the menu:\\> ", stdout);
  fflush(stdout);
  int choice = 0;
  if (scanf("%i", &choice) != 1) return 0;
  return choice == 0 ? 255 : 0;
}
