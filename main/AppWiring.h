// Connects the main window to the files, devices and windows it uses, and
// saves what the child earns the moment it changes.
#pragma once

#include "main/AppNavigator.h"
#include "main/MasumeForm.h"
#include "main/core/UserFiles.h"
#include "support/SoundPlayer.h"
#include "windows/Household.h"
#include "windows/Keeper.h"

struct HistoryEntry;

class AppWiring : public Keeper, public Household {
public:
    AppWiring(StudyState& st, Clock& clock) : st_(st), navigator_(st, player_, clock, *this) {
        navigator_.setHousehold(this);
    }
    MasumeServices services();
    SoundPlayer& player() { return player_; }

    bool savePasses(QWidget* over) override;
    bool saveFactRecord(QWidget* over) override;

    std::vector<ChildEntry> children() override;
    int addChild(QWidget* over) override;
    bool switchTo(int number, QWidget* over) override;
    int currentChild() const { return child_; }
    // The folder of the first child's settings file; the others are below it.
    const std::string& familyFolder() const { return familyDir_; }
    // The current child's history of tests.
    std::string historyPath() const override;
    bool appendHistory(const HistoryEntry& entry);

private:
    // Finds and reads the files of a child into the state.
    void loadChild(StudyState& st, int number);
    // Each returns an empty text, or what went wrong, naming the file.
    std::string writeSettingsFile(const StudyState& st);
    std::string writeRecordFile(const StudyState& st);

    StudyState& st_;
    SoundPlayer player_;
    AppNavigator navigator_;
    UserFileLocation settingsFile_;
    UserFileLocation recordFile_;
    std::string familyDir_;
    int child_ = 0;
    // One box per file until a save of it succeeds again, not one per test.
    bool settingsFailureShown_ = false;
    bool recordFailureShown_ = false;
    bool recordWritable_ = true;
};
