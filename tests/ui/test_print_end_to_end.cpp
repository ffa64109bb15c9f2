// The certificate as it comes out of the printer: printed to the private
// CUPS server of tools/start_cups.sh, whose cups-pdf queues write PDF files,
// then read back with poppler's tools; and what the window says when a job
// is refused, waits or fails there.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

#include "QualifyFixture.h"
#include "main/core/History.h"
#include "main/core/Settings.h"
#include "support/CupsPrint.h"
#include "windows/Certif_syo.h"
#include "windows/ProgressChartWindow.h"
#include "windows/ClassRecordWindow.h"
#include "windows/FactMapWindow.h"

namespace {

constexpr int kPdfWaitMs = 60000;

// Skipped where no print server could be started, except in CI, which must
// run it.
#define REQUIRE_PRINT_SERVER()                                                                              \
    do {                                                                                                    \
        const char* why = nullptr;                                                                          \
        if (qEnvironmentVariableIsEmpty("CUPS_SERVER") || qEnvironmentVariableIsEmpty("TATEYOKO_PDF_DIR")) \
            why = "no private print server: run  eval \"$(tools/start_cups.sh)\"  (as root) first";         \
        else if (qEnvironmentVariableIsEmpty("TATEYOKO_LETTER_QUEUE") ||                                    \
                 qEnvironmentVariableIsEmpty("TATEYOKO_FAILING_QUEUE"))                                     \
            why = "the print server lacks the test queues: tools/start_cups.sh stop, then start it again";  \
        else if (QStandardPaths::findExecutable("pdfinfo").isEmpty() ||                                     \
                 QStandardPaths::findExecutable("pdftoppm").isEmpty())                                      \
            why = "pdfinfo and pdftoppm are missing (package poppler-utils)";                               \
        if (why && qgetenv("CI") == "true") FAIL() << why;                                                  \
        if (why) GTEST_SKIP() << why;                                                                       \
    } while (0)

QSet<QString> pdfsIn(const QString& dir) {
    const QStringList names = QDir(dir).entryList({"*.pdf"}, QDir::Files);
    return QSet<QString>(names.begin(), names.end());
}

QString run(const QString& program, const QStringList& args, bool* ok = nullptr) {
    QProcess p;
    p.start(program, args);
    const bool done = p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (ok) *ok = done;
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The new PDF once it is whole: readable by pdfinfo and no longer growing.
QString waitForNewPdf(const QString& dir, const QSet<QString>& before) {
    QElapsedTimer timer;
    timer.start();
    qint64 lastSize = -1;
    while (timer.elapsed() < kPdfWaitMs) {
        const QSet<QString> now = pdfsIn(dir) - before;
        if (!now.isEmpty()) {
            const QString path = dir + "/" + *now.begin();
            const qint64 size = QFileInfo(path).size();
            bool readable = false;
            run("pdfinfo", {path}, &readable);
            if (readable && size == lastSize) return path;
            lastSize = size;
        }
        QTest::qWait(250);
    }
    return {};
}

QRect inkBox(const QImage& image, const QRect& within) {
    QRect box;
    for (int y = within.top(); y <= within.bottom(); ++y)
        for (int x = within.left(); x <= within.right(); ++x)
            if (qGray(image.pixel(x, y)) < 200) box |= QRect(x, y, 1, 1);
    return box;
}

// Makes the given queue the default printer of this process, as a user's
// PRINTER does, while it lives; an empty name keeps the server's default.
class DefaultQueue {
public:
    explicit DefaultQueue(const QString& queue) : before_(qgetenv("PRINTER")), had_(qEnvironmentVariableIsSet("PRINTER")) {
        if (!queue.isEmpty()) qputenv("PRINTER", queue.toUtf8());
    }
    ~DefaultQueue() { had_ ? qputenv("PRINTER", before_) : qunsetenv("PRINTER"); }

private:
    QByteArray before_;
    bool had_;
};

QString tool(const QString& name) {
    const QString found = QStandardPaths::findExecutable(name);
    return found.isEmpty() ? QStandardPaths::findExecutable(name, {"/usr/sbin", "/sbin"}) : found;
}

// Runs each "program arg ..." line now; the restoring lines when it goes,
// whatever the test's outcome.
class QueueChange {
public:
    QueueChange(const QStringList& change, const QStringList& restore) : restore_(restore) { runAll(change); }
    ~QueueChange() { runAll(restore_); }

private:
    static void runAll(const QStringList& lines) {
        for (const QString& line : lines) {
            QStringList args = line.split('|');
            const QString program = tool(args.takeFirst());
            bool ok = false;
            run(program, args, &ok);
            EXPECT_TRUE(ok) << line.toStdString();
        }
    }
    QStringList restore_;
};

QString defaultQueue() { return QPrinterInfo::defaultPrinterName(); }

// The page size pdfinfo reads, in points.
QSizeF pageSizeOf(const QString& info) {
    const QRegularExpressionMatch m =
        QRegularExpression("^Page size:\\s+([0-9.]+) x ([0-9.]+) pts", QRegularExpression::MultilineOption).match(info);
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
}

StudyState rangeCertificate() {
    StudyState st;
    st.certKind = -1;
    st.rangeIndex = 2;
    st.studentName = "くく はじめ";
    st.studentNo = 654438;
    return st;
}

}  // namespace

// On each queue's own paper, at the corner of its printable area, at its
// laid-out size; and a job that prints says nothing, even once it has
// printed.
TEST(PrintEndToEnd, CertificateArrivesAsOnePageAtItsLaidOutSize) {
    REQUIRE_PRINT_SERVER();
    const QString pdfDir = qEnvironmentVariable("TATEYOKO_PDF_DIR");
    ASSERT_FALSE(QPrinterInfo::defaultPrinter().isNull()) << "the print server has no default printer";

    const struct {
        QString queue;  // empty: the server's default
        QSizeF paperPt;
        QPoint printableAt;  // at 96 dpi
        const char* name;
    } cases[] = {// A4, the cups-pdf driver's default; it prints the whole page.
                 {QString(), QSizeF(595.3, 841.9), QPoint(0, 0), "くく はじめ"},
                 // As tools/start_cups.sh sets it up: a quarter inch all round
                 // it cannot print. A name of 20 letters, in two lines.
                 {qEnvironmentVariable("TATEYOKO_LETTER_QUEUE"), QSizeF(612, 792), QPoint(24, 24),
                  "ながさわやまもと ゆうたろうまるのすけえ"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.queue.isEmpty() ? "the default queue" : c.queue.toStdString());
        DefaultQueue chosen(c.queue);
        StudyState st = rangeCertificate();
        st.studentName = c.name;
        QuietPorts ports;
        RecordingNavigator navigator(st, ports);
        TCertForm2 form(st, nullptr);
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        ASSERT_EQ(form.Label1->accessibleName(), QString::fromUtf8(c.name));
        ASSERT_FALSE(form.Label1->text().contains(QString::fromUtf8("…"))) << "the name is shown whole";
        const QImage laidOut = form.client->grab().toImage();

        const QSet<QString> before = pdfsIn(pdfDir);
        BoxAnswer box;
        BoxWatcher watcher(box, QMessageBox::Ok);
        EXPECT_TRUE(form.PrintClick());
        const QString pdf = waitForNewPdf(pdfDir, before);
        ASSERT_FALSE(pdf.isEmpty()) << "no PDF arrived in " << pdfDir.toStdString() << " within " << kPdfWaitMs
                                    << " ms";
        auto* job = form.findChild<PrintJob*>();
        ASSERT_NE(job, nullptr);
        EXPECT_TRUE(QTest::qWaitFor([job] { return job->stage() == PrintJob::Stage::Printed; }, kPdfWaitMs))
            << "the job was not followed to its end: stage " << int(job->stage());
        QTest::qWait(2 * PrintJob::kFollowMs);
        EXPECT_FALSE(box.seen) << box.text.toStdString();

        const QString info = run("pdfinfo", {pdf});
        EXPECT_TRUE(info.contains(QRegularExpression("^Pages:\\s+1$", QRegularExpression::MultilineOption)))
            << info.toStdString();
        const QSizeF paper = pageSizeOf(info);
        EXPECT_NEAR(paper.width(), c.paperPt.width(), 1.0) << info.toStdString();
        EXPECT_NEAR(paper.height(), c.paperPt.height(), 1.0) << info.toStdString();

        QTemporaryDir tmp;
        bool rendered = false;
        run("pdftoppm", {"-r", "96", "-png", "-singlefile", pdf, tmp.filePath("page")}, &rendered);
        ASSERT_TRUE(rendered);
        const QImage page(tmp.filePath("page.png"));
        ASSERT_FALSE(page.isNull());

        const QPoint origin = c.printableAt;
        const QRect expected = inkBox(laidOut, laidOut.rect()).translated(origin);
        const QRect found = inkBox(page, page.rect());
        ASSERT_FALSE(expected.isEmpty());
        for (auto [edge, want, got] : {std::tuple{"left", expected.left(), found.left()},
                                       {"top", expected.top(), found.top()},
                                       {"right", expected.right(), found.right()},
                                       {"bottom", expected.bottom(), found.bottom()}})
            EXPECT_NEAR(got, want, 2) << edge << " edge of the printed certificate";

        // Not only its outline: the page shows the certificate pixel for
        // pixel, give or take the blur of being scaled up and back down.
        qint64 difference = 0;
        for (int y = 0; y < laidOut.height() && origin.y() + y < page.height(); ++y)
            for (int x = 0; x < laidOut.width() && origin.x() + x < page.width(); ++x)
                difference += qAbs(qGray(laidOut.pixel(x, y)) - qGray(page.pixel(origin.x() + x, origin.y() + y)));
        EXPECT_LT(double(difference) / (laidOut.width() * laidOut.height()), 8.0);
    }
}

// The map of hard facts takes the same way to the printer: one page with
// the map at its size on screen, and the boxes of a job that does not print.
TEST(PrintEndToEnd, TheMapOfHardFactsArrivesAsOnePage) {
    REQUIRE_PRINT_SERVER();
    const QString pdfDir = qEnvironmentVariable("TATEYOKO_PDF_DIR");
    StudyState st;
    for (int q = 0; q < 81; ++q) recordAnswer(st.factRecord, q, q % 3 != 0, 600 + 20 * q);
    QuietPorts ports;
    FactMapWindow map(st, ports);
    map.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&map));
    const QImage shown = map.printedPage().toImage();
    {
        const QSet<QString> before = pdfsIn(pdfDir);
        BoxAnswer box;
        BoxWatcher watcher(box, QMessageBox::Ok);
        EXPECT_TRUE(map.PrintClick());
        const QString pdf = waitForNewPdf(pdfDir, before);
        ASSERT_FALSE(pdf.isEmpty()) << "no PDF arrived";
        const QString info = run("pdfinfo", {pdf});
        EXPECT_TRUE(info.contains(QRegularExpression("^Pages:\\s+1$", QRegularExpression::MultilineOption)))
            << info.toStdString();
        QTemporaryDir tmp;
        bool rendered = false;
        run("pdftoppm", {"-r", "96", "-png", "-singlefile", pdf, tmp.filePath("page")}, &rendered);
        ASSERT_TRUE(rendered);
        const QImage page(tmp.filePath("page.png"));
        // the child's name and the day, the title, the legend and the map at their size on screen
        const QRect expected = inkBox(shown, shown.rect());
        const QRect found = inkBox(page, page.rect());
        for (auto [edge, want, got] : {std::tuple{"left", expected.left(), found.left()},
                                       {"top", expected.top(), found.top()},
                                       {"right", expected.right(), found.right()},
                                       {"bottom", expected.bottom(), found.bottom()}})
            EXPECT_NEAR(got, want, 2) << edge << " edge of the printed map";
        QTest::qWait(2 * PrintJob::kFollowMs);
        EXPECT_FALSE(box.seen) << box.text.toStdString();
    }
    // a refusal is told here too
    const QString queue = defaultQueue();
    QueueChange refuse({"cupsreject|-r|closed for the test|" + queue}, {"cupsaccept|" + queue});
    BoxAnswer refused;
    BoxWatcher watch(refused, QMessageBox::Ok);
    EXPECT_FALSE(map.PrintClick());
    EXPECT_TRUE(QTest::qWaitFor([&] { return refused.seen; }, 5000));
    EXPECT_TRUE(refused.text.contains(QString::fromUtf8("にがて九九マップは印刷されませんでした"))) << refused.text.toStdString();
}

// A class too long for one sheet goes on over the next, every child on
// paper; the progress chart and its days come on one, and two months of
// days on two, the second headed as the first.
TEST(PrintEndToEnd, TheClassTableGoesOnOverPagesAndTheProgressChartFitsOne) {
    REQUIRE_PRINT_SERVER();
    const QString pdfDir = qEnvironmentVariable("TATEYOKO_PDF_DIR");
    QTemporaryDir classDir;
    for (int i = 0; i < 60; ++i) {
        StudyState child;
        child.recCheckArray[i % 2][i % 13] = 1;
        const QString folder = classDir.filePath(QStringLiteral("child%1").arg(i, 2, 10, QChar('0')));
        QDir().mkpath(folder);
        ASSERT_TRUE(saveSettings(child, (folder + "/" + kSettingsFileName).toStdString(), nullptr));
    }
    ClassRecordWindow table(classDir.path().toStdString() + "/");
    ASSERT_TRUE(table.waitUntilRead());
    std::vector<HistoryEntry> days;
    for (int d = 1; d <= 20; ++d)
        days.push_back({QStringLiteral("2026-11-%1 18:00:00").arg(d, 2, 10, QChar('0')).toStdString(), 0, 0, 3, 20, 5, 2, 1500});
    ProgressChartWindow chart(days);
    // Two months of days go on over a second page, which starts with the table's headings.
    std::vector<HistoryEntry> twoMonths;
    for (int d = 0; d < 61; ++d)
        twoMonths.push_back({QDate(2026, 10, 1).addDays(d).toString(Qt::ISODate).toStdString() + " 18:00:00", 0, 0, 3, 20,
                             5, 2, 1500});
    ProgressChartWindow longChart(twoMonths);
    longChart.setObjectName(QStringLiteral("LongGanbariForm"));
    const struct {
        QDialog* window;
        std::function<bool()> print;
        int pages;
        bool headedPages;        // every page begins alike: the title, the folder, the date and the heading row
        bool headingsOnPageTwo;  // the table's heading row again at the top of page two
    } cases[] = {{&table, [&] { return table.PrintClick(); }, 2, true, false},
                 {&chart, [&] { return chart.PrintClick(); }, 1, false, false},
                 {&longChart, [&] { return longChart.PrintClick(); }, 2, false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.window->objectName().toStdString());
        c.window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(c.window));
        const QSet<QString> before = pdfsIn(pdfDir);
        BoxAnswer box;
        BoxWatcher watcher(box, QMessageBox::Ok);
        EXPECT_TRUE(c.print());
        const QString pdf = waitForNewPdf(pdfDir, before);
        ASSERT_FALSE(pdf.isEmpty()) << "no PDF arrived";
        const QString info = run("pdfinfo", {pdf});
        EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("^Pages:\\s+%1$").arg(c.pages),
                                                     QRegularExpression::MultilineOption)))
            << info.toStdString();
        if (c.headedPages) {
            // The printed text carries no readable code points, so the pages' tops are compared as pictures.
            QTemporaryDir pictures;
            run("pdftoppm", {"-r", "40", "-gray", "-png", pdf, pictures.filePath("page")});
            QStringList pages = QDir(pictures.path()).entryList({"page*.png"}, QDir::Files, QDir::Name);
            ASSERT_EQ(pages.size(), c.pages);
            const QImage first(pictures.filePath(pages[0]));
            const QImage last(pictures.filePath(pages.back()));
            const int top = first.height() * 6 / 100;  // the heading, and not yet the first child
            EXPECT_EQ(first.copy(0, 0, first.width(), top), last.copy(0, 0, last.width(), top));
            int ink = 0;  // a heading is there at all, not two blank tops alike
            for (int y = 0; y < top; ++y)
                for (int x = 0; x < first.width(); ++x) ink += qGray(first.pixel(x, y)) < 128;
            EXPECT_GT(ink, 50);
        }
        if (c.headingsOnPageTwo) {
            // The headings' yellow across the top of page two, and nowhere below.
            QTemporaryDir tmp;
            bool rendered = false;
            run("pdftoppm", {"-r", "48", "-f", "2", "-l", "2", "-png", "-singlefile", pdf, tmp.filePath("page")}, &rendered);
            ASSERT_TRUE(rendered);
            const QImage page(tmp.filePath("page.png"));
            int firstYellow = -1, lastYellow = -1;
            for (int y = 0; y < page.height(); ++y) {
                const QColor p = page.pixelColor(page.width() / 2, y);
                if (p.red() > 200 && p.green() > 200 && p.blue() < 80) (firstYellow < 0 ? firstYellow : lastYellow) = y;
            }
            EXPECT_TRUE(firstYellow >= 0 && firstYellow < page.height() / 10) << firstYellow;
            EXPECT_LT(lastYellow, page.height() / 10);
        }
        QTest::qWait(2 * PrintJob::kFollowMs);
        EXPECT_FALSE(box.seen) << box.text.toStdString();
        c.window->hide();
    }
}

// The print server killed while a job is followed: the window says it
// cannot tell whether the certificate printed, and stays; the server is
// started again for the tests after this one.
TEST(PrintEndToEnd, APrintServerKilledDuringAPrintGetsABox) {
    REQUIRE_PRINT_SERVER();
    const QString serverDir = QFileInfo(qEnvironmentVariable("CUPS_SERVER")).path();
    const QString source = qEnvironmentVariable("TATEYOKO_SOURCE_DIR");
    ASSERT_FALSE(source.isEmpty());
    DefaultQueue failing(qEnvironmentVariable("TATEYOKO_FAILING_QUEUE"));  // a job that takes a second
    StudyState st = rangeCertificate();
    TCertForm2 form(st, nullptr);
    form.show();
    BoxAnswer box;
    BoxWatcher watcher(box, QMessageBox::Ok);
    ASSERT_TRUE(form.PrintClick());
    QFile pidFile(serverDir + "/cupsd.pid");
    ASSERT_TRUE(pidFile.open(QIODevice::ReadOnly));
    const QString pid = QString::fromUtf8(pidFile.readAll()).trimmed();
    bool killed = false;
    run("kill", {"-KILL", pid}, &killed);
    EXPECT_TRUE(killed);
    EXPECT_TRUE(QTest::qWaitFor([&] { return box.seen; }, 10000)) << "no box, or the window hung";
    EXPECT_TRUE(box.text.contains(QString::fromUtf8("印刷されたかどうか、わからなくなりました"))) << box.text.toStdString();
    EXPECT_TRUE(form.isVisible());
    bool restarted = false;
    run("bash", {source + "/tools/start_cups.sh"}, &restarted);
    ASSERT_TRUE(restarted) << "the print server did not start again";
}

// A job that does not print is never taken for one that did: the window
// says so in a box that names the printer and why, and stays.
TEST(PrintEndToEnd, AJobThatDoesNotPrintGetsABox) {
    REQUIRE_PRINT_SERVER();
    const QString pdfDir = qEnvironmentVariable("TATEYOKO_PDF_DIR");
    const QString pdfQueue = defaultQueue();
    const QString failing = qEnvironmentVariable("TATEYOKO_FAILING_QUEUE");
    ASSERT_FALSE(pdfQueue.isEmpty()) << "the print server has no default printer";
    const QString refusedWhy = "closed for the test", stoppedWhy = "paused for the test";
    const struct {
        const char* name;
        QString queue;
        QStringList change, restore;  // "program|arg|..." lines
        bool sent;                    // the queue holds the job
        const char* says;
        QString printerSays;
    } cases[] = {
        {"refused", pdfQueue, {"cupsreject|-r|" + refusedWhy + "|" + pdfQueue}, {"cupsaccept|" + pdfQueue}, false,
         "が受け付けなかったので、証明書は印刷されませんでした。", refusedWhy},
        // The waiting job is cancelled before the queue starts again, so
        // that no certificate comes out after the test.
        {"stopped", pdfQueue, {"cupsdisable|-r|" + stoppedWhy + "|" + pdfQueue},
         {"cancel|-a|" + pdfQueue, "cupsenable|" + pdfQueue}, true, "が動きだすまで待っていて", stoppedWhy},
        // As tools/start_cups.sh's failing backend says.
        {"failing backend", failing, {}, {}, true, "でうまく印刷できなかったので、証明書は印刷されませんでした。",
         "out of order"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DefaultQueue chosen(c.queue);
        QueueChange change(c.change, c.restore);
        StudyState st = rangeCertificate();
        QuietPorts ports;
        RecordingNavigator navigator(st, ports);
        TCertForm2 form(st, nullptr);
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));

        const QSet<QString> before = pdfsIn(pdfDir);
        BoxAnswer box;
        BoxWatcher watcher(box, QMessageBox::Ok);
        EXPECT_EQ(form.PrintClick(), c.sent);
        // A failure that comes later is found by following the job.
        EXPECT_TRUE(QTest::qWaitFor([&box] { return box.seen; }, kPdfWaitMs)) << "no box";
        EXPECT_TRUE(box.text.contains(QString::fromUtf8("プリンタ「") + c.queue + QString::fromUtf8("」")))
            << box.text.toStdString();
        EXPECT_TRUE(box.text.contains(QString::fromUtf8(c.says))) << box.text.toStdString();
        EXPECT_TRUE(box.text.contains(c.printerSays)) << box.text.toStdString();
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(pdfsIn(pdfDir), before) << "a certificate came out";
        // One box for one job: the follower does not say it again.
        const QString first = box.text;
        box = BoxAnswer();
        BoxWatcher again(box, QMessageBox::Ok);
        QTest::qWait(3 * PrintJob::kFollowMs);
        EXPECT_FALSE(box.seen) << first.toStdString() << " then " << box.text.toStdString();
    }
}

// A job is followed while its window is open: one that fails after the
// window closed brings up no box over whatever the child does next.
TEST(PrintEndToEnd, NoBoxOnceTheWindowIsClosed) {
    REQUIRE_PRINT_SERVER();
    DefaultQueue chosen(qEnvironmentVariable("TATEYOKO_FAILING_QUEUE"));
    StudyState st = rangeCertificate();
    QuietPorts ports;
    RecordingNavigator navigator(st, ports);
    TCertForm2 form(st, nullptr);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    BoxAnswer box;
    BoxWatcher watcher(box, QMessageBox::Ok);
    EXPECT_TRUE(form.PrintClick());
    ASSERT_FALSE(box.seen) << "the job failed before the window could close: " << box.text.toStdString();
    form.C1Click();
    // Long enough for the failing printer to give the job up.
    QTest::qWait(5000);
    EXPECT_FALSE(box.seen) << box.text.toStdString();
    EXPECT_EQ(form.findChild<PrintJob*>(), nullptr) << "the job is still followed";
}

// The child half of the test below, run only by it (hence disabled): prints
// with no print server to reach.
TEST(PrintEndToEnd, DISABLED_ChildPrintsWithoutPrinter) {
    StudyState st = rangeCertificate();
    QuietPorts ports;
    RecordingNavigator navigator(st, ports);
    TCertForm2 form(st, nullptr);
    form.show();
    BoxAnswer box;
    BoxWatcher watcher(box, QMessageBox::Ok);
    EXPECT_FALSE(form.PrintClick());
    EXPECT_TRUE(box.seen);
    EXPECT_TRUE(box.text.contains(QString::fromUtf8("印刷できませんでした"))) << box.text.toStdString();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(st.certKind, -1);
}

TEST(PrintEndToEnd, WithoutPrinterAnErrorBoxSaysSo) {
    // A fresh process: the print system remembers its server once asked.
    QTemporaryDir nowhere;
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("CUPS_SERVER", nowhere.filePath("no-server.sock"));
    env.remove("PRINTER");
    env.remove("LPDEST");
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {"--gtest_filter=PrintEndToEnd.DISABLED_ChildPrintsWithoutPrinter", "--gtest_also_run_disabled_tests"});
    ASSERT_TRUE(child.waitForFinished(60000)) << "the child did not finish";
    const QString output = QString::fromUtf8(child.readAllStandardOutput());
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
}
