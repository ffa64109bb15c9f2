// The settings file tateyokoM15.ini beside the executable: what outlives a
// run of the program.
#pragma once

#include <string>

#include "main/core/StudyState.h"

class IniFile;

inline constexpr const char* kSettingsFileName = "tateyokoM15.ini";

// The file beside the executable; exeDir ends in the path separator.
std::string settingsPath(const std::string& exeDir);

// Reads every key into the state; a missing file or key gives its default.
// MENUN, PROCFLAG, KAIMAX and ANSMA are kept within what their controls
// offer. PROCFLAG sets speedIndex only: the caller selects the speed to set
// its delays.
void loadSettings(StudyState& st, const std::string& iniPath);

// Writes every key into the file, keeping the lines it does not own, and
// replaces the file in one step. Returns false and sets *error (a text that
// names the file; error may be null) when the file cannot be read or
// written; the file is then left as it was.
bool saveSettings(const StudyState& st, const std::string& iniPath, std::string* error);

// The mapping itself, on a file held in memory: what loadSettings reads and
// saveSettings writes. Texts are read as a save would write them back, so a
// load, save and load again gives the same state.
void readSettings(StudyState& st, const IniFile& ini);
void writeSettings(const StudyState& st, IniFile& ini);

// A stored range outside the range list starts at the first entry.
int startRangeIndex(int storedRangeIndex);

// What the settings dialog's controls offer: passes 1-9, a pause of
// 100-3000 ms, and a volume bar of 21 steps of 5.
int clampPasses(int repeatCount);
int clampPause(int answerDelay);
int effectBarPosition(int effectVolume);
int effectVolumeAt(int barPosition);
