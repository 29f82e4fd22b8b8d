// Writes a deterministic script of N entries for the program's dialogs to
// standard output: a walk through every menu and question, chosen by a fixed
// pseudo-random sequence, with some entries that are out of range or not
// numbers at all. The walk follows the dialogs' own rules, so every entry
// answers exactly one prompt and the script ends with 0 at the main menu:
// a run that consumed it all writes N prompts and exits with status 255.
//
//   make_session N [seed] > session.txt

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>

namespace {

struct Random {
  std::uint64_t state;
  std::uint64_t next() {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
  }
  int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
  int between(int lo, int hi) { return lo + below(hi - lo + 1); }
  // True with probability percent / 100.
  bool chance(int percent) { return below(100) < percent; }
};

enum class At {
  main_menu,
  star_menu,
  star_number,
  star_answer,
  planet_menu,
  planet_start,
  planet_target,
  planet_answer,
  light_menu,
  light_unit,
  light_amount,
  light_km,
};

// Amounts of light time and distances in kilometres as people type them,
// some far out of the usual range; "abc" is complained about and asked again.
constexpr const char* AMOUNTS[] = {"1",   "2.5", "4.3",  "12",    "0.5",    "1e3",
                                   "365", "8.6", "1e-3", "0x1p4", "100000", "-2"};
constexpr const char* KILOMETRES[] = {
    "1e15", "150000000",          "9.46e12", "384400",    "4.2e13", "1", "0", "-5", "5.9e9", "1e17",
    "1e30", "100000000000000000", "2.5e+14", "17987547.6"};

class Session {
 public:
  Session(long entries, std::uint64_t seed) : total_(entries), random_{seed} {}

  void write() {
    // Wander freely while there is room to find the way back to the main
    // menu (at most three entries) and leave with 0.
    while (written_ < total_ - 4) step();
    while (at_ != At::main_menu) leave();
    while (written_ < total_ - 1) put("9");  // complained about; stays at the main menu
    put("0");
    std::fputc('\n', stdout);
  }

 private:
  void put(const char* token) {
    if (written_ > 0) std::fputc(random_.chance(10) ? ' ' : '\n', stdout);
    std::fputs(token, stdout);
    ++written_;
  }
  void put(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    put(text);
  }

  // One entry at the current prompt, and where the program goes with it.
  void step() {
    if (random_.chance(1)) {  // not a number: complaint, same prompt again
      put("abc");
      return;
    }
    switch (at_) {
      case At::main_menu: {
        const int r = random_.below(100);
        if (r < 30) {
          put(r < 28 ? "1" : "0x1");
          at_ = At::star_menu;
        } else if (r < 60) {
          put(r < 58 ? "2" : "02");
          at_ = At::planet_menu;
        } else if (r < 95) {
          put(r < 93 ? "3" : "0x3");
          at_ = At::light_menu;
        } else {
          put(r < 98 ? "7" : "100000000000000000");  // out of range: complaint
        }
        break;
      }
      case At::star_menu: {
        const int r = random_.below(100);
        if (r < 80) {
          put(1);
          at_ = At::star_number;
        } else if (r < 90) {
          put(2);  // the whole catalogue
          at_ = At::main_menu;
        } else if (r < 95) {
          put(0);
          at_ = At::main_menu;
        } else {
          put(5);  // the sub-menu is shown again
        }
        break;
      }
      case At::star_number: {
        const int r = random_.below(100);
        if (r < 85) {
          put(random_.between(1, 24));
          at_ = At::star_answer;
        } else if (r < 97) {
          put(0);
          at_ = At::main_menu;
        } else {
          put(r < 99 ? 25 : -1);  // complaint, the star menu again
        }
        break;
      }
      case At::star_answer: {
        const int r = random_.below(100);
        put(r < 50 ? 1 : r < 95 ? 2 : 3);  // 3: complaint
        at_ = At::star_number;
        break;
      }
      case At::planet_menu: {
        const int r = random_.below(100);
        if (r < 80) {
          put(1);
          at_ = At::planet_start;
        } else if (r < 90) {
          put(2);  // the table of planets
          at_ = At::main_menu;
        } else if (r < 95) {
          put(0);
          at_ = At::main_menu;
        } else {
          put(3);  // the sub-menu is shown again
        }
        break;
      }
      case At::planet_start: {
        const int r = random_.below(100);
        start_ = r < 88 ? random_.between(1, 10) : r < 97 ? 0 : 11;
        put(start_);
        at_ = At::planet_target;
        break;
      }
      case At::planet_target: {
        const int r = random_.below(100);
        const int target = r < 5 ? start_ : r < 10 ? 0 : random_.between(1, 10);
        put(target);
        at_ = after_pair(start_, target);
        break;
      }
      case At::planet_answer:
        put(random_.chance(60) ? 1 : 2);
        at_ = At::planet_start;
        break;
      case At::light_menu: {
        const int r = random_.below(100);
        if (r < 50) {
          put(1);
          at_ = At::light_unit;
        } else if (r < 95) {
          put(2);
          at_ = At::light_km;
        } else {
          put(r < 98 ? 0 : 9);  // 9: complaint
          at_ = At::main_menu;
        }
        break;
      }
      case At::light_unit: {
        const int r = random_.below(100);
        if (r < 95) {
          put(random_.between(1, 7));
          at_ = At::light_amount;
        } else {
          put(r < 98 ? 0 : 8);  // 8: complaint
          at_ = At::main_menu;
        }
        break;
      }
      case At::light_amount:
        put(AMOUNTS[random_.below(std::size(AMOUNTS))]);
        at_ = At::main_menu;
        break;
      case At::light_km:
        put(KILOMETRES[random_.below(std::size(KILOMETRES))]);
        at_ = At::main_menu;
        break;
    }
  }

  // The planet dialog after a start and a target: the same number reports 0
  // km, a number off the menu is complained about, two planets are reported
  // and asked about, and the dialog goes on while both were on the menu.
  static At after_pair(int start, int target) {
    const auto on_menu = [](int n) { return n >= 1 && n <= 10; };
    const auto off_menu = [](int n) { return n < 0 || n > 10; };
    if (start == target) return on_menu(start) ? At::planet_start : At::main_menu;
    if (off_menu(start) || off_menu(target)) return At::planet_start;
    if (start != 0 && target != 0) return At::planet_answer;
    return At::main_menu;
  }

  // The shortest way out of the current dialog towards the main menu.
  void leave() {
    switch (at_) {
      case At::star_answer:
        put(2);
        at_ = At::star_number;
        break;
      case At::planet_answer:
        put(2);
        at_ = At::planet_start;
        break;
      case At::planet_start:
        start_ = 0;
        put(0);
        at_ = At::planet_target;
        break;
      case At::planet_target: {
        // 0 after a start on the menu leaves; so does the same number again.
        const int target = (start_ >= 0 && start_ <= 10) ? 0 : start_;
        put(target);
        at_ = after_pair(start_, target);
        break;
      }
      case At::light_amount:
        put("1");
        at_ = At::main_menu;
        break;
      case At::light_km:
        put("1e15");
        at_ = At::main_menu;
        break;
      default:
        put(0);
        at_ = At::main_menu;
        break;
    }
  }

  long total_;
  long written_ = 0;
  Random random_;
  At at_ = At::main_menu;
  int start_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: make_session ENTRIES [SEED] > script\n");
    return 2;
  }
  const long entries = std::strtol(argv[1], nullptr, 10);
  if (entries < 5) {
    std::fprintf(stderr, "make_session: at least 5 entries\n");
    return 2;
  }
  const std::uint64_t seed = argc == 3 ? std::strtoull(argv[2], nullptr, 0) : 20240601;
  static char buffer[1 << 16];
  std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
  Session(entries, seed | 1).write();
  return std::fflush(stdout) == 0 ? 0 : 1;
}
