// Connects the main window to the files, devices and windows it uses, and
// saves what the child earns the moment it changes.
#pragma once

#include "main/AppNavigator.h"
#include "main/MasumeForm.h"
#include "main/core/UserFiles.h"
#include "support/SoundPlayer.h"
#include "windows/Keeper.h"

class AppWiring : public Keeper {
public:
    AppWiring(StudyState& st, Clock& clock) : st_(st), navigator_(st, player_, clock, *this) {}
    MasumeServices services();
    SoundPlayer& player() { return player_; }

    bool savePasses(QWidget* over) override;
    bool saveFactRecord(QWidget* over) override;

private:
    // Each returns an empty text, or what went wrong, naming the file.
    std::string writeSettingsFile(const StudyState& st);
    std::string writeRecordFile(const StudyState& st);

    StudyState& st_;
    SoundPlayer player_;
    AppNavigator navigator_;
    UserFileLocation settingsFile_;
    UserFileLocation recordFile_;
    // One box per file until a save of it succeeds again, not one per test.
    bool settingsFailureShown_ = false;
    bool recordFailureShown_ = false;
    bool recordWritable_ = true;
};
