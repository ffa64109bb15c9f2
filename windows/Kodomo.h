// 子どもを かえる: the children of this computer, to switch to another one or
// to add one.
#pragma once

#include <QDialog>
#include <vector>

#include "windows/Household.h"

class QPushButton;
class QTableView;
namespace kit {
class CellModel;
}

class TKodomoForm : public QDialog {
    Q_OBJECT
public:
    TKodomoForm(Household& household, QWidget* parent = nullptr);

    // True when another child was chosen and is now the current one.
    bool switched() const { return switched_; }

    QTableView* ChildGrid = nullptr;
    QPushButton* ChooseButton = nullptr;
    QPushButton* AddButton = nullptr;
    QPushButton* BackButton = nullptr;

    void ChooseButtonClick();
    void AddButtonClick();

private:
    void refresh();
    int selectedRow() const;
    QVariant cellData(int row, int column, int role) const;

    Household& household_;
    std::vector<ChildEntry> children_;
    kit::CellModel* model_ = nullptr;
    bool switched_ = false;
};
