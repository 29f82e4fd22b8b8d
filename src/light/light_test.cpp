#include "light/light.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

std::string printed(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

// These figures differ in their last digits when the chain is multiplied in
// plain double or with the constants as long double literals, so they pin
// both the extended arithmetic and the double constants.
TEST(Lichtkm1, StarDistancesInKilometresFromSinglePrecisionLightYears) {
  const struct {
    float lightyears;
    const char* km;
  } cases[] = {{4.3f, "40680274352566.453"},
               {23.0f, "217592155489911.250"},
               {1800.0f, "17028951299210444.000"}};
  for (const auto& c : cases) {
    EXPECT_EQ(printed("%.3lf", lichtkm1(static_cast<double>(c.lightyears)).to_double()), c.km)
        << c.lightyears;
  }
}

// A converted value is the double itself wherever it is used next, also
// where the processor keeps doubles in wider registers (32-bit x86): compared
// and subtracted at once, it shows no trace of the extended bits.
TEST(ExtendedToDouble, IsRoundedBeforeTheCallerComparesOrComputes) {
  const Extended one = Extended::from_double(1.0);
  const Extended tiny = Extended::from_double(0x1p-60);
  const double down = (one + tiny).to_double();
  const bool down_is_one = down == 1.0;
  const double down_excess = down - 1.0;
  EXPECT_TRUE(down_is_one);
  EXPECT_TRUE(down_excess == 0.0);
  // Just above half an ulp of 1 rounds up to the next double.
  const double up = (one + Extended::from_double(0x1p-53) + tiny).to_double();
  const double up_excess = up - 1.0;
  EXPECT_TRUE(up_excess == 0x1p-52);
}

TEST(Kmlicht1, HoursMinutesAndSecondsOfLight) {
  const struct {
    double km;
    int hours, minutes;
    const char* seconds;
  } cases[] = {
      {150000000, 0, 8, "20.346139"}, {5900000000, 5, 28, "0.281485"},
      {58000000, 0, 3, "13.467174"},  {17987547.6, 0, 1, "0.000000"},
      {78000000, 0, 4, "20.179993"},  {378000000, 0, 21, "0.872271"},
  };
  for (const auto& c : cases) {
    const lichtzeit t = kmlicht1(c.km);
    EXPECT_EQ(t.stunden, c.hours) << c.km;
    EXPECT_EQ(t.minuten, c.minutes) << c.km;
    EXPECT_EQ(printed("%lf", t.sekunden), c.seconds) << c.km;
  }
}

TEST(Separation, DifferenceAndSumOfTwoDistancesFromTheSun) {
  const struct {
    double inner, outer, conjunction, opposition;
  } cases[] = {
      {150000000, 228000000, 78000000, 378000000},        // Earth and Mars
      {108000000, 150000000, 42000000, 258000000},        // Venus and Earth, the closest pair
      {4498000000, 5900000000, 1402000000, 10398000000},  // Neptune and Pluto, the farthest
      {228000000, 150000000, -78000000, 378000000},       // the order is the caller's
  };
  for (const auto& c : cases) {
    const Separation s = separation(c.inner, c.outer);
    EXPECT_EQ(s.conjunction, c.conjunction) << c.inner << " " << c.outer;
    EXPECT_EQ(s.opposition, c.opposition) << c.inner << " " << c.outer;
  }
}

// 1 + 2^-53 + 2^-66 rounds to 1 + 2^-52 in one step to double, but to
// 1 + 2^-53 in Extended and then, a tie, to the even 1.
TEST(Separation, FormedInExtendedThenRoundedToDouble) {
  const double small = 0x1p-53 + 0x1p-66;
  EXPECT_EQ(separation(small, 1.0).opposition, 1.0);
  EXPECT_EQ(separation(small, 1.0).conjunction, 1.0 - 0x1p-53);
  EXPECT_EQ(separation(-small, 1.0).conjunction, 1.0);
}

struct Breakdown {
  double km;
  unsigned years, months, weeks, days, hours, minutes;
  const char* seconds;
};

TEST(BreakDown, GreedyFromLightYearsToSeconds) {
  const Breakdown cases[] = {
      {10000000000000, 1, 0, 2, 6, 19, 51, "23.217285"},
      // The subtracted year is computed afresh and exceeds the divisor in
      // its last bits, so nothing is left over.
      {9460528499561.357, 1, 0, 0, 0, 0, 0, "0.000000"},
      {299792.46, 0, 0, 0, 0, 0, 0, "1.000000"},
      {100000000000000000, 10570, 2, 3, 4, 11, 11, "47.251906"},
      // 105702 years are more seconds than 32 bits hold.
      {1000000000000000000, 105702, 4, 0, 4, 4, 20, "20.359059"},
      {1079252856, 0, 0, 0, 0, 1, 0, "0.000000"},
      {25902068544, 0, 0, 0, 1, 0, 0, "0.000000"},
      {1, 0, 0, 0, 0, 0, 0, "0.000003"},
      {0, 0, 0, 0, 0, 0, 0, "0.000000"},
      {-5, 0, 0, 0, 0, 0, 0, "0.000000"},
      {__builtin_nan(""), 0, 0, 0, 0, 0, 0, "0.000000"},
      {-__builtin_inf(), 0, 0, 0, 0, 0, 0, "0.000000"},
  };
  for (const Breakdown& c : cases) {
    LightBreakdown b{};
    ASSERT_TRUE(break_down(c.km, &b)) << c.km;
    EXPECT_EQ(b.years, c.years) << c.km;
    EXPECT_EQ(b.months, c.months) << c.km;
    EXPECT_EQ(b.weeks, c.weeks) << c.km;
    EXPECT_EQ(b.days, c.days) << c.km;
    EXPECT_EQ(b.hours, c.hours) << c.km;
    EXPECT_EQ(b.minutes, c.minutes) << c.km;
    EXPECT_EQ(printed("%lf", b.seconds), c.seconds) << c.km;
  }
}

TEST(BreakDown, RefusesMoreLightYearsThanThirtyTwoBitsCount) {
  LightBreakdown b{};
  // 2^32 light years are about 4.06327e22 km.
  EXPECT_FALSE(break_down(4.0633e22, &b));
  EXPECT_FALSE(break_down(1e300, &b));
  EXPECT_FALSE(break_down(__builtin_inf(), &b));
  ASSERT_TRUE(break_down(4.0632e22, &b));
  EXPECT_EQ(b.years, 4294897478u);
}

}  // namespace
