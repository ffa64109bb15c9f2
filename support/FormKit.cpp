#include "support/FormKit.h"

#include <QMessageBox>

#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyle>
#include <QFontMetrics>
#include <QPushButton>
#include <QGroupBox>
#include <QHeaderView>
#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <QRegion>
#include <QTableView>

#include <algorithm>

#include "support/Fonts.h"

namespace kit {


void saveFailureBox(QWidget* over, std::string_view error) {
    QMessageBox::critical(over, QStringLiteral("tateyokom"), u(error));
}

QFont pixelFont(int px, bool bold) { return japaneseFont(px, bold); }

void setPixelFont(QWidget* widget, int px, bool bold) { widget->setFont(pixelFont(px, bold)); }

void fillBackground(QWidget* widget, const QColor& colour) {
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
}

void setTextColour(QWidget* widget, const QColor& colour) {
    // A disabled control keeps the style's grey, so that it looks disabled.
    QPalette palette = widget->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
            palette.setColor(group, role, colour);
    widget->setPalette(palette);
}

QLabel* label(QWidget* parent, const QRect& geometry, std::string_view text, const Look& look) {
    auto* l = new QLabel(u(text), parent);
    l->setGeometry(geometry);
    setPixelFont(l, look.px, look.bold);
    setTextColour(l, look.colour);
    l->setAlignment(look.align);
    return l;
}

QLabel* panel(QWidget* parent, const QRect& geometry, std::string_view text, const Look& look,
              const QColor& background) {
    Look centred = look;
    centred.align = Qt::AlignCenter;
    QLabel* l = label(parent, geometry, text, centred);
    l->setFrameStyle(QFrame::Panel | QFrame::Raised);
    l->setLineWidth(2);
    fillBackground(l, background);
    return l;
}

namespace {

// Painted by hand rather than through a style sheet: the first style sheet
// of a process costs more than the rest of a window together.
class ColouredGroup : public QGroupBox {
public:
    ColouredGroup(const QString& title, const GroupLook& look, QWidget* parent)
        : QGroupBox(title, parent), look_(look) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF outer = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        QPainterPath shape;
        shape.addRoundedRect(outer, look_.radius, look_.radius);
        painter.fillPath(shape, look_.fill);
        if (look_.groove) {
            const QColor light = look_.frame.lighter(150);
            strokeGroove(painter, outer, look_.radius, look_.frame, light);
            strokeGroove(painter, outer.adjusted(1, 1, -1, -1), std::max(look_.radius - 1, 0), light, look_.frame);
        } else {
            painter.strokePath(shape, QPen(look_.frame, 1));
        }
        painter.setFont(font());
        painter.setPen(look_.titleColour.isValid()
                           ? look_.titleColour
                           : palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
        const QRect titleArea(look_.titleAt, QSize(width() - look_.titleAt.x(), fontMetrics().height()));
        painter.drawText(titleArea, Qt::AlignLeft | Qt::AlignTop, title());
    }

private:
    // One line of a groove: the top and left in one colour, the bottom and
    // right in the other, split along the diagonal.
    static void strokeGroove(QPainter& painter, const QRectF& r, qreal radius, const QColor& topLeft,
                             const QColor& bottomRight) {
        QPainterPath line;
        line.addRoundedRect(r, radius, radius);
        painter.strokePath(line, QPen(topLeft, 1));
        painter.save();
        const QRectF all = r.adjusted(-1, -1, 1, 1);
        painter.setClipRegion(QRegion(QPolygon({all.topRight().toPoint(), all.bottomRight().toPoint(),
                                                all.bottomLeft().toPoint()})));
        painter.strokePath(line, QPen(bottomRight, 1));
        painter.restore();
    }

    GroupLook look_;
};

}  // namespace

QGroupBox* group(QWidget* parent, const QRect& geometry, std::string_view title, const GroupLook& look, int px) {
    auto* g = new ColouredGroup(u(title), look, parent);
    setPixelFont(g, px, true);
    g->setGeometry(geometry);
    return g;
}

QGroupBox* group(QWidget* parent, const QRect& geometry, std::string_view title, const QColor& fill, int px) {
    return group(parent, geometry, title, GroupLook{fill, fill.darker(160), false, 4, {6, 3}, QColor()}, px);
}

Form buildForm(QDialog* dialog, std::string_view caption, int w, int h, const QColor& background, bool withMenu) {
    dialog->setWindowTitle(u(caption));
    dialog->setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint);
    Form form;
    int top = 0;
    if (withMenu) {
        form.menuBar = new QMenuBar(dialog);
        form.menuBar->setNativeMenuBar(false);
        // An empty bar has no height: measure it with an entry in it, as it
        // will have once the caller adds its menus.
        QAction* probe = form.menuBar->addAction(QStringLiteral("X"));
        top = form.menuBar->sizeHint().height();
        form.menuBar->removeAction(probe);
        delete probe;
        form.menuBar->setGeometry(0, 0, w, top);
    }
    form.client = new QWidget(dialog);
    form.client->setObjectName("client");
    form.client->setGeometry(0, top, w, h);
    fillBackground(form.client, background);
    fillBackground(dialog, background);
    dialog->setFixedSize(w, h + top);
    return form;
}

Fitted fitted(const QFont& font, const QString& text, int width, int floorPx) {
    QFont f = font;
    for (int px = font.pixelSize(); px > floorPx; --px) {
        f.setPixelSize(px);
        if (QFontMetrics(f).horizontalAdvance(text) <= width) return {f, text};
    }
    f.setPixelSize(std::min(floorPx, std::max(font.pixelSize(), 1)));
    return {f, QFontMetrics(f).elidedText(text, Qt::ElideMiddle, width)};
}

namespace {
template <typename Widget>
void showWhole(Widget* widget, const QString& text, const Fitted& fit) {
    widget->setFont(fit.font);
    widget->setText(fit.text);
    widget->setAccessibleName(text);
    widget->setToolTip(fit.text == text ? QString() : text);
}
}  // namespace

void showFitted(QLabel* label, const QString& text, const QFont& font, int floorPx) {
    const int room = label->contentsRect().width() - 2 * std::max(label->indent(), 0) - 2 * label->margin();
    showWhole(label, text, fitted(font, text, room, floorPx));
}

void showFitted(QLineEdit* edit, const QString& text, const QFont& font, int floorPx) {
    // The edit keeps a margin of two pixels on each side inside its frame.
    const QMargins margins = edit->textMargins();
    const int room = edit->contentsRect().width() - margins.left() - margins.right() - 4 -
                     (edit->hasFrame() ? 2 * edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit) : 0);
    showWhole(edit, text, fitted(font, text, room, floorPx));
}

namespace {
constexpr QChar kWordJoiner(0x2060);
constexpr int kLongestWholeWord = 24;
// A message box wraps its lines only beyond this width (half a small screen).
constexpr int kNeverWrapsPx = 400;

bool breaksAfter(QChar c) {
    return c.isSpace() || QStringView(u"、。，．！？/").contains(c);
}

class BoxLines : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        // Before the box sizes itself for its text.
        if (event->type() != QEvent::Show) return false;
        auto* box = qobject_cast<QMessageBox*>(watched);
        if (!box || Qt::mightBeRichText(box->text())) return false;
        auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        if (!label) return false;
        // The box reads its text from the label: a text on lines short
        // enough never to wrap stays exactly as given.
        const QString text = box->text();
        const QFontMetrics metrics(label->font());
        bool wraps = false;
        for (const QString& line : text.split('\n')) wraps = wraps || metrics.horizontalAdvance(line) > kNeverWrapsPx;
        if (wraps && !text.contains(kWordJoiner)) label->setText(keepWordsWhole(text));
        return false;
    }
};
}  // namespace

QString keepWordsWhole(const QString& text) {
    QString out;
    out.reserve(text.size() * 2);
    qsizetype start = 0;
    while (start < text.size()) {
        // A word, with the space or mark after it that a line may break at.
        qsizetype end = start;
        while (end < text.size() && !breaksAfter(text[end])) ++end;
        const qsizetype letters = end - start;
        if (end < text.size()) ++end;
        const bool whole = letters <= kLongestWholeWord;
        for (qsizetype i = start; i < end; ++i) {
            const QChar c = text[i];
            if (whole && i > start && !c.isSpace() && !c.isLowSurrogate()) out += kWordJoiner;
            out += c;
        }
        start = end;
    }
    return out;
}

QObject* breakBoxLinesBetweenWords(QObject* application) {
    auto* filter = new BoxLines(application);
    application->installEventFilter(filter);
    return filter;
}

namespace {
class EscapeIgnored : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        return key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier;
    }
};
}  // namespace

void keepOpenOnEscape(QDialog* dialog) { dialog->installEventFilter(new EscapeIgnored(dialog)); }

QPushButton* button(QWidget* parent, const QRect& geometry, std::string_view text, const ButtonLook& look) {
    auto* b = new QPushButton(u(text), parent);
    b->setGeometry(geometry);
    setPixelFont(b, look.px, look.bold);
    b->setAutoDefault(look.pressedByEnter);
    if (!look.tip.empty()) b->setToolTip(u(look.tip));
    return b;
}

CellModel::CellModel(int rows, int columns, CellFunction cell, QObject* parent)
    : QAbstractTableModel(parent), rows_(rows), columns_(columns), cell_(std::move(cell)) {}

int CellModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }
int CellModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : columns_; }

QVariant CellModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !cell_) return {};
    return cell_(index.row(), index.column(), role);
}

void CellModel::setHeadings(int rows, int columns) {
    headingRows_ = rows;
    headingColumns_ = columns;
}

Qt::ItemFlags CellModel::flags(const QModelIndex& index) const {
    if (!index.isValid() || index.row() < headingRows_ || index.column() < headingColumns_) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

QVariant CellModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || !cell_) return {};
    if (orientation == Qt::Horizontal && headingRows_ > 0 && section < columns_) return cell_(0, section, role);
    if (orientation == Qt::Vertical && headingColumns_ > 0 && section < rows_) return cell_(section, 0, role);
    return {};
}

void CellModel::refresh() {
    if (rows_ > 0 && columns_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, columns_ - 1));
}

QTableView* grid(QWidget* parent, const QRect& geometry, CellModel* model, int rowHeight,
                 const std::vector<int>& columnWidths, const QFont& font) {
    auto* view = new QTableView(parent);
    view->setModel(model);
    model->setParent(view);
    view->setFont(font);
    view->horizontalHeader()->hide();
    view->verticalHeader()->hide();
    view->verticalHeader()->setMinimumSectionSize(1);
    view->horizontalHeader()->setMinimumSectionSize(1);
    view->verticalHeader()->setDefaultSectionSize(rowHeight);
    for (int c = 0; c < model->columnCount(); ++c) {
        const int width = columnWidths.empty() ? 64 : columnWidths[std::min<size_t>(size_t(c), columnWidths.size() - 1)];
        view->setColumnWidth(c, width);
    }
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setTabKeyNavigation(false);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectItems);
    view->setWordWrap(false);
    view->setTextElideMode(Qt::ElideNone);
    view->setGeometry(geometry);
    return view;
}

}  // namespace kit
