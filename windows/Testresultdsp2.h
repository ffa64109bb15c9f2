// Results of the last test of a level: both passes of every question of its
// tables, a pass or fail per table, the verdict and registration.
#pragma once

#include <QDialog>

#include "windows/core/ResultByLevel.h"

class QAction;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QToolButton;
class Keeper;
class Navigator;
struct StudyState;

class TResultDsp2Form : public QDialog {
    Q_OBJECT
public:
    TResultDsp2Form(StudyState& st, Navigator& navigator, Keeper& keeper, QWidget* parent = nullptr);

    void TestClick();
    void C1Click();
    void SpeedButton1Click();
    void R1Click();

    QLabel* Panel1 = nullptr;
    QLabel* StaticText2 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QTableView* TestResultGrid2 = nullptr;
    QLabel* StaticText1 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QPushButton* Button1 = nullptr;
    QAction* C1 = nullptr;
    QAction* R1 = nullptr;

private:
    void buildMenus(class QMenuBar* menuBar);
    void whenPassed();

    StudyState& st_;
    Navigator& navigator_;
    Keeper& keeper_;
    const LevelResult result_;
};
