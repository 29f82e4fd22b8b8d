// The star catalogue: 24 bright or near stars, three tables parallel by row
// (name, constellation, distance from Earth in light years).
//
// The distances are single precision on purpose: the kilometre figures are
// computed from the float widened to double, and that shows in the digits
// (4.3 is held as 4.300000190734863). The rows are in the catalogue's own
// order, not sorted by distance; the star menu labels them in yet another
// order (see star_dialogs.cpp).
#pragma once

inline constexpr int STAR_COUNT = 24;

inline constexpr const char* STERNE_NAMEN[STAR_COUNT] = {
    "Bungula", "Sirius",   "Procyon", "Atair",      "Fomalhaut", "Vega",    "Arcturus", "Rigel",
    "Pollux",  "55Cancri", "Capella", "Aldebaran",  "Regulus",   "Agena",   "Achernar", "Acrux",
    "Spica",   "Antares",  "Canopus", "Betelgeuse", "Deneb",     "Alnitak", "Alnilam",  "Mintaka"};

inline constexpr const char* STERNBILD[STAR_COUNT] = {
    "Centaurus", "Canis Major", "Canis Minor", "Aquila",   "Piscis Austrinus", "Lyra",  "Bootes",
    "Orion",     "Gemini",      "Cancer",      "Auriga",   "Taurus",           "Leo",   "Centaurus",
    "Eridanus",  "Crux",        "Virgo",       "Scorpius", "Carina",           "Orion", "Cygnus",
    "Orion",     "Orion",       "Orion"};

inline constexpr float STERNE[STAR_COUNT] = {4.3f,   8.7f,   11.4f,   15.5f,   23.0f,   26.5f,
                                             37.0f,  32.5f,  34.0f,   41.0f,   45.0f,   68.0f,
                                             86.0f,  136.0f, 142.0f,  163.0f,  200.0f,  560.0f,
                                             550.0f, 650.0f, 1600.0f, 1800.0f, 1800.0f, 1800.0f};
