#include "light/light_dialogs.hpp"

#include <cmath>
#include <cstdio>

#include "console/console.hpp"
#include "console/output.hpp"
#include "light/light.hpp"

namespace {

// Per light-time unit, in the order of the selection menu. The two short
// units give kilometres with two decimals, the longer ones in "%g" form.
struct LightTimeDialog {
  const char* prompt;
  const char* unit;
  const char* km_format;
};

constexpr LightTimeDialog LIGHT_TIME_DIALOGS[LIGHT_TIME_UNIT_COUNT] = {
    {"\nHow many lightseconds would you like to convert to km?:\\> ", "lightseconds", "%.2lf"},
    {"\nHow many lightminutes would you like to convert to km?:\\> ", "lightminutes", "%.2lf"},
    {"\nHow many lighthours would you like to convert to km?:\\> ", "lighthours", "%g"},
    {"\nHow many lightdays would you like to convert to km?:\\> ", "lightdays", "%g"},
    {"\nHow many lightweeks would you like to convert to km?:\\> ", "lightweeks", "%g"},
    {"\nHow many lightmonths would you like to convert to km?:\\> ", "lightmonths", "%g"},
    {"\nHow many lightyears would you like to convert to km?:\\> ", "lightyears", "%g"}};

// Room for any double in "%.2lf" form: 309 digits before the point.
using NumberText = char[320];

// `x` as `format` (one conversion of a double) prints it, but a NaN as
// "nan" or "-nan" after its sign bit: C libraries differ in whether they
// print that sign.
const char* number_text(NumberText& text, const char* format, double x) {
  if (std::isnan(x)) return std::signbit(x) ? "-nan" : "nan";
  std::snprintf(text, sizeof text, format, x);
  return text;
}

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
  NumberText amount_text;
  NumberText km_text;
  write_format("%s %s are %s km.\n", number_text(amount_text, "%.1lf", amount), dialog.unit,
               number_text(km_text, dialog.km_format, km));
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
