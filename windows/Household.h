// The children who use this program on this computer: listed, added, and
// switched between. The one who is switched away from has everything saved
// first; the main window then follows the other.
#pragma once

#include <string>
#include <vector>

class QWidget;

struct ChildEntry {
    int number = 0;  // 0 is the first child, whose files are where they always were
    std::string name;
    bool current = false;
};

class Household {
public:
    virtual ~Household() = default;
    virtual std::vector<ChildEntry> children() = 0;
    // Makes a new child's folder; its number, or -1 (a box over `over` says why).
    virtual int addChild(QWidget* over) = 0;
    // Saves the current child's files and loads the other's; false when the
    // current child's passes could not be saved (a box says so) and nothing changed.
    virtual bool switchTo(int number, QWidget* over) = 0;
    // The current child's history of tests.
    virtual std::string historyPath() const = 0;
};
