#include "windows/ResultsParts.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QToolButton>

#include "main/core/StudyState.h"
#include "support/FormKit.h"

namespace results {

namespace {

// The name can change under an open window only through another window, so
// it is read again whenever the window shows itself anew.
class NameFollower : public QObject {
public:
    NameFollower(QWidget* client, const StudyState& st, QLineEdit* edit) : QObject(client), st_(st), edit_(edit) {
        client->installEventFilter(this);
        refresh();
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) refresh();
        return false;
    }

private:
    void refresh() {
        const QString name = kit::u(st_.studentName);
        if (name == shown_ && !shown_.isNull()) return;
        shown_ = name;
        kit::showFitted(edit_, name, kit::pixelFont(kNamePx), kNameFloorPx);
    }
    static constexpr int kNamePx = 16;
    static constexpr int kNameFloorPx = 11;
    const StudyState& st_;
    QLineEdit* edit_;
    QString shown_;
};

}  // namespace

NameRow nameRow(QWidget* client, const StudyState& st, int y) {
    NameRow row;
    row.label = kit::label(client, QRect(24, y, 56, 26), "なまえ", {.px = 16});
    row.edit = new QLineEdit(client);
    row.edit->setGeometry(84, y, 200, 26);
    row.edit->setReadOnly(true);
    row.edit->setFocusPolicy(Qt::NoFocus);
    kit::setPixelFont(row.edit, 16);
    new NameFollower(client, st, row.edit);
    return row;
}

QTableView* resultGrid(QWidget* client, const QRect& geometry, int columns, int rows,
                       std::function<std::string(int column, int row)> text, const GridLook& look) {
    auto cell = [text = std::move(text), look](int row, int column, int role) -> QVariant {
        switch (role) {
        case Qt::DisplayRole: return kit::u(text(column, row));
        case Qt::TextAlignmentRole: return int(Qt::AlignCenter);
        case Qt::BackgroundRole: return row == 0 || column == 0 ? look.fixedCells : look.otherCells;
        case Qt::ForegroundRole: return QColor(Qt::black);
        default: return {};
        }
    };
    auto* model = new kit::CellModel(rows, columns, cell);
    model->setHeadings(1, 1);
    QTableView* view = kit::grid(client, geometry, model, look.rowHeight, look.columnWidths, kit::pixelFont(look.px, true));
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return view;
}

QToolButton* registerButton(QWidget* client, const QRect& geometry, const QColor& colour, std::string_view hint) {
    auto* button = new QToolButton(client);
    button->setText(kit::u("証明証発行＆登録(&R)"));
    button->setGeometry(geometry);
    button->setToolTip(kit::u(hint));
    kit::setPixelFont(button, 16, true);
    // Only while enabled: a refused registration shows a greyed caption.
    QPalette palette = button->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive}) palette.setColor(group, QPalette::ButtonText, colour);
    button->setPalette(palette);
    return button;
}

}  // namespace results
