// The two conversion dialogs of the light-distance sub-menu. Each performs
// at most one conversion and returns 0, which the caller ignores.
#pragma once

// Light seconds, minutes, hours, days, weeks, months or years to kilometres.
int lichtkm();

// Kilometres to whole light years, months, weeks, days, hours and minutes
// and the remaining light seconds.
int kmlicht();
