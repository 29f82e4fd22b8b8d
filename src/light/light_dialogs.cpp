#include "light/light_dialogs.hpp"

#include "console/console.hpp"
#include "console/output.hpp"
#include "light/light.hpp"

namespace {

// Per light-time unit, in the order of the selection menu. The two short
// units give kilometres with two decimals, the longer ones in "%g" form.
struct LightTimeDialog {
  const char* prompt;
  const char* result_format;
};

constexpr LightTimeDialog LIGHT_TIME_DIALOGS[LIGHT_TIME_UNIT_COUNT] = {
    {"\nHow many lightseconds would you like to convert to km?:\\> ",
     "%.1lf lightseconds are %.2lf km.\n"},
    {"\nHow many lightminutes would you like to convert to km?:\\> ",
     "%.1lf lightminutes are %.2lf km.\n"},
    {"\nHow many lighthours would you like to convert to km?:\\> ",
     "%.1lf lighthours are %g km.\n"},
    {"\nHow many lightdays would you like to convert to km?:\\> ", "%.1lf lightdays are %g km.\n"},
    {"\nHow many lightweeks would you like to convert to km?:\\> ",
     "%.1lf lightweeks are %g km.\n"},
    {"\nHow many lightmonths would you like to convert to km?:\\> ",
     "%.1lf lightmonths are %g km.\n"},
    {"\nHow many lightyears would you like to convert to km?:\\> ",
     "%.1lf lightyears are %g km.\n"}};

void write_breakdown(const LightBreakdown& b) {
  write_format("\nThe given distance equals\n%u lightyears\n", b.years);
  write_format("%u lightmonths\n", b.months);
  write_format("%u lightweeks\n", b.weeks);
  write_format("%u lightdays\n", b.days);
  write_format("%u lighthours\n", b.hours);
  write_format("%u lightminutes\n", b.minutes);
  write_format("%lf lightseconds\n", b.seconds);
}

}  // namespace

int lichtkm() {
  write_line("\nCONVERT LIGHTDISTANCES TO KM");
  write_line("\nDistances that the light travels in");
  write_text("1 seconds\t2 minutes\t3 hours\n4 days\t\t5 weeks\t\t6 months\n7 years\t\t0 cancel\n");
  const int unit = numeriktest(ask_integer("Your selection:\\> "));
  if (unit > LIGHT_TIME_UNIT_COUNT || unit < 0) {
    complain();
    return 0;
  }
  if (unit == 0) return 0;
  const LightTimeDialog& dialog = LIGHT_TIME_DIALOGS[unit - 1];
  const double amount = ask_real(dialog.prompt);
  const double km = to_kilometres(amount, LIGHT_TIME_CHAINS[unit - 1]).to_double();
  write_format(dialog.result_format, amount, km);
  return 0;
}

int kmlicht() {
  write_line("\nCONVERT DISTANCES IN KM TO LIGHTDISTANCES");
  const double km = ask_real("\nPlease enter a distance in kilometres:\\> ");
  LightBreakdown breakdown;
  // Beyond 2^32 light years the count cannot be printed truthfully; a
  // wrapped number would be a wrong answer, so such a distance is refused.
  if (!break_down(km, &breakdown)) {
    complain();
    return 0;
  }
  write_breakdown(breakdown);
  return 0;
}
