// The rules of the font configuration that bear on how text is drawn.
//
// Most of a desktop's font configuration names families: aliases that put a
// hundred fallback names behind every request ("sans-serif" and the fonts
// for it), which each font engine the toolkit makes then runs through and
// matches against. The program draws only in the families it names, from a
// set that holds nothing else, so these add nothing but time. The rules that
// set hinting, antialiasing, sub-pixel order and the rest, the font and cache
// folders, and the system's and the user's choices of faces stay, in the
// order fontconfig reads them.
//
// A rule that tests for a family name only an alias adds (a user's rule for
// "sans-serif") no longer applies to the program's text.
#pragma once

#include <fontconfig/fontconfig.h>

#include <optional>
#include <string>
#include <vector>

// The configuration's files from `mainFile` on, following their includes as
// fontconfig does, less the rules that only name families: documents to load
// one after another. Nothing when a file cannot be followed as fontconfig
// would (a missing include it may not skip, a path relative to a file, a
// file that is not a configuration): then the caller reads it whole.
// `resolver` is a configuration fontconfig resolves the file names in.
std::optional<std::vector<std::string>> drawingRules(FcConfig* resolver, const std::string& mainFile);

// The same from the configuration fontconfig itself starts with
// (FONTCONFIG_FILE, else its fonts.conf).
std::optional<std::vector<std::string>> drawingRules(FcConfig* resolver);
