// The map of the facts a child finds hard, from every answer of every test,
// and the way to practise exactly those, then to check them in a short test.
#pragma once

#include <QDialog>
#include <QPixmap>
#include <vector>

#include "windows/Navigator.h"
#include "windows/core/GridCell.h"

class QLabel;
class QPushButton;
class QTableView;
class Keeper;
struct StudyState;
namespace kit {
class CellModel;
}

class FactMapWindow : public QDialog {
    Q_OBJECT
public:
    FactMapWindow(StudyState& st, Keeper& keeper, QWidget* parent = nullptr);

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
    // What goes on paper: the child's name and the day above the map, and
    // no buttons.
    QPixmap printedPage() const;
    static constexpr int kCaptionHeight = 40;  // the name and the day, above the map
    QString printedCaption() const;
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
    bool classMap_ = false;
    // Each cell worked out once per refresh, not once for every role a paint
    // asks: a class's map summarises thousands of answers a cell.
    struct ShownCell {
        bool known = false;
        GridCell cell;
        QString details;
    };
    mutable std::vector<ShownCell> shown_;
};
