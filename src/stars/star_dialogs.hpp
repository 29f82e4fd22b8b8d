// The star dialogs: the star sub-menu, the star menu with its single-star
// reports, and the listing of the whole catalogue.
#pragma once

// The star sub-menu: a single distance, the complete list, or cancel.
void vor_sonnen();

// Star after star from the star menu until the user enters 0. Returns 0.
int sonnen();

// Reports catalogue row `row` (0..23) in light years and, on request, in
// kilometres.
void sonnenausgabe(int row);

// The whole catalogue as a table; ends with asterisks and no newline.
void gesamt_sonnen();
