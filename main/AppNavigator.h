// The navigator of the running program: it knows every window and hands
// each the state, devices and savers it needs.
#pragma once

#include "windows/Household.h"
#include "windows/Keeper.h"
#include "windows/Navigator.h"

class Clock;
class Sound;
struct StudyState;

class AppNavigator : public Navigator {
public:
    AppNavigator(StudyState& st, Sound& sound, Clock& clock, Keeper& keeper)
        : st_(st), sound_(sound), clock_(clock), keeper_(keeper) {}

    void openSettings(QWidget* over) override;
    void openResultsByTable(QWidget* over) override;
    void openResultsByLevel(QWidget* over) override;
    void openQualification(QWidget* over) override;
    void openCertificate(QWidget* over) override;
    void openTable(QWidget* over) override;
    void openAbout(QWidget* over) override;
    FactMapChoice openFactMap(QWidget* over) override;
    void openHelp(QWidget* over, const std::string& fileName) override;
    bool openChildren(QWidget* over) override;
    void openProgress(QWidget* over) override;
    void openClassRecord(QWidget* over) override;
    // Without a household the children's window does not open.
    void setHousehold(Household* household) { household_ = household; }

protected:
    StudyState& st_;

private:
    Sound& sound_;
    Clock& clock_;
    Keeper& keeper_;
    Household* household_ = nullptr;
};
