#include "windows/Kurasu.h"

#include <QFileDialog>
#include <QHideEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QTableView>

#include "main/core/FactTables.h"
#include "main/core/Settings.h"
#include "support/CupsPrint.h"
#include "support/FormKit.h"
#include "support/Fonts.h"
#include "windows/Keeper.h"
#include "windows/Nigatemap.h"
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

TKurasuForm::TKurasuForm(const std::string& folder, QWidget* parent) : QDialog(parent), folder_(folder) {
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

    ReloadButton = kit::button(c, {16, 554, 150, 32}, "よみなおす(&R)",
                               {.px = 14, .bold = true, .tip = "子どもたちの いまの きろくを 読みなおします。"});
    MapButton = kit::button(c, {174, 554, 190, 32}, "クラスの にがて(&M)",
                            {.px = 14, .bold = true, .tip = "クラス全員の答えから にがて九九マップを作ります。"});
    CsvButton = kit::button(c, {372, 554, 160, 32}, "CSVで ほぞん(&E)",
                            {.px = 14, .bold = true, .tip = "表計算ソフトで開ける CSV ファイルに書き出します。"});
    PrintButton = kit::button(c, {540, 554, 150, 32}, "いんさつ(&I)",
                              {.px = 14, .bold = true, .tip = "この表をプリンタで印刷します。"});
    CloseButton = kit::button(c, {774, 554, 130, 32}, "とじる(&C)", {.px = 14, .bold = true, .pressedByEnter = true});
    connect(ReloadButton, &QPushButton::clicked, this, &TKurasuForm::ReloadClick);
    connect(MapButton, &QPushButton::clicked, this, &TKurasuForm::MapClick);
    connect(CsvButton, &QPushButton::clicked, this, [this] { CsvClick(); });
    connect(PrintButton, &QPushButton::clicked, this, [this] { PrintClick(); });
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::reject);
    ReloadClick();
}

void TKurasuForm::ReloadClick() {
    view_ = readClassFolder(folder_);
    mapState_.factRecord = view_.merged;
    auto* old = model_;
    model_ = new kit::CellModel(kHeadingRows + int(view_.children.size()), kColumns,
                                [this](int row, int column, int role) { return cellData(row, column, role); }, ClassGrid);
    model_->setHeadings(kHeadingRows, 1);
    ClassGrid->setModel(model_);
    delete old;
    ClassGrid->setRowHeight(0, kHeadingHeight);
    for (int r = 1; r < model_->rowCount(); ++r) ClassGrid->setRowHeight(r, kRowHeight);
    MapButton->setEnabled(!view_.children.empty());
}

void TKurasuForm::MapClick() {
    ReadOnly keeper;
    TNigateMapForm map(mapState_, keeper, this);
    map.showClassMap();
    map.exec();
}

bool TKurasuForm::CsvClick(const QString& asked) {
    QString path = asked;
    if (path.isEmpty())
        path = QFileDialog::getSaveFileName(this, u("CSVで ほぞん"), u("クラスのきろく.csv"), u("CSV (*.csv)"));
    if (path.isEmpty()) return false;
    QSaveFile file(path);
    const QByteArray bytes = QByteArray::fromStdString(classCsv(view_));
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit()) return true;
    kit::saveFailureBox(this, "ファイル「" + path.toStdString() + "」に書き込めません");
    return false;
}

bool TKurasuForm::PrintClick() {
    // Every child on paper, not only the rows the window has room for.
    const WholeGrid table = wholeGrid(ClassGrid);
    return printPicture(this, table.picture, u("クラスのきろく"), table.rowBottoms);
}

void TKurasuForm::hideEvent(QHideEvent* event) {
    // A job is followed only while the window is open.
    if (!event->spontaneous()) qDeleteAll(findChildren<PrintJob*>(Qt::FindDirectChildrenOnly));
    QDialog::hideEvent(event);
}

QVariant TKurasuForm::cellData(int row, int column, int role) const {
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
