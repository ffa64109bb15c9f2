#include "windows/ClassRecordWindow.h"

#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QThread>
#include <QTimer>
#include <atomic>

#include "main/core/FactTables.h"
#include "main/core/Settings.h"
#include "support/FormKit.h"
#include "support/Fonts.h"
#include "support/core/WholeFile.h"
#include "windows/Keeper.h"
#include "windows/FactMapWindow.h"
#include "windows/PrintBoxes.h"

namespace {
using kit::u;
constexpr int kClientWidth = 920;
constexpr int kClientHeight = 600;
constexpr int kHeadingRows = 1;
constexpr int kFirstRange = 3;  // name, state and rank come first
constexpr int kColumns = kFirstRange + kClassRanges;
constexpr int kHeadingHeight = 52;
constexpr int kRowHeight = 26;
const char* const kHeadings[kFirstRange] = {"なまえ", "ようす", "しかく"};
const QColor kDamaged(0xFF, 0xE0, 0xE0);
// Often enough for a bar that moves smoothly, seldom enough to cost nothing.
constexpr int kProgressMs = 40;

// The teacher's map cannot change the answers it shows.
class ReadOnly : public Keeper {
public:
    bool savePasses(QWidget*) override { return true; }
    bool saveFactRecord(QWidget*) override { return true; }
};

QString rangeName(int range) {
    const std::string_view name = danNames[size_t(range)];
    return QString::fromUtf8(name.data(), qsizetype(name.size()));
}

QString rankText(Rank rank) {
    switch (rank) {
    case Rank::Master: return u("九九術マスター");
    case Rank::Kaiden: return u("九九術免許皆伝");
    default: return {};
    }
}
}  // namespace

// What the reading thread shares with the window: how far it has got, a
// word to stop, and, once it has finished, what it read.
struct ClassReading {
    std::atomic<int> done{0};
    std::atomic<int> total{0};
    std::atomic<bool> stop{false};
    ClassView view;
    FactRecord map;
};

ClassRecordWindow::ClassRecordWindow(const std::string& folder, QWidget* parent) : QDialog(parent), folder_(folder) {
    setObjectName(QStringLiteral("KurasuForm"));
    const kit::Form form = kit::buildForm(this, "クラスのきろく", kClientWidth, kClientHeight, kit::kCream, false);
    QWidget* c = form.client;
    kit::panel(c, {16, 10, 220, 40}, "クラスのきろく", {22, Qt::blue, true}, kit::kYellow);
    FolderLine = kit::label(c, {248, 10, 656, 40}, "", {13, kit::kNavy, true});
    kit::showFitted(FolderLine, u("フォルダ：") + QString::fromStdString(folder_), kit::pixelFont(13, true), 10);
    model_ = new kit::CellModel(kHeadingRows, kColumns,
                                [this](int row, int column, int role) { return cellData(row, column, role); });
    model_->setHeadings(kHeadingRows, 1);
    std::vector<int> widths{120, 64, 104};
    for (int r = 0; r < kClassRanges; ++r) widths.push_back(r < 9 ? 42 : 54);
    ClassGrid = kit::grid(c, {16, 60, kClientWidth - 32, 480}, model_, kRowHeight, widths, japaneseFont(13, true));
    ClassGrid->setWordWrap(true);
    ClassGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ClassGrid->setRowHeight(0, kHeadingHeight);  // whole while the class is read

    ReloadButton = kit::button(c, {16, 554, 150, 32}, "よみなおす(&R)",
                               {.px = 14, .bold = true, .tip = "子どもたちの いまの きろくを 読みなおします。"});
    MapButton = kit::button(c, {174, 554, 190, 32}, "クラスの にがて(&M)",
                            {.px = 14, .bold = true, .tip = "クラス全員の答えから にがて九九マップを作ります。"});
    CsvButton = kit::button(c, {372, 554, 160, 32}, "CSVで ほぞん(&E)",
                            {.px = 14, .bold = true, .tip = "表計算ソフトで開ける CSV ファイルに書き出します。"});
    PrintButton = kit::button(c, {540, 554, 150, 32}, "いんさつ(&I)",
                              {.px = 14, .bold = true, .tip = "この表をプリンタで印刷します。"});
    CloseButton = kit::button(c, {774, 554, 130, 32}, "とじる(&C)", {.px = 14, .bold = true, .pressedByEnter = true});
    connect(ReloadButton, &QPushButton::clicked, this, &ClassRecordWindow::ReloadClick);
    connect(MapButton, &QPushButton::clicked, this, &ClassRecordWindow::MapClick);
    connect(CsvButton, &QPushButton::clicked, this, [this] { CsvClick(); });
    connect(PrintButton, &QPushButton::clicked, this, [this] { PrintClick(); });
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::reject);
    ReadingBar = new QProgressBar(c);
    ReadingBar->setGeometry(230, 280, 460, 30);
    ReadingBar->setFont(kit::pixelFont(14, true));
    ReadingBar->setFormat(u("よみこみちゅう　%v / %m にん"));
    ReadingBar->setAccessibleName(u("よみこみちゅう"));
    ReadingBar->hide();
    progressTimer_ = new QTimer(this);
    progressTimer_->setInterval(kProgressMs);
    connect(progressTimer_, &QTimer::timeout, this, &ClassRecordWindow::showProgress);
    ReloadClick();
}

ClassRecordWindow::~ClassRecordWindow() {
    if (!reader_) return;
    reading_->stop = true;
    reader_->wait();
    delete reader_;
}

void ClassRecordWindow::ReloadClick() {
    if (reader_) return;  // one reading at a time
    reading_ = std::make_shared<ClassReading>();
    reader_ = QThread::create([reading = reading_, folder = folder_] {
        reading->view = readClassFolder(folder, [&reading](int done, int total) {
            reading->done = done;
            reading->total = total;
            return !reading->stop;
        });
        // The map's copy of a large class's answers is made here too.
        reading->map = reading->view.merged;
    });
    connect(reader_, &QThread::finished, this, &ClassRecordWindow::showRead);
    setReading(true);
    reader_->start();
}

bool ClassRecordWindow::waitUntilRead(int ms) {
    if (reader_ && !reader_->wait(QDeadlineTimer(ms))) return false;
    showRead();
    return true;
}

void ClassRecordWindow::setReading(bool reading) {
    for (QPushButton* button : {ReloadButton, MapButton, CsvButton, PrintButton}) button->setEnabled(!reading);
    MapButton->setEnabled(!reading && !view_.children.empty());
    ReadingBar->setVisible(reading);
    if (reading) {
        ReadingBar->setRange(0, 0);  // busy until the children are counted
        progressTimer_->start();
    } else {
        progressTimer_->stop();
    }
}

void ClassRecordWindow::showProgress() {
    if (!reading_) return;
    const int total = reading_->total;
    if (total > 0) ReadingBar->setRange(0, total);
    ReadingBar->setValue(reading_->done);
}

void ClassRecordWindow::showRead() {
    if (!reader_) return;  // shown already
    reader_->wait();
    delete reader_;
    reader_ = nullptr;
    view_ = std::move(reading_->view);
    mapState_.factRecord = std::move(reading_->map);
    reading_.reset();
    auto* old = model_;
    model_ = new kit::CellModel(kHeadingRows + int(view_.children.size()), kColumns,
                                [this](int row, int column, int role) { return cellData(row, column, role); }, ClassGrid);
    model_->setHeadings(kHeadingRows, 1);
    ClassGrid->setModel(model_);
    delete old;
    // The other rows keep the grid's own height: a height set row by row
    // costs time in proportion to the rows for every row.
    ClassGrid->setRowHeight(0, kHeadingHeight);
    setReading(false);
}

void ClassRecordWindow::MapClick() {
    ReadOnly keeper;
    FactMapWindow map(mapState_, keeper, this);
    map.showClassMap();
    map.exec();
}

bool ClassRecordWindow::CsvClick(const QString& asked) {
    QString path = asked;
    if (path.isEmpty())
        path = QFileDialog::getSaveFileName(this, u("CSVで ほぞん"), u("クラスのきろく.csv"), u("CSV (*.csv)"));
    if (path.isEmpty()) return false;
    const std::string failed = writeWholeFile(path.toStdString(), classCsv(view_));
    if (failed.empty()) return true;
    kit::saveFailureBox(this, failed);
    return false;
}

bool ClassRecordWindow::PrintClick() {
    // Every child on paper, not only the rows the window has room for; the
    // heading row goes at the top of every page, under the title.
    const WholeGrid table = wholeGrid(ClassGrid);
    const int headingBottom = table.rowBottoms.front();
    const double ratio = table.picture.devicePixelRatio();
    const QPixmap headingRow = table.picture.copy(0, 0, table.picture.width(), int(headingBottom * ratio));
    const QPixmap rows = table.picture.copy(0, int(headingBottom * ratio), table.picture.width(),
                                            table.picture.height() - int(headingBottom * ratio));
    std::vector<int> breaks;
    for (size_t r = 1; r < table.rowBottoms.size(); ++r) breaks.push_back(table.rowBottoms[r] - headingBottom);
    const QString title = u("クラスのきろく　　") + QDir(QString::fromStdString(folder_)).dirName() + u("　　") +
                          QDate::currentDate().toString(u("yyyy年M月d日"));
    return printPicture(this, rows, u("クラスのきろく"), breaks, [title, headingRow](QPainter& painter, double width, double scale, double) {
        QFont font = japaneseFont(13, true);
        font.setPointSizeF(12);
        painter.setFont(font);
        painter.setPen(Qt::black);
        const double line = QFontMetricsF(font, painter.device()).height();
        painter.drawText(QRectF(0, 0, width, line), Qt::AlignLeft | Qt::AlignVCenter, title);
        const QSizeF size = headingRow.deviceIndependentSize();
        const double top = line * 1.5;
        painter.drawPixmap(QRectF(0, top, size.width() * scale, size.height() * scale), headingRow, QRectF(headingRow.rect()));
        return top + size.height() * scale;
    });
}

QVariant ClassRecordWindow::cellData(int row, int column, int role) const {
    const bool heading = row < kHeadingRows;
    if (role == Qt::TextAlignmentRole) return int(column == 0 && !heading ? Qt::AlignVCenter | Qt::AlignLeft : Qt::AlignCenter);
    if (role == Qt::ForegroundRole) return QColor(Qt::black);
    if (heading) {
        if (role == Qt::BackgroundRole) return kit::kYellow;
        if (role == Qt::FontRole) return kit::pixelFont(11, true);
        if (role != Qt::DisplayRole) return {};
        if (column < kFirstRange) return u(kHeadings[column]);
        return rangeName(column - kFirstRange) + u("\n順 乱");
    }
    const ClassChild& child = view_.children[size_t(row - kHeadingRows)];
    const bool damaged = child.state == ClassChild::State::Damaged;
    if (role == Qt::BackgroundRole) return damaged ? kDamaged : (column == 0 ? kit::kLightYellow : QColor(Qt::white));
    const int range = column - kFirstRange;
    const auto mark = [&](int order) { return QString::fromStdString(child.grid.at(order, range + 1)); };
    if (role == Qt::DisplayRole) {
        switch (column) {
        case 0: return QString::fromStdString(child.name);
        case 1: return damaged ? u("こわれ") : child.arriving ? u("とどく とちゅう") : u("");
        case 2: return rankText(child.rank);
        default: return mark(1) + ' ' + mark(2);
        }
    }
    if (role == Qt::ToolTipRole || role == Qt::AccessibleDescriptionRole) {
        if (column == 1 && damaged) return QString::fromStdString(child.fault);
        if (column >= kFirstRange)
            return QString::fromStdString(child.name) + u("：") + rangeName(range) + u("　順 ") + mark(1) +
                   u("　乱 ") + mark(2);
    }
    return {};
}
