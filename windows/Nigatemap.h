// The map of the facts a child finds hard, from every answer of every test,
// and the way to practise exactly those.
#pragma once

#include <QDialog>
#include <vector>

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

    // The facts the child asked to practise on closing; empty otherwise.
    const std::vector<int>& chosenFacts() const { return chosen_; }

    QLabel* TitlePanel = nullptr;
    QLabel* HardLine = nullptr;
    QTableView* MapGrid = nullptr;
    QPushButton* PracticeButton = nullptr;
    QPushButton* ClearButton = nullptr;
    QPushButton* CloseButton = nullptr;

    void PracticeButtonClick();
    void ClearButtonClick();

private:
    void buildControls(QWidget* client);
    void refresh();
    QVariant cellData(int row, int column, int role) const;

    StudyState& st_;
    Keeper& keeper_;
    kit::CellModel* model_ = nullptr;
    std::vector<int> chosen_;
};
