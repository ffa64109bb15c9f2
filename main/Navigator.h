// Opens the secondary windows. Each open makes a new modal instance over
// the window it is given and returns when that window has closed. Windows
// that open others are handed the navigator; tests override the opens they
// want to watch.
#pragma once

#include <string>
#include <vector>

class QWidget;
class Clock;
class Sound;
struct StudyState;

inline constexpr const char* kMainHelpFile = "masumev15.chm";
inline constexpr const char* kSettingsHelpFile = "Jouken_setM15.chm";
inline constexpr const char* kQualificationHelpFile = "TateyokoM01.chm";

class Navigator {
public:
    Navigator(StudyState& st, Sound& sound, Clock& clock) : st_(st), sound_(sound), clock_(clock) {}
    virtual ~Navigator() = default;

    virtual void openSettings(QWidget* over);
    virtual void openResultsByTable(QWidget* over);
    virtual void openResultsByLevel(QWidget* over);
    virtual void openQualification(QWidget* over);
    virtual void openCertificate(QWidget* over);
    virtual void openTable(QWidget* over);
    virtual void openAbout(QWidget* over);
    // The map of hard facts; returns the facts the child chose to practise.
    virtual std::vector<int> openFactMap(QWidget* over);
    // A help file beside the executable, in the desktop's viewer for its
    // type; when it is missing or no viewer starts, a box over `over` says so.
    virtual void openHelp(QWidget* over, const std::string& fileName);

    StudyState& state() { return st_; }
    Sound& sound() { return sound_; }
    Clock& clock() { return clock_; }

private:
    StudyState& st_;
    Sound& sound_;
    Clock& clock_;
};
