// がんばりグラフ: a child's progress over days, drawn, and the same numbers
// in a table that a screen reader reads cell by cell.
#pragma once

#include <QDialog>
#include <vector>

#include "windows/core/Progress.h"

class QChartView;
class QLabel;
class QPushButton;
class QTableView;
namespace kit {
class CellModel;
}

class ProgressChartWindow : public QDialog {
    Q_OBJECT
public:
    ProgressChartWindow(const std::vector<HistoryEntry>& history, QWidget* parent = nullptr);

    QLabel* Heading = nullptr;
    QChartView* Chart = nullptr;
    QTableView* DayGrid = nullptr;
    QPushButton* PrintButton = nullptr;
    QPushButton* CloseButton = nullptr;

    // The chart and every day of the table on the default printer; true once
    // the printer has taken them (a box says why not).
    bool PrintClick();

    const std::vector<DayProgress>& days() const { return days_; }

private:
    void buildChart(QWidget* client);
    QVariant cellData(int row, int column, int role) const;
    void showDayTip(const QPointF& at, bool inside);
    // The parent's numbers of a day, with its year.
    QString dayDetails(const DayProgress& day) const;

    std::vector<DayProgress> days_;
    QWidget* client_ = nullptr;
};
