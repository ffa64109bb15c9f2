// The whole multiplication table with its readings, the chosen range lit.
#pragma once

#include <QDialog>

class QAction;
class QLabel;
class QPushButton;
class QTableView;
struct StudyState;
namespace kit {
class CellModel;
}

class TDanCalcForm : public QDialog {
    Q_OBJECT
public:
    TDanCalcForm(StudyState& st, QWidget* parent = nullptr);

    QLabel* Panel1 = nullptr;  // 九九の表
    QLabel* Panel2 = nullptr;  // the hint line
    QTableView* StringGrid1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* GuruguruBtn = nullptr;  // never shown
    QAction* C1 = nullptr;

    void FormCreate();
    void C1Click();

private:
    void buildControls(QWidget* client);
    void applyRowHeights();
    QVariant cellData(int row, int column, int role) const;

    StudyState& st_;
    kit::CellModel* model_ = nullptr;
};
