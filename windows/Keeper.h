// Saves what a child earns the moment it changes, so that a crash, a kill or
// a power cut cannot take it. A failed save says so in a box over the given
// window and the data stays in memory for the next save.
#pragma once

class QWidget;

class Keeper {
public:
    virtual ~Keeper() = default;
    // The settings file, pass table included, as a quit would write it now.
    virtual bool savePasses(QWidget* over) = 0;
    // After 成績クリア: every pass registered before now is gone, wherever it was earned.
    virtual bool savePassesCleared(QWidget* over) { return savePasses(over); }
    // The record of every answer behind the map of hard facts.
    virtual bool saveFactRecord(QWidget* over) = 0;
    // After the record is cleared: every answer given before now is gone, wherever it was given.
    virtual bool saveFactRecordCleared(QWidget* over) { return saveFactRecord(over); }
    // A class computer: clearing passes or the record is for an adult only.
    virtual bool adultOnly() const { return false; }
};
