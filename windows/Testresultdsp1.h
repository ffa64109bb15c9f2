// Results of the last test of one table: the marks of its three passes, the
// verdict, and registration of a faultless result.
#pragma once

#include <QDialog>

#include "windows/core/ResultByTable.h"

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

class TResultDsp1Form : public QDialog {
    Q_OBJECT
public:
    TResultDsp1Form(StudyState& st, Navigator& navigator, Keeper& keeper, QWidget* parent = nullptr);

    void TestClick();
    void SpeedButton1Click();
    void R1Click();

    QLabel* Panel1 = nullptr;
    QLabel* StaticText2 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QTableView* TestResultGrid = nullptr;
    QLabel* StaticText1 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QPushButton* Button1 = nullptr;
    QAction* C1 = nullptr;
    QAction* R1 = nullptr;

private:
    void buildMenus(class QMenuBar* menuBar);
    void registerFrom(RegisterFrom from);

    StudyState& st_;
    Navigator& navigator_;
    Keeper& keeper_;
    const TableResult result_;
};
