// Connects the main window to the files, devices and windows it uses.
#pragma once

#include "main/MasumeForm.h"
#include "main/Navigator.h"
#include "main/core/UserFiles.h"
#include "support/SoundPlayer.h"

class AppWiring {
public:
    AppWiring(StudyState& st, Clock& clock) : st_(st), clock_(clock), navigator_(st, player_, clock) {}
    MasumeServices services();
    SoundPlayer& player() { return player_; }

private:
    StudyState& st_;
    Clock& clock_;
    SoundPlayer player_;
    Navigator navigator_;
    UserFileLocation settingsFile_;
    UserFileLocation recordFile_;
};
