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

// The kilometre figures depend on the distances being floats.
TEST(StarCatalogue, DistancesAreSinglePrecision) {
  static_assert(sizeof STERNE[0] == 4);
  EXPECT_EQ(static_cast<double>(STERNE[0]), 4.300000190734863);
  EXPECT_EQ(static_cast<double>(STERNE[1]), 8.699999809265137);
  EXPECT_EQ(static_cast<double>(STERNE[2]), 11.399999618530273);
}

TEST(StarCatalogue, RowsInCatalogueOrder) {
  const struct {
    int row;
    const char* name;
    const char* constellation;
    float lightyears;
  } rows[] = {{0, "Bungula", "Centaurus", 4.3f}, {6, "Arcturus", "Bootes", 37},
              {7, "Rigel", "Orion", 32.5f},      {17, "Antares", "Scorpius", 560},
              {18, "Canopus", "Carina", 550},    {19, "Betelgeuse", "Orion", 650},
              {23, "Mintaka", "Orion", 1800}};
  for (const auto& r : rows) {
    EXPECT_STREQ(STERNE_NAMEN[r.row], r.name);
    EXPECT_STREQ(STERNBILD[r.row], r.constellation);
    EXPECT_EQ(STERNE[r.row], r.lightyears);
  }
}

}  // namespace
