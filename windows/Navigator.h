// Opens the secondary windows. Each open makes a new modal instance over
// the window it is given and returns when that window has closed. Only
// windows that open other windows are handed one.
#pragma once

#include <string>
#include <vector>

class QWidget;

// What the child chose in the map of hard facts: nothing, or a practice or
// a test of the facts it names.
struct FactMapChoice {
    enum class Drill { None, Practice, Test };
    Drill drill = Drill::None;
    std::vector<int> facts;
};

inline constexpr const char* kMainHelpFile = "masumev15.chm";
inline constexpr const char* kSettingsHelpFile = "Jouken_setM15.chm";
inline constexpr const char* kQualificationHelpFile = "TateyokoM01.chm";

class Navigator {
public:
    virtual ~Navigator() = default;

    virtual void openSettings(QWidget* over) = 0;
    virtual void openResultsByTable(QWidget* over) = 0;
    virtual void openResultsByLevel(QWidget* over) = 0;
    virtual void openQualification(QWidget* over) = 0;
    virtual void openCertificate(QWidget* over) = 0;
    virtual void openTable(QWidget* over) = 0;
    virtual void openAbout(QWidget* over) = 0;
    // The map of hard facts; returns what the child chose to do there.
    virtual FactMapChoice openFactMap(QWidget* over) = 0;
    // A help file beside the executable, in the desktop's viewer for its
    // type; when it is missing or no viewer starts, a box over `over` says so.
    virtual void openHelp(QWidget* over, const std::string& fileName) = 0;
    // 子どもを かえる; true when another child is now the current one.
    virtual bool openChildren(QWidget* over) = 0;
    // がんばりグラフ of the current child.
    virtual void openProgress(QWidget* over) = 0;
    // クラスのきろく of the class folder.
    virtual void openClassRecord(QWidget* over) = 0;
};
