// The display routines of the main window, shared by both runners and the
// window itself. They format; the view only puts text into fields.
#pragma once

#include <string>

#include "main/core/RunnerPorts.h"
#include "main/core/StudyState.h"

class Board {
public:
    Board(StudyState& st, BoardView& view) : st_(st), view_(view) {}

    void showMessage(const std::string& text);
    void showProgress(int n);
    void showPassLabel(int n);
    void showFormula(const std::string& text);
    void showAnswer(const std::string& text, int correctFlag);
    void showReading(const std::string& text, bool partial);
    void showHint(int q);
    void showMark(const std::string& text);
    void clearHint();
    void clearFields();
    void clearReading();
    void composDead();
    void composAlive();
    void sankakuPt();
    void drawDecorations();
    // Clear (the button and the Delete key): an empty board, the controls
    // back, the record of the last test gone and the opening invitation.
    void clearBoard();
    // The message line names the chosen range and content.
    void showSelection();

    BoardView& view() { return view_; }

private:
    StudyState& st_;
    BoardView& view_;
};

// Text transforms of the display routines.
std::string withoutFullWidthSpaces(const std::string& text);
