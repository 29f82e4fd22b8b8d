// The planet table: the nine planets and the Sun with their mean distances
// from the Sun in kilometres, parallel by row.
//
// The pair report relies on two invariants: the Sun is the last row and the
// only one at distance 0, and the planets' distances grow with the row, so
// the outer minus the inner distance of two planets is positive.
#pragma once

inline constexpr int PLANET_COUNT = 10;
inline constexpr int SUN = PLANET_COUNT - 1;

inline constexpr const char* PLANETENNAMEN[PLANET_COUNT] = {
    "Merkur", "Venus", "Earth", "Mars", "Jupiter", "Saturn", "Uranus", "Neptune", "Pluto", "Sun"};

inline constexpr double PLANETEN[PLANET_COUNT] = {
    58000000.0,   108000000.0,  150000000.0,  228000000.0,  778000000.0,
    1427000000.0, 2869000000.0, 4498000000.0, 5900000000.0, 0.0};
