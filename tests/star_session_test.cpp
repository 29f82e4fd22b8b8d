// The star sub-menu, the star menu's numbering, the single-star reports and
// the catalogue listing.
#include "session_table.hpp"

namespace {

using namespace text;

const std::string SUB =
    "\n\nSUN TO SUN DISTANCES\n\n1\tget a single distance\n2\tget complete list\n0\tcancel\n" +
    PROMPT;
const std::string MENU =
    "\n1 Bungula\t2 Sirius\t3 Procyon\n4 Atair\t\t5 Fomalhaut\t6 Vega\n"
    "7 Arkturus\t8 Pollux\t9 55Cancri\n10 Capella\t11 Aldebaran\t12 Regulus\n"
    "13 Agena\t14 Achernar\t15 Acrux\n16 Spica\t17 Betelgeuse\t18 Antares\n"
    "19 Canopus\t20 Rigel\t21 Deneb\n22 Alnitak\t23 Alnilam\t24 Mintaka\n0 cancel\n"
    "\nPlease select a star from the menu:\\> ";

std::string report(const std::string& star, const std::string& constellation,
                   const std::string& lightyears) {
  return "\n" + star + " in the constellation of " + constellation + " is " + lightyears +
         " Lightyears\naway from Earth.\n\nConvert into km?\t1 yes\t2 no:\\> ";
}

std::string km(const std::string& star, const std::string& constellation,
               const std::string& kilometres) {
  return "\n" + star + " in the constellation of " + constellation + " is " + kilometres +
         " kilometres\naway from Earth.\n";
}

// From the main menu into the star menu, and the way back out.
const std::string INTO = MAIN + SUB + MENU;
const std::string OUT = MENU + MAIN;

const std::string LISTING = STARS + "\nSun\t\tConstellation\t Distance(Lightyears)\n" + EQUALS +
                            "Bungula\t\tCentaurus\t    4.3 \n"
                            "Sirius\t\tCanis Major\t    8.7 \n"
                            "Procyon\t\tCanis Minor\t   11.4 \n"
                            "Atair\t\tAquila\t\t   15.5 \n"
                            "Fomalhaut\tPiscis Austrinus   23.0 \n"
                            "Vega\t\tLyra\t\t   26.5 \n"
                            "Arcturus\tBootes\t\t   37.0 \n"
                            "Rigel\t\tOrion\t\t   32.5 \n"
                            "Pollux\t\tGemini\t\t   34.0 \n"
                            "55Cancri\tCancer\t\t   41.0 \n"
                            "Capella\t\tAuriga\t\t   45.0 \n"
                            "Aldebaran\tTaurus\t\t   68.0 \n"
                            "Regulus\t\tLeo\t\t   86.0 \n"
                            "Agena\t\tCentaurus\t  136.0 \n"
                            "Achernar\tEridanus\t  142.0 \n"
                            "Acrux\t\tCrux\t\t  163.0 \n"
                            "Spica\t\tVirgo\t\t  200.0 \n"
                            "Antares\t\tScorpius\t  560.0 \n"
                            "Canopus\t\tCarina\t\t  550.0 \n"
                            "Betelgeuse\tOrion\t\t  650.0 \n"
                            "Deneb\t\tCygnus\t\t 1600.0 \n"
                            "Alnitak\t\tOrion\t\t 1800.0 \n"
                            "Alnilam\t\tOrion\t\t 1800.0 \n"
                            "Mintaka\t\tOrion\t\t 1800.0 \n" +
                            EQUALS + STARS;

const SessionCase STARS_CASES[] = {
    {"BungulaInKilometresFromTheSinglePrecisionDistance", "1\n1\n1\n1\n0\n0\n",
     INTO + report("Bungula", "Centaurus", "4.3") +
         km("Bungula", "Centaurus", "40680274352566.453") + OUT,
     255},
    {"FomalhautInKilometres", "1\n1\n5\n1\n0\n0\n",
     INTO + report("Fomalhaut", "Piscis Austrinus", "23.0") +
         km("Fomalhaut", "Piscis Austrinus", "217592155489911.250") + OUT,
     255},
    {"MintakaInKilometres", "1\n1\n24\n1\n0\n0\n",
     INTO + report("Mintaka", "Orion", "1800.0") + km("Mintaka", "Orion", "17028951299210444.000") +
         OUT,
     255},
    {"SiriusAnswerNoGivesOnlyLightYears", "1\n1\n2\n2\n0\n0\n",
     INTO + report("Sirius", "Canis Major", "8.7") + OUT, 255},
    {"NumberEightLabelledPolluxReportsRigel", "1\n1\n8\n2\n0\n0\n",
     INTO + report("Rigel", "Orion", "32.5") + OUT, 255},
    {"NumbersEighteenAndNineteenMatchTheirLabels", "1\n1\n18\n2\n19\n2\n0\n0\n",
     INTO + report("Antares", "Scorpius", "560.0") + MENU + report("Canopus", "Carina", "550.0") +
         OUT,
     255},
    {"NumberTwentyLabelledRigelReportsBetelgeuse", "1\n1\n20\n2\n0\n0\n",
     INTO + report("Betelgeuse", "Orion", "650.0") + OUT, 255},
    {"StarNumbersOutOfRangeComplain", "1\n1\n25\n-3\n0\n0\n",
     INTO + INCORRECT + MENU + INCORRECT + OUT, 255},
    {"AnswerOtherThanYesOrNoComplains", "1\n1\n3\n3\n0\n0\n",
     INTO + report("Procyon", "Canis Minor", "11.4") + INCORRECT + OUT, 255},
    {"AnswerZeroComplains", "1\n1\n3\n0\n0\n0\n",
     INTO + report("Procyon", "Canis Minor", "11.4") + INCORRECT + OUT, 255},
    {"StarNumberIsReadWithItsBase", "1\n1\n0x18\n2\n0\n0\n",
     INTO + report("Mintaka", "Orion", "1800.0") + OUT, 255},
    {"StarSubMenuOutOfRangeShowsItAgainSilently", "1\n3\n5\n-1\n0\n0\n",
     MAIN + SUB + SUB + SUB + SUB + MAIN, 255},
    {"SubMenuReadsDecimalOnly", "1\n0x1\n0\n", MAIN + SUB + MAIN + INCORRECT + PROMPT, 255, false},
    {"SubMenuNonNumberComplains", "1\nstar\n0\n0\n",
     MAIN + SUB + INCORRECT + "Please select an item from the menu:\\> " + MAIN, 255},
    {"CompleteListInCatalogueOrder", "1\n2\n0\n", MAIN + SUB + LISTING + MAIN, 255},
    {"EndOfInputInTheStarMenu", "1\n1\n", INTO + END, 0},
};
SESSIONS(Stars, STARS_CASES);

}  // namespace
