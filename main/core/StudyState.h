// The study state shared by every window: selections, timings, the student,
// the question order of the current run and the records of tests and passes.
// One instance lives for the whole program; tests make their own.
#pragma once

#include <array>
#include <random>
#include <string>

#include "main/core/FactRecord.h"

inline constexpr int kFactCount = 81;
inline constexpr int kRangeCount = 13;
inline constexpr int kContentCount = 6;
inline constexpr int kSpeedCount = 4;
inline constexpr int kMnemonicSlots = 82;
inline constexpr int kKekkaRows = 18;
inline constexpr int kKekkaCols = 9;
inline constexpr int kRecCols = 4;
inline constexpr int kRecRows = 14;

struct StudyState {
    // selections
    int rangeIndex = 0;
    int contentIndex = 0;
    int currentDan = 0;
    int levelIndex = 0;
    int speedIndex = 0;
    int stepPause = 0;
    int waitLimit = 0;
    int repeatCount = 0;
    int answerDelay = 0;
    int soundOn = 0;
    int effectVolume = 0;
    int closeConfirm = 0;
    // Our own: the 九九 spoken in practice, and tests asked by ear. Both
    // stay 0 where the program has no voice.
    int voiceOn = 0;
    int testByEar = 0;

    // the current run
    std::array<int, kFactCount> questionOrder{};
    std::array<int, kFactCount> shuffleRanks{};
    int orderMode = 0;  // 0 in order, 1 random, 2 reverse
    int firstPos = 0;
    int endPos = 0;
    int passNo = 0;
    int passesLeft = 0;
    int askedCount = 0;
    int currentQuestion = 0;
    int testActive = 0;
    int outcomeFlag = 0;
    int refFromContent = 0;
    int firstPaintPending = 0;
    int lastTestByEar = 0;  // the test that filled the answer record was asked by ear

    // the student and the window
    std::string studentName;
    int studentNo = 0;
    int bgColor = 0;  // 0x00BBGGRR
    int winLeft = 0;
    int winTop = 0;
    std::string exeDir;
    std::string msgText;
    std::string contentPhrase;

    // values the settings file carries for other programs of the family
    int sikiSpRate = 0;
    int sikiSpVolume = 0;
    int interval = 0;
    int answerWay = 0;
    std::string userSyobina;

    // hints: slot q + 1 is the hint of fact q; slot 0 is the file's heading
    std::array<std::string, kMnemonicSlots> mnemonicTable{};

    // answer record of the last test (1 right, 0 not right, 2 not asked)
    int kekkaArray[kKekkaRows][kKekkaCols] = {};
    // pass table: [column 0..3][row 0..13], flags 0/1
    int recCheckArray[kRecCols][kRecRows] = {};
    // How often each pass was registered in this run: a pass still on screen
    // that is earned again must be dated again, or a clear another computer
    // made meanwhile would take it.
    int passRegistrations[kRecCols][kRecRows] = {};
    int certKind = 0;  // -1 range certificate, 0 免許皆伝, 1 master
    // every judged answer of every test, per fact; a file of its own
    FactRecord factRecord;

    std::mt19937 random{};
};
