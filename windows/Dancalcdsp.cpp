#include "windows/Dancalcdsp.h"

#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>

#include "main/core/StudyState.h"
#include "support/FormKit.h"
#include "windows/CellColour.h"
#include "support/Fonts.h"
#include "windows/core/DanTable.h"

namespace {

constexpr int kColumnWidth = 130;
constexpr int kHeadingRowHeight = 30;
constexpr int kFactRowHeight = 70;
constexpr int kCellPx = 19;


// Paints a cell from nothing but what the model says for it: its colours
// and its lines, centred from the top. Selection and focus leave no trace,
// since clicking must not change the table.
class DanCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        painter->save();
        painter->setClipRect(option.rect);
        painter->fillRect(option.rect, index.data(Qt::BackgroundRole).value<QColor>());
        painter->setPen(index.data(Qt::ForegroundRole).value<QColor>());
        const QFont font = option.font;
        // This face keeps room above its glyphs that the Windows one did
        // not: lines start a pixel higher and stand closer, so three fit.
        const int lineStep = font.pixelSize() + 2;
        const QStringList lines = index.data(Qt::DisplayRole).toString().split('\n');
        QRect line(option.rect.left() + 1, option.rect.top() - 1, option.rect.width() - 2, lineStep + 8);
        for (const QString& text : lines) {
            painter->setFont(fitted(font, text, line.width() - 2));
            painter->drawText(line, Qt::AlignHCenter | Qt::AlignTop, text);
            line.translate(0, lineStep);
        }
        painter->restore();
    }

private:
    // The face is wider than the one the table was laid out for: a reading
    // of seven kana is drawn a little tighter rather than broken.
    static QFont fitted(QFont font, const QString& text, int width) {
        const int excess = QFontMetrics(font).horizontalAdvance(text) - width;
        if (excess > 0 && text.size() > 1) font.setLetterSpacing(QFont::AbsoluteSpacing, -qreal(excess) / (text.size() - 1));
        return font;
    }
};

}  // namespace

TDanCalcForm::TDanCalcForm(StudyState& st, QWidget* parent) : QDialog(parent), st_(st) {
    setObjectName(QStringLiteral("DanCalcForm"));
    const kit::Form form = kit::buildForm(this, "■段全部の計算", 1219, 798, kit::kCream, true);
    buildControls(form.client);
    QMenu* view = form.menuBar->addMenu(kit::u("表示(&V)"));
    C1 = view->addAction(kit::u("閉じる(&C)"));
    connect(C1, &QAction::triggered, this, &TDanCalcForm::C1Click);
    FormCreate();
}

void TDanCalcForm::buildControls(QWidget* client) {
    Panel1 = kit::panel(client, {16, 8, 288, 80}, "九九の表", {48, Qt::blue}, kit::kYellow);
    Panel1->setFont(displayFont(48));
    Panel2 = kit::panel(client, {324, 26, 600, 44}, "▽五の段をクリックしてね▽", {24, Qt::red, true}, kit::kAqua);

    // Enter means nothing here; only Esc and the close commands act.
    Button1 = kit::button(client, {1076, 28, 128, 40}, "閉じる(&C)", {.px = 16, .bold = true, .tip = "表を閉じます。"});
    connect(Button1, &QPushButton::clicked, this, &TDanCalcForm::C1Click);
    GuruguruBtn = kit::button(client, {}, "ぐるぐる(&G)");
    GuruguruBtn->hide();

    model_ = new kit::CellModel(dantable::kRows, dantable::kColumns,
                                [this](int row, int column, int role) { return cellData(row, column, role); });
    StringGrid1 = kit::grid(client, {16, 100, 1188, 680}, model_, kFactRowHeight, {kColumnWidth},
                            japaneseFont(kCellPx, true));
    StringGrid1->setFrameShape(QFrame::NoFrame);
    // Beyond the last column and row the window shows through.
    QPalette palette = StringGrid1->palette();
    palette.setColor(QPalette::Base, kit::kCream);
    StringGrid1->setPalette(palette);
    StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->setItemDelegate(new DanCellDelegate(StringGrid1));
    // Rows may be moved, but a cell shows what its place on screen says,
    // so a moved row is drawn as the row that stood there.
    QHeaderView* rows = StringGrid1->verticalHeader();
    rows->setSectionsMovable(true);
    connect(rows, &QHeaderView::sectionMoved, this, [this] {
        applyRowHeights();
        model_->refresh();
    });
}

// Heights belong to places, not to the rows that move through them.
void TDanCalcForm::applyRowHeights() {
    const QHeaderView* rows = StringGrid1->verticalHeader();
    for (int place = 0; place < dantable::kRows; ++place)
        StringGrid1->setRowHeight(rows->logicalIndex(place), place == 0 ? kHeadingRowHeight : kFactRowHeight);
}

void TDanCalcForm::FormCreate() {
    StringGrid1->setFixedSize(1188, 680);
    for (int c = 0; c < dantable::kColumns; ++c) StringGrid1->setColumnWidth(c, kColumnWidth);
    applyRowHeights();
    Panel2->setText(kit::u("声に出しておぼえるといいよ。"));
}

void TDanCalcForm::C1Click() { close(); }

QVariant TDanCalcForm::cellData(int row, int column, int role) const {
    const int shownRow = StringGrid1 ? StringGrid1->verticalHeader()->visualIndex(row) : row;
    const GridCell cell = dantable::cellAt(st_, shownRow, column);
    switch (role) {
    case Qt::DisplayRole: return QString::fromStdString(cell.text);
    case Qt::BackgroundRole: return cellColour(cell.fill);
    case Qt::ForegroundRole: return cellColour(cell.ink);
    case Qt::TextAlignmentRole: return int(Qt::AlignHCenter | Qt::AlignTop);
    default: return {};
    }
}
