/* The least a C program can do to start up as the program does: flush, run
 * "clear" and "date" through the shell, write a prompt and read one entry.
 * Its time to the first prompt and its peak memory are what the program's
 * own start-up is compared with.
 */
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
