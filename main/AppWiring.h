// Connects the main window to the files, devices and windows it uses, and
// saves what the child earns the moment it changes.
#pragma once

#include <QPointer>
#include <QTimer>

#include <functional>
#include <optional>

#include "main/AppNavigator.h"
#include "main/core/Classroom.h"
#include "main/core/History.h"
#include "main/MasumeForm.h"
#include "main/core/ChildFiles.h"
#include "main/core/ProgramSlot.h"
#include "main/core/VoiceChoice.h"
#include "support/SoundPlayer.h"
#include "windows/Household.h"
#include "windows/Keeper.h"


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
    bool savePassesCleared(QWidget* over) override;
    bool saveFactRecordCleared(QWidget* over) override;

    std::vector<ChildEntry> children() override;
    int addChild(QWidget* over) override;
    bool switchTo(int number, QWidget* over) override;
    bool renameChild(int number, const std::string& name, QWidget* over) override;
    bool removeChild(int number, QWidget* over) override;
    int currentChild() const { return child_; }
    // The folder of the first child's settings file; the others are below it.
    const std::string& familyFolder() const { return familyDir_; }
    // The current child's history of tests: the file this computer appends to.
    std::string historyPath() const override { return files_.historyPath(); }
    std::vector<HistoryEntry> history() const override { return files_.history(); }
    bool appendHistory(const HistoryEntry& entry);
    // While this says so (a run), a box that nobody asked for waits.
    void setBusy(std::function<bool()> busy) { busy_ = std::move(busy); }
    // What the lease timer does each minute.
    void checkLease() { renewLease(nullptr); }

    // A class folder given at start: it wins over the one noted.
    void useClassFolder(const std::string& folder) { classFolderGiven_ = folder; }
    std::string classFolder() const override { return classDir_; }
    bool adultOnly() const override { return !classDir_.empty(); }
    bool setClassFolder(const std::string& folder, QWidget* over) override;
    NameChange confirmName(QWidget* over) override;
    bool switchToClassChild(const std::string& name, QWidget* over) override;
    bool newClassChild(QWidget* over) override;

private:
    // Finds and reads the files of a child of the family into the state.
    void loadChild(StudyState& st, int number);
    // Each returns an empty text, or what went wrong, naming the file.
    std::string writeSettingsFile(const StudyState& st);
    std::string writeRecordFile(const StudyState& st);
    // The sounds at the volume of the child who sits here now.
    void followSounds();
    // Saves the class child's files and lets their lease go.
    bool leaveClassChild(QWidget* over);
    void openClassChild(const std::string& folderName, QWidget* over);
    void enterClass(const std::string& folder);
    // Renews this program's lease on the class child, and tells the child
    // once of each other program that has them open too.
    void renewLease(QWidget* over);
    // over: the window the child acts in; none at the minute's tick.
    void tellOthersOpen(QWidget* over);

    StudyState& st_;
    SoundPlayer player_;
    AppNavigator navigator_;
    ChildFiles files_;
    std::string familyDir_;
    int child_ = 0;
    // One box per file until a save of it succeeds again, not one per test.
    bool settingsFailureShown_ = false;
    bool recordFailureShown_ = false;
    bool historyFailureShown_ = false;
    bool childNoteFailureShown_ = false;
    // Lines of tests that a full or locked disk refused, with their files:
    // written with the next test's line.
    std::vector<std::pair<std::string, HistoryEntry>> historyNotWritten_;
    bool soundsPrepared_ = false;
    bool voiceLoaded_ = false;

    std::string classFolderGiven_;
    std::string classDir_;    // ends in '/'; empty without a class
    std::string classTyped_;  // the name as the class child typed it
    std::string computer_;    // this program's id in the class folder
    ProgramSlot slot_;        // keeps that id ours while we run
    // A test taken before a name was typed: its line, for the child who types one.
    std::optional<HistoryEntry> testBeforeName_;
    Lease lease_;
    bool leaseHeld_ = false;
    std::vector<Lease> told_;        // the other programs the child was told of
    std::vector<Lease> toTell_;      // found while the child was busy
    QPointer<QWidget> window_;       // where a box that nobody asked for shows
    std::function<bool()> busy_;
    bool retryPending_ = false;
    QTimer leaseTimer_;
};
