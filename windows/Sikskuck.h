// The qualification check: registered passes, the master rank, certificates.
#pragma once

#include <QDialog>

#include "windows/core/Qualification.h"

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class Keeper;
class Navigator;
struct StudyState;
namespace kit {
class CellModel;
}

class TSikakuCheckForm : public QDialog {
    Q_OBJECT
public:
    TSikakuCheckForm(StudyState& st, Navigator& navigator, Keeper& keeper, QWidget* parent = nullptr);

    QLabel* Panel1 = nullptr;  // title
    QLabel* Label1 = nullptr;  // なまえ
    QLineEdit* Edit1 = nullptr;
    QPushButton* Button1 = nullptr;  // お助け
    QTableView* StringGrid1 = nullptr;
    QLabel* Panel2 = nullptr;  // verdict
    QPushButton* Button4 = nullptr;  // 資格チェック
    QPushButton* Button3 = nullptr;  // 段級認定書
    QPushButton* Button5 = nullptr;  // マスター位
    QAction* K2 = nullptr;
    QAction* D1 = nullptr;
    QAction* C1 = nullptr;
    QAction* Contents1 = nullptr;

    void K2Click();
    void Button3Click();
    void Button5Click();
    void D1Click();
    void C1Click();
    void Contents1Click();

    const CheckGrid& grid() const { return grid_; }
    Rank rank() const { return rank_; }

    // Every way of closing writes the grid back into the pass table.
    void done(int result) override;


private:
    void buildControls(QWidget* client);
    void buildMenu(class QMenuBar* menuBar);
    QVariant cell(int row, int column, int role) const;
    void showCheck();

    StudyState& st_;
    Navigator& navigator_;
    Keeper& keeper_;
    CheckGrid grid_;
    Rank rank_ = Rank::None;
    kit::CellModel* model_ = nullptr;
};
