#include "light/light.hpp"

namespace {

Extended ext(double value) {
  return Extended::from_double(value);
}

const Extended SPEED_OF_LIGHT = ext(LICHTGESCHWINDIGKEIT);

// One greedy step: when km reaches the unit, count whole units and subtract
// them, storing the remainder back as a double. False when the count does
// not fit 32 bits (km is then unchanged).
bool take_units(double* km, const LightUnit& unit, std::uint32_t* count) {
  *count = 0;
  if (!(ext(*km) >= ext(unit.km))) return true;
  if (!(ext(*km) / ext(unit.km)).truncate_to_u32(count)) return false;
  const Extended seconds = Extended::from_integer(*count * unit.seconds);
  const Extended taken = seconds * ext(unit.day_factor) * SPEED_OF_LIGHT;
  *km = (ext(*km) - taken).to_double();
  return true;
}

double remaining_seconds(double km) {
  return km > 0 ? (ext(km) / SPEED_OF_LIGHT).to_double() : 0.0;
}

}  // namespace

Extended to_kilometres(double amount, const FactorChain& chain) {
  Extended product = ext(amount);
  for (int i = 0; i < chain.count; ++i) product = product * ext(chain.factors[i]);
  return product;
}

Extended lichtkm1(double lightyears) {
  return to_kilometres(lightyears, LIGHT_TIME_CHAINS[LIGHT_TIME_UNIT_COUNT - 1]);
}

lichtzeit kmlicht1(double km) {
  std::uint32_t hours = 0;
  std::uint32_t minutes = 0;
  // The planets' distances stay far below 2^31 light hours, so both counts
  // fit; a count that would not stays 0 instead of wrapping.
  take_units(&km, LIGHT_HOUR, &hours);
  take_units(&km, LIGHT_MINUTE, &minutes);
  return lichtzeit{static_cast<std::int32_t>(hours), static_cast<std::int32_t>(minutes),
                   (ext(km) / SPEED_OF_LIGHT).to_double()};
}

Separation separation(double inner_km, double outer_km) {
  return Separation{(ext(outer_km) - ext(inner_km)).to_double(),
                    (ext(outer_km) + ext(inner_km)).to_double()};
}

bool break_down(double km, LightBreakdown* out) {
  LightBreakdown b{};
  if (!take_units(&km, LIGHT_YEAR, &b.years)) return false;
  take_units(&km, LIGHT_MONTH, &b.months);
  take_units(&km, LIGHT_WEEK, &b.weeks);
  take_units(&km, LIGHT_DAY, &b.days);
  take_units(&km, LIGHT_HOUR, &b.hours);
  take_units(&km, LIGHT_MINUTE, &b.minutes);
  b.seconds = remaining_seconds(km);
  *out = b;
  return true;
}
