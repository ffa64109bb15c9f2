// Connects the main window to the files, devices and windows it uses, and
// saves what the child earns the moment it changes.
#pragma once

#include <QTimer>

#include "main/AppNavigator.h"
#include "main/core/Classroom.h"
#include "main/MasumeForm.h"
#include "main/core/UserFiles.h"
#include "main/core/VoiceChoice.h"
#include "support/SoundPlayer.h"
#include "windows/Household.h"
#include "windows/Keeper.h"

struct HistoryEntry;

class AppWiring : public Keeper, public Household {
public:
    AppWiring(StudyState& st, Clock& clock);
    ~AppWiring() override;
    MasumeServices services();
    SoundPlayer& player() { return player_; }
    // The spoken 九九 at the volume and rate of the child who sits here now.
    void loadVoice();

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

    // A class folder given at start: it wins over the one noted.
    void useClassFolder(const std::string& folder) { classFolderGiven_ = folder; }
    std::string classFolder() const override { return classDir_; }
    bool setClassFolder(const std::string& folder, QWidget* over) override;
    NameChange confirmName(QWidget* over) override;
    bool switchToClassChild(const std::string& name, QWidget* over) override;
    bool newClassChild(QWidget* over) override;

private:
    // Finds and reads the files of a child into the state.
    void loadChild(StudyState& st, int number);
    // Each returns an empty text, or what went wrong, naming the file.
    std::string writeSettingsFile(const StudyState& st);
    std::string writeRecordFile(const StudyState& st);
    // The sounds at the volume of the child who sits here now.
    void followSounds();
    // Each is empty when the files may be written; else why not.
    std::string classFilesReady() const;
    // Saves the class child's files and lets their folder go.
    bool leaveClassChild(QWidget* over);
    void openClassChild(const std::string& folderName, QWidget* over);
    void enterClass(const std::string& folder);
    // Takes the lease of the class child's folder when nobody else holds it;
    // tells the child once when somebody does.
    void renewLease(QWidget* over);
    std::string classChildFolder() const { return classDir_ + classChild_ + "/"; }

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
    bool soundsPrepared_ = false;
    bool voiceLoaded_ = false;

    std::string classFolderGiven_;
    std::string classDir_;    // ends in '/'; empty without a class
    std::string classChild_;  // the folder of the child open in the class; empty before a name
    std::string classTyped_;  // the name as that child typed it
    Lease lease_;
    bool leaseHeld_ = false;
    QTimer leaseTimer_;
};
