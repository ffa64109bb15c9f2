// The map of the facts a child finds hard, from every answer of every test,
// and the way to practise exactly those, then to check them in a short test.
#pragma once

#include <QDialog>
#include <vector>

#include "windows/Navigator.h"

class QLabel;
class QPushButton;
class QTableView;
class Keeper;
struct StudyState;
namespace kit {
class CellModel;
}

class TNigateMapForm : public QDialog {
    Q_OBJECT
public:
    TNigateMapForm(StudyState& st, Keeper& keeper, QWidget* parent = nullptr);

    // What the child asked for on closing; nothing otherwise.
    const FactMapChoice& choice() const { return choice_; }

    QLabel* TitlePanel = nullptr;
    QLabel* HardLine = nullptr;
    QTableView* MapGrid = nullptr;
    QPushButton* PracticeButton = nullptr;
    QPushButton* TestButton = nullptr;
    QPushButton* ClearButton = nullptr;
    QPushButton* CloseButton = nullptr;
    QPushButton* ParentButton = nullptr;  // おうちの方へ: shares and times in the cells
    QPushButton* PrintButton = nullptr;

    void PracticeButtonClick();
    void TestButtonClick();
    void ClearButtonClick();
    // The map as it shows now, on one page of the default printer; true once
    // the printer has taken it (a box says why not).
    bool PrintClick();
    // The merged map of a class, for the teacher to read.
    void showClassMap();

private:
    void buildControls(QWidget* client);
    void refresh();
    void choose(FactMapChoice::Drill drill);
    QVariant cellData(int row, int column, int role) const;

    StudyState& st_;
    Keeper& keeper_;
    QWidget* client_ = nullptr;
    kit::CellModel* model_ = nullptr;
    FactMapChoice choice_;
};
