// Controls that both results windows build the same way.
#pragma once

#include <QColor>
#include <QRect>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QLabel;
class QLineEdit;
class QTableView;
class QToolButton;
class QWidget;
struct StudyState;

namespace results {

// "なまえ" and the read-only name, which follows the study state every time
// the client area repaints.
struct NameRow {
    QLabel* label = nullptr;
    QLineEdit* edit = nullptr;
};
NameRow nameRow(QWidget* client, const StudyState& st, int y);

struct GridLook {
    int rowHeight;
    std::vector<int> columnWidths;
    int px;
    QColor fixedCells;
    QColor otherCells;
};
// A read-only grid whose first row and column are headings; every text is
// centred on one line and black, marks included.
QTableView* resultGrid(QWidget* client, const QRect& geometry, int columns, int rows,
                       std::function<std::string(int column, int row)> text, const GridLook& look);

// The registration button: bold caption in its colour, with a hint.
QToolButton* registerButton(QWidget* client, const QRect& geometry, const QColor& colour, std::string_view hint);

}  // namespace results
