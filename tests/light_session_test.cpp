// Light-time units to kilometres and kilometres to a light-time breakdown.
#include "session_table.hpp"

namespace {

using namespace text;

const std::string UNITS =
    "\nCONVERT LIGHTDISTANCES TO KM\n\nDistances that the light travels in\n"
    "1 seconds\t2 minutes\t3 hours\n4 days\t\t5 weeks\t\t6 months\n7 years\t\t0 cancel\n"
    "Your selection:\\> ";
const std::string TO_KM = MAIN + LIGHT + UNITS;

std::string amount(const std::string& unit) {
  return "\nHow many light" + unit + " would you like to convert to km?:\\> ";
}

std::string breakdown(unsigned years, int months, int weeks, int days, int hours, int minutes,
                      const std::string& seconds) {
  return "\nThe given distance equals\n" + std::to_string(years) + " lightyears\n" +
         std::to_string(months) + " lightmonths\n" + std::to_string(weeks) + " lightweeks\n" +
         std::to_string(days) + " lightdays\n" + std::to_string(hours) + " lighthours\n" +
         std::to_string(minutes) + " lightminutes\n" + seconds + " lightseconds\n";
}

const std::string NOTHING = breakdown(0, 0, 0, 0, 0, 0, "0.000000");

const SessionCase UNITS_CASES[] = {
    {"OneLightSecond", "3\n1\n1\n1\n0\n",
     TO_KM + amount("seconds") + "1.0 lightseconds are 299792.46 km.\n" + MAIN, 255},
    {"LightMinutesWithTwoDecimals", "3\n1\n2\n2.5\n0\n",
     TO_KM + amount("minutes") + "2.5 lightminutes are 44968869.00 km.\n" + MAIN, 255},
    {"LightHoursInShortestForm", "3\n1\n3\n1\n0\n",
     TO_KM + amount("hours") + "1.0 lighthours are 1.07925e+09 km.\n" + MAIN, 255},
    {"SmallAmountEchoedRoundedButConvertedExactly", "3\n1\n3\n0.0009\n0\n",
     TO_KM + amount("hours") + "0.0 lighthours are 971328 km.\n" + MAIN, 255},
    {"OneLightDay", "3\n1\n4\n1\n0\n",
     TO_KM + amount("days") + "1.0 lightdays are 2.59021e+10 km.\n" + MAIN, 255},
    {"OneLightWeek", "3\n1\n5\n1\n0\n",
     TO_KM + amount("weeks") + "1.0 lightweeks are 1.81314e+11 km.\n" + MAIN, 255},
    {"OneLightMonthOfThirtyDays", "3\n1\n6\n1\n0\n",
     TO_KM + amount("months") + "1.0 lightmonths are 7.77062e+11 km.\n" + MAIN, 255},
    {"OneLightYear", "3\n1\n7\n1\n0\n",
     TO_KM + amount("years") + "1.0 lightyears are 9.46053e+12 km.\n" + MAIN, 255},
    {"FourPointThreeLightYears", "3\n1\n7\n4.3\n0\n",
     TO_KM + amount("years") + "4.3 lightyears are 4.06803e+13 km.\n" + MAIN, 255},
    {"NegativeAmountGivesNegativeDistance", "3\n1\n1\n-2\n0\n",
     TO_KM + amount("seconds") + "-2.0 lightseconds are -599584.92 km.\n" + MAIN, 255},
    // The entry's sign is kept where the value has no magnitude to show it.
    {"NanAmount", "3\n1\n1\nnan\n0\n",
     TO_KM + amount("seconds") + "nan lightseconds are nan km.\n" + MAIN, 255},
    {"MinusNanAmountKeepsItsSign", "3\n1\n1\n-nan\n0\n",
     TO_KM + amount("seconds") + "-nan lightseconds are -nan km.\n" + MAIN, 255},
    {"NegativeAmountThatUnderflowsIsMinusZero", "3\n1\n1\n-0x1p-1080\n0\n",
     TO_KM + amount("seconds") + "-0.0 lightseconds are -0.00 km.\n" + MAIN, 255},
    {"AmountInExponentForm", "3\n1\n1\n1e3\n0\n",
     TO_KM + amount("seconds") + "1000.0 lightseconds are 299792460.00 km.\n" + MAIN, 255},
    {"AmountNonNumberAsksAgain", "3\n1\n1\nmany\n1\n0\n",
     TO_KM + amount("seconds") + INCORRECT + amount("seconds") +
         "1.0 lightseconds are 299792.46 km.\n" + MAIN,
     255},
    {"SelectionEightIsIncorrect", "3\n1\n8\n0\n", TO_KM + INCORRECT + MAIN, 255},
    {"SelectionMinusOneIsIncorrect", "3\n1\n-1\n0\n", TO_KM + INCORRECT + MAIN, 255},
    {"SelectionZeroCancels", "3\n1\n0\n0\n", TO_KM + MAIN, 255},
    // Negative zero keeps its sign through the product, as printf shows it.
    {"NegativeZeroLightSeconds", "3\n1\n1\n-0\n0\n",
     TO_KM + amount("seconds") + "-0.0 lightseconds are -0.00 km.\n" + MAIN, 255},
    {"NegativeZeroLightHours", "3\n1\n3\n-0.0\n0\n",
     TO_KM + amount("hours") + "-0.0 lighthours are -0 km.\n" + MAIN, 255},
    {"NegativeZeroLightYears", "3\n1\n7\n-0e5\n0\n",
     TO_KM + amount("years") + "-0.0 lightyears are -0 km.\n" + MAIN, 255},
    {"EndOfInputAtTheAmount", "3\n1\n7\n", TO_KM + amount("years") + END, 0},
};
SESSIONS(LightToKm, UNITS_CASES);

const SessionCase BREAKDOWN_CASES[] = {
    {"TenTrillionKilometres", "3\n2\n10000000000000\n0\n",
     TO_LIGHT + breakdown(1, 0, 2, 6, 19, 51, "23.217285") + MAIN, 255},
    {"ExactlyOneLightYearLeavesNothingOver", "3\n2\n9460528499561.357\n0\n",
     TO_LIGHT + breakdown(1, 0, 0, 0, 0, 0, "0.000000") + MAIN, 255},
    {"ExactlyOneLightSecond", "3\n2\n299792.46\n0\n",
     TO_LIGHT + breakdown(0, 0, 0, 0, 0, 0, "1.000000") + MAIN, 255},
    {"TenThousandLightYears", "3\n2\n100000000000000000\n0\n",
     TO_LIGHT + breakdown(10570, 2, 3, 4, 11, 11, "47.251906") + MAIN, 255},
    {"YearSecondsBeyondThirtyTwoBits", "3\n2\n1000000000000000000\n0\n",
     TO_LIGHT + breakdown(105702, 4, 0, 4, 4, 20, "20.359059") + MAIN, 255},
    {"ExactlyOneLightHour", "3\n2\n1079252856\n0\n",
     TO_LIGHT + breakdown(0, 0, 0, 0, 1, 0, "0.000000") + MAIN, 255},
    {"ExactlyOneLightDay", "3\n2\n25902068544\n0\n",
     TO_LIGHT + breakdown(0, 0, 0, 1, 0, 0, "0.000000") + MAIN, 255},
    {"OneKilometre", "3\n2\n1\n0\n", TO_LIGHT + breakdown(0, 0, 0, 0, 0, 0, "0.000003") + MAIN,
     255},
    {"NegativeDistanceGivesZeros", "3\n2\n-5\n0\n", TO_LIGHT + NOTHING + MAIN, 255},
    {"ZeroDistanceGivesZeros", "3\n2\n0\n0\n", TO_LIGHT + NOTHING + MAIN, 255},
    // A distance of 0 however it is written: no seconds are left, not -0.
    {"NegativeZeroDistanceGivesZeros", "3\n2\n-0\n0\n", TO_LIGHT + NOTHING + MAIN, 255},
    {"NegativeZeroWithFractionGivesZeros", "3\n2\n-0.0\n0\n", TO_LIGHT + NOTHING + MAIN, 255},
    {"NegativeZeroWithExponentGivesZeros", "3\n2\n-0e5\n0\n", TO_LIGHT + NOTHING + MAIN, 255},
    {"NegativeHexadecimalZeroGivesZeros", "3\n2\n-0x0p0\n0\n", TO_LIGHT + NOTHING + MAIN, 255},
    {"NotANumberGivesZeros", "3\n2\nnan\n0\n", TO_LIGHT + NOTHING + MAIN, 255},
    {"MinusInfinityGivesZeros", "3\n2\n-inf\n0\n", TO_LIGHT + NOTHING + MAIN, 255},
    // More light years than a 32-bit count can say: refused, not wrapped.
    {"InfinityIsRefused", "3\n2\ninf\n0\n", TO_LIGHT + INCORRECT + MAIN, 255},
    {"FourBillionLightYearsAndMoreAreRefused", "3\n2\n4.0633e22\n0\n", TO_LIGHT + INCORRECT + MAIN,
     255},
    // The last digit of these seconds differs when the same steps are
    // rounded once from quadruple precision, or done in plain double.
    {"ExtendedNotQuadrupleNorDoubleA", "3\n2\n53240556428505784\n0\n",
     TO_LIGHT + breakdown(5627, 7, 3, 6, 22, 1, "32.284716") + MAIN, 255},
    {"ExtendedNotQuadrupleNorDoubleB", "3\n2\n870648723274912512\n0\n",
     TO_LIGHT + breakdown(92029, 7, 1, 4, 20, 2, "35.357282") + MAIN, 255},
    {"ExtendedNotQuadrupleNorDoubleC", "3\n2\n3483292386428515840\n0\n",
     TO_LIGHT + breakdown(368192, 1, 3, 6, 0, 38, "55.326461") + MAIN, 255},
    {"ExtendedNotQuadrupleNorDoubleD", "3\n2\n9820683354038495232\n0\n",
     TO_LIGHT + breakdown(1038069, 2, 2, 3, 0, 31, "34.837135") + MAIN, 255},
    {"JustBelowFourBillionLightYears", "3\n2\n4.0632e22\n0\n",
     TO_LIGHT + breakdown(4294897478, 8, 2, 4, 3, 46, "7.167526") + MAIN, 255},
    {"DistanceNonNumberAsksAgain", "3\n2\nfar\n299792.46\n0\n",
     TO_LIGHT + INCORRECT + "\nPlease enter a distance in kilometres:\\> " +
         breakdown(0, 0, 0, 0, 0, 0, "1.000000") + MAIN,
     255},
};
SESSIONS(KmToLight, BREAKDOWN_CASES);

}  // namespace
