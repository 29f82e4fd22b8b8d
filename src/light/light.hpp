// Light-distance arithmetic: kilometres and the time light needs for them.
//
// Every real operation here goes through `Extended` (x87 extended precision)
// and is rounded to double only where a value is stored or printed; chains of
// factors are multiplied strictly from left to right. Plain double arithmetic,
// or constants written as long double literals, would change printed digits.
#pragma once

#include <cstdint>

#include "light/extended.hpp"

// The speed of light in km/s as the program has always used it (299792.46,
// not the defined 299792.458), and the length of a year in days. Both are
// the double nearest the decimal, widened exactly when they enter Extended.
inline constexpr double LICHTGESCHWINDIGKEIT = 299792.46;
inline constexpr double JAHRESTAGE = 365.2422;

// One row of the light-unit table. `km` is the distance light covers in the
// unit (threshold and divisor of a breakdown step); what a step subtracts is
// computed afresh as ((count * seconds) * day_factor) * speed of light, which
// for the year differs from `km` in the last bits.
struct LightUnit {
  double km;
  std::int64_t seconds;
  double day_factor;
};

inline constexpr LightUnit LIGHT_YEAR{9460528499561.357, 86400, JAHRESTAGE};
inline constexpr LightUnit LIGHT_MONTH{777062056320.0, 2592000, 1.0};
inline constexpr LightUnit LIGHT_WEEK{181314479808.0, 604800, 1.0};
inline constexpr LightUnit LIGHT_DAY{25902068544.0, 86400, 1.0};
inline constexpr LightUnit LIGHT_HOUR{1079252856.0, 3600, 1.0};
inline constexpr LightUnit LIGHT_MINUTE{17987547.6, 60, 1.0};

// The factors that turn an amount of one light-time unit into kilometres,
// multiplied in this order (light seconds first, light years last).
struct FactorChain {
  double factors[4];
  int count;
};

inline constexpr int LIGHT_TIME_UNIT_COUNT = 7;
inline constexpr FactorChain LIGHT_TIME_CHAINS[LIGHT_TIME_UNIT_COUNT] = {
    {{LICHTGESCHWINDIGKEIT}, 1},
    {{60, LICHTGESCHWINDIGKEIT}, 2},
    {{3600, LICHTGESCHWINDIGKEIT}, 2},
    {{3600, 24, LICHTGESCHWINDIGKEIT}, 3},
    {{3600, 24, 7, LICHTGESCHWINDIGKEIT}, 4},
    {{3600, 24, 30, LICHTGESCHWINDIGKEIT}, 4},
    {{3600, 24, JAHRESTAGE, LICHTGESCHWINDIGKEIT}, 4}};

// amount * factors[0] * factors[1] * ..., left to right in Extended.
Extended to_kilometres(double amount, const FactorChain& chain);

// Light years to kilometres: lightyears * 3600 * 24 * 365.2422 * 299792.46.
Extended lichtkm1(double lightyears);

// A light-travel time: whole hours, whole minutes, remaining seconds.
struct lichtzeit {
  std::int32_t stunden;
  std::int32_t minuten;
  double sekunden;
};

// Kilometres to hours, minutes and seconds of light time; hours may exceed
// 23. Meant for distances under about 2^31 light hours (the planets').
lichtzeit kmlicht1(double km);

// Two bodies' distances from the Sun seen from each other: apart by the
// difference of their distances when on one side of the Sun (conjunction),
// by the sum when on opposite sides (opposition). Each is formed in
// Extended and rounded to double once.
struct Separation {
  double conjunction;
  double opposition;
};

// `inner_km` and `outer_km` are distances from the Sun; the conjunction is
// outer minus inner, so it is negative when inner is the farther one.
Separation separation(double inner_km, double outer_km);

// A distance broken down greedily into light years, months, weeks, days,
// hours and minutes, and the remaining light seconds.
struct LightBreakdown {
  std::uint32_t years, months, weeks, days, hours, minutes;
  double seconds;
};

// Breaks `km` down; zero, negative and NaN distances give all zeros. Returns
// false (and leaves *out alone) when the count of years would not fit 32
// bits, +infinity included.
bool break_down(double km, LightBreakdown* out);
