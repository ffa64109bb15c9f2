// 子どもを かえる: the children of this computer, to switch to another one or
// to add one.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "windows/Household.h"

class QLabel;
class QPushButton;
class QTableView;
namespace kit {
class CellModel;
}

class ChildrenWindow : public QDialog {
    Q_OBJECT
public:
    ChildrenWindow(Household& household, QWidget* parent = nullptr);

    // True when another child was chosen and is now the current one.
    bool switched() const { return switched_; }

    QLabel* Heading = nullptr;
    QTableView* ChildGrid = nullptr;
    QPushButton* ChooseButton = nullptr;
    QPushButton* AddButton = nullptr;
    QPushButton* BackButton = nullptr;
    QPushButton* RenameButton = nullptr;
    QPushButton* RemoveButton = nullptr;
    QLabel* ClassLine = nullptr;
    QPushButton* ClassButton = nullptr;
    QPushButton* LeaveClassButton = nullptr;

    void ChooseButtonClick();
    void AddButtonClick();
    // The chosen child's new name, asked for unless given.
    void RenameButtonClick(const QString& given = {});
    // Moves the chosen child aside once an adult has said yes.
    void RemoveButtonClick(bool confirmed = false);
    // A class folder from now on; an empty one leaves the class.
    void setClassFolder(const std::string& folder);

private:
    void refresh();
    void followSelection();
    int selectedRow() const;
    QVariant cellData(int row, int column, int role) const;

    Household& household_;
    std::vector<ChildEntry> children_;
    kit::CellModel* model_ = nullptr;
    bool switched_ = false;
};
