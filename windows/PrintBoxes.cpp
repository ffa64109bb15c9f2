#include "windows/PrintBoxes.h"

#include <QEvent>
#include <QMessageBox>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QTableView>

#include <algorithm>
#include <cmath>

#include "support/CupsPrint.h"
#include "support/FormKit.h"
#include "windows/core/PageSplit.h"

void tellPrint(QWidget* over, const PrintJob& job, const QString& what) {
    const QString printer = kit::u("プリンタ「") + job.printer() + kit::u("」");
    const QString why = kit::u("\n\n理由：") + job.why();
    switch (job.stage()) {
    case PrintJob::Stage::NoPrinter:
        QMessageBox::critical(over, kit::u("印刷"), kit::u("プリンタが見つかりません。") + what + kit::u("を印刷できませんでした。"));
        break;
    case PrintJob::Stage::Refused:
        QMessageBox::critical(over, kit::u("印刷"),
                              printer + kit::u("が受け付けなかったので、") + what + kit::u("は印刷されませんでした。") + why);
        break;
    case PrintJob::Stage::Waiting:
        QMessageBox::warning(over, kit::u("印刷"),
                             what + kit::u("はまだ印刷されていません。") + printer +
                                 kit::u("が動きだすまで待っていて、動きだすと印刷されます。") + why);
        break;
    case PrintJob::Stage::Failed:
        QMessageBox::critical(over, kit::u("印刷"),
                              printer + kit::u("でうまく印刷できなかったので、") + what + kit::u("は印刷されませんでした。") + why);
        break;
    case PrintJob::Stage::Unknown:
        QMessageBox::warning(over, kit::u("印刷"),
                             printer + kit::u("に送った") + what +
                                 kit::u("が印刷されたかどうか、わからなくなりました。プリンタを確かめてください。") + why);
        break;
    default:  // on its way, or printed: nothing to say
        break;
    }
}

namespace {

// A job is followed only while its window is open: closing the window ends
// it; a window minimized by the desktop is still open.
class JobsEndWithWindow : public QObject {
public:
    static constexpr const char* kName = "jobsEndWithWindow";
    explicit JobsEndWithWindow(QObject* window) : QObject(window) { setObjectName(kName); }
    bool eventFilter(QObject* window, QEvent* event) override {
        if (event->type() == QEvent::Hide && !event->spontaneous())
            qDeleteAll(window->findChildren<PrintJob*>(Qt::FindDirectChildrenOnly));
        return false;
    }
};

}  // namespace

PrintJob* newPrintJob(QWidget* window, const QString& what) {
    if (!window->findChild<QObject*>(JobsEndWithWindow::kName, Qt::FindDirectChildrenOnly))
        window->installEventFilter(new JobsEndWithWindow(window));
    auto* job = new PrintJob(window);
    QObject::connect(job, &PrintJob::stageChanged, window, [window, job, what] { tellPrint(window, *job, what); });
    return job;
}

bool printPicture(QWidget* window, const QPixmap& picture, const QString& what, const std::vector<int>& breaks,
                  const PageHeading& heading) {
    PrintJob* job = newPrintJob(window, what);
    job->print(what, [&picture, &breaks, &heading](QPainter& painter, QPagedPaintDevice& page) {
        const QSizeF size = picture.deviceIndependentSize();
        const double scale = std::min(page.logicalDpiX() / 96.0, page.width() / size.width());
        const double ratio = picture.devicePixelRatio();
        for (double top = 0; top < size.height();) {
            if (top > 0 && !page.newPage()) return false;
            const double headingHeight = heading ? heading(painter, page.width(), scale, top) : 0.0;
            // Whole rows of the picture on each page: the picture's pixels per page.
            const PageSlice slice =
                nextPageSlice(top, size.height(), std::floor((page.height() - headingHeight) / scale), breaks);
            painter.drawPixmap(QRectF(0, headingHeight, size.width() * scale, slice.height * scale), picture,
                               QRectF(0, slice.top * ratio, size.width() * ratio, slice.height * ratio));
            top += slice.height;
        }
        return true;
    });
    return job->sent();
}

WholeGrid wholeGrid(QTableView* grid) {
    const QSize shown = grid->size();
    WholeGrid whole;
    int height = grid->frameWidth();
    for (int r = 0; r < grid->model()->rowCount(); ++r) whole.rowBottoms.push_back(height += grid->rowHeight(r));
    height += grid->frameWidth();
    const Qt::ScrollBarPolicy policy = grid->verticalScrollBarPolicy();
    const int scrolled = grid->verticalScrollBar()->value();
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->resize(shown.width(), height);
    grid->verticalScrollBar()->setValue(0);
    whole.picture = grid->grab();
    grid->resize(shown);
    grid->setVerticalScrollBarPolicy(policy);
    grid->verticalScrollBar()->setValue(scrolled);
    return whole;
}
