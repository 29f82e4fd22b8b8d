// The planet dialogs: the planet sub-menu, the pair reports with their light
// times, and the listing of the planet table.
#pragma once

// The planet sub-menu: a single distance, the complete list, or cancel.
void vor_planet();

// Pair after pair from the planet menu until a cancel, or an equal pair
// outside 1..10 (such as 0 and 0). Returns 0.
int planet();

// Reports table rows inner < outer (inner 0..8, outer 1..9, 9 the Sun).
void planetausgabe(int inner, int outer);

// The nine planets with their mean distances; ends with asterisks and no
// newline.
void gesamt_planet();
