// The planet sub-menu, the pair reports with their light times, and the
// planet listing.
#include "session_table.hpp"

namespace {

using namespace text;

// The planet menu up to the second of its two prompts.
const std::string MENU =
    "\nDISTANCES WITHIN OUR SOLAR SYSTEM\n\n"
    "1 Merkur\t2 Venus\t\t3 Earth\n4 Mars\t\t5 Jupiter\t6 Saturn\n"
    "7 Uranus\t8 Neptune\t9 Pluto\n10 Sun\t\t0 cancel\n"
    "\nPlease select a startplanet:\\> \nPlease select a target:\\> ";
const std::string ONE_DISTANCE =
    "\nWould you like to know, how long it would take the light to travel this distance?\n"
    "1 yes\t2 no:\\> ";
const std::string TWO_DISTANCES =
    "\nWould you like to know, how long it would take the light to travel these distances?\n"
    "1 yes\t2 no:\\> ";
const std::string ZERO = "\nThe distance is 0 km.\n";

const std::string INTO = MAIN + PLANET_SUB + MENU;
// "0 0" leaves the planet menu, "0" the main menu.
const std::string OUT = MENU + ZERO + MAIN;

const std::string EARTH_SUN =
    "\nThe average distance of planet Earth to Sun equals 150000000 km\n" + ONE_DISTANCE +
    "\nThe distance of planet Earth to Sun takes the light 0 hours,\n 8 minutes und 20.346139 "
    "seconds\n";
const std::string EARTH_MARS =
    "\nThe distance between Earth and Mars differs from 78000000 km\nin conjunction and 378000000 "
    "km in opposition.\n" +
    TWO_DISTANCES;

const std::string LISTING = STARS + "\nPlanet\t\tDistance from Sun(kilometres)\n" + EQUALS +
                            "Merkur\t\t  58000000 \n"
                            "Venus\t\t 108000000 \n"
                            "Earth\t\t 150000000 \n"
                            "Mars\t\t 228000000 \n"
                            "Jupiter\t\t 778000000 \n"
                            "Saturn\t\t1427000000 \n"
                            "Uranus\t\t2869000000 \n"
                            "Neptune\t\t4498000000 \n"
                            "Pluto\t\t5900000000 \n" +
                            EQUALS + "average distances\n" + STARS;

const SessionCase PLANETS[] = {
    {"EarthAndSunWithLightTime", "2\n1\n3\n10\n1\n0\n0\n0\n", INTO + EARTH_SUN + OUT, 255},
    {"SunAndEarthGiveTheSame", "2\n1\n10\n3\n1\n0\n0\n0\n", INTO + EARTH_SUN + OUT, 255},
    {"MarsAndEarthInEitherOrderWithBothLightTimes", "2\n1\n4\n3\n1\n3\n4\n2\n0\n0\n0\n",
     INTO + EARTH_MARS +
         "\nThe light is on its way 0 hours,\n 4 minutes und 20.179993 seconds respective\n"
         "0 hours, 21 minutes und 0.872271 seconds.\n" +
         MENU + EARTH_MARS + OUT,
     255},
    {"PlutoAndSunTakeMoreThanFiveHours", "2\n1\n9\n10\n1\n0\n0\n0\n",
     INTO + "\nThe average distance of planet Pluto to Sun equals 5900000000 km\n" + ONE_DISTANCE +
         "\nThe distance of planet Pluto to Sun takes the light 5 hours,\n 28 minutes und "
         "0.281485 seconds\n" +
         OUT,
     255},
    {"MerkurAndSun", "2\n1\n1\n10\n1\n0\n0\n0\n",
     INTO + "\nThe average distance of planet Merkur to Sun equals 58000000 km\n" + ONE_DISTANCE +
         "\nThe distance of planet Merkur to Sun takes the light 0 hours,\n 3 minutes und "
         "13.467174 seconds\n" +
         OUT,
     255},
    {"LightTimeAnswerOtherThanYesEndsSilently", "2\n1\n3\n10\n7\n0\n0\n0\n",
     INTO + "\nThe average distance of planet Earth to Sun equals 150000000 km\n" + ONE_DISTANCE +
         OUT,
     255},
    {"ZeroAndZeroLeaveThePlanetMenu", "2\n1\n0\n0\n0\n", INTO + ZERO + MAIN, 255},
    {"EqualValidPairRepeatsTheMenu", "2\n1\n5\n5\n0\n0\n0\n", INTO + ZERO + OUT, 255},
    {"EqualPairOutsideTheMenuLeavesIt", "2\n1\n11\n11\n0\n", INTO + ZERO + MAIN, 255},
    {"NumberOutOfRangeComplainsAndRepeats", "2\n1\n11\n2\n0\n0\n0\n", INTO + INCORRECT + OUT, 255},
    {"NegativeTargetComplains", "2\n1\n3\n-1\n0\n0\n0\n", INTO + INCORRECT + OUT, 255},
    {"ZeroTargetCancels", "2\n1\n5\n0\n0\n", INTO + MAIN, 255},
    {"ZeroStartStillAsksForTheTarget", "2\n1\n0\n4\n0\n", INTO + MAIN, 255},
    {"PlanetSubMenuOutOfRangeShowsItAgainSilently", "2\n5\n3\n-1\n0\n0\n",
     MAIN + PLANET_SUB + PLANET_SUB + PLANET_SUB + PLANET_SUB + MAIN, 255},
    {"CompleteListWithoutTheSun", "2\n2\n0\n", MAIN + PLANET_SUB + LISTING + MAIN, 255},
    {"EndOfInputAtTheTarget", "2\n1\n3\n", INTO + END, 0},
};
SESSIONS(Planets, PLANETS);

}  // namespace
