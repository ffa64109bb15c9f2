// The font configuration the program reads at start.
//
// Every font engine the toolkit makes (one per size and weight, over a dozen
// before the main window's first frame) runs fontconfig's substitution and
// match, and the match compares the request with every font fontconfig
// knows. On a desktop with a few hundred faces that is nearly half of what
// the engines cost. So the program reads the system's configuration whole,
// as fontconfig does (its rules and the user's, so that text is drawn as
// before), but keeps only the faces of the families it draws in.
// A character none of them has shows as a box instead of coming from another
// font; the Japanese font alone has kana, kanji, Latin, Greek, Cyrillic and
// Hangul.
#pragma once

#include <fontconfig/fontconfig.h>

#include <string>
#include <vector>

// The system's configuration with its font set cut down to `families`, or
// null when none of `needed` is installed (or the configuration cannot be
// read): then the full set should stay, where the toolkit finds what
// Japanese font there is. The caller owns the result.
FcConfig* ownFontSet(const std::vector<std::string>& families, const std::vector<std::string>& needed);

// Makes the cut-down set of the program's families the process's font
// configuration, or reads the full one when that is not possible. Call it
// before the toolkit's first font look-up.
void loadFontConfiguration();
