// What the dialogs rely on beyond the tables' texts. Every star row's name,
// constellation and distance, in order, is pinned by the session test of the
// complete list (CompleteListInCatalogueOrder), every planet row by the
// planet list's, so the rows are not restated here.
#include <gtest/gtest.h>

#include "catalogue/planets.hpp"
#include "catalogue/stars.hpp"

namespace {

// The pair report subtracts the inner from the outer distance and treats
// the last row as the Sun.
TEST(PlanetTable, SunIsLastAndDistancesGrowOutward) {
  EXPECT_STREQ(PLANETENNAMEN[SUN], "Sun");
  EXPECT_EQ(PLANETEN[SUN], 0.0);
  for (int row = 1; row < SUN; ++row) EXPECT_LT(PLANETEN[row - 1], PLANETEN[row]) << row;
  EXPECT_GT(PLANETEN[0], 0.0);
}

// The kilometre figures depend on the distances being floats; the three
// that a float does not hold exactly.
TEST(StarCatalogue, DistancesAreSinglePrecision) {
  static_assert(sizeof STERNE[0] == 4);
  EXPECT_EQ(static_cast<double>(STERNE[0]), 4.300000190734863);
  EXPECT_EQ(static_cast<double>(STERNE[1]), 8.699999809265137);
  EXPECT_EQ(static_cast<double>(STERNE[2]), 11.399999618530273);
}

}  // namespace
