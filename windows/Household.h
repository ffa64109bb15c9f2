// The children who use this program on this computer: listed, added, and
// switched between. The one who is switched away from has everything saved
// first; the main window then follows the other.
#pragma once

#include <string>
#include <vector>

#include "main/core/History.h"

class QWidget;

struct ChildEntry {
    int number = 0;  // 0 is the first child, whose files are where they always were
    std::string name;
    bool current = false;
    bool inClass = false;  // a folder of the class folder, chosen by its name
};

// What confirming the typed name did.
enum class NameChange {
    Kept,    // the same child as before, or no class folder
    Loaded,  // another child of the class: their files are in the state now
    Carried, // the first child of the class: their files, and the test taken before the name
    Refused  // the child before could not be saved (a box said so): the name goes back
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
    // Another name for a child of this computer, the one sitting here too;
    // false when it could not be saved (a box says so).
    virtual bool renameChild(int number, const std::string& name, QWidget* over) = 0;
    // Moves a child of this computer aside, files and all; never the first
    // child nor the one sitting here. False when nothing moved (a box says why).
    virtual bool removeChild(int number, QWidget* over) = 0;
    // Every line of the child's history, from whichever computers keep it.
    virtual std::vector<HistoryEntry> history() const = 0;

    // The class folder, ending in '/'; empty when this computer has none.
    virtual std::string classFolder() const = 0;
    // Uses a class folder from now on (an empty one: none) and notes it for
    // the next start; false when the current child could not be saved first.
    virtual bool setClassFolder(const std::string& folder, QWidget* over) = 0;
    // With a class folder, the name typed chooses the child's folder of it.
    virtual NameChange confirmName(QWidget* over) = 0;
    // Switches to a child of the class, as if the name had been typed.
    virtual bool switchToClassChild(const std::string& name, QWidget* over) = 0;
    // Leaves the class child with everything saved, for a new one to type a name.
    virtual bool newClassChild(QWidget* over) = 0;
};
