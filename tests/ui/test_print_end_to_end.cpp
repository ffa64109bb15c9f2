// The certificate as it comes out of the printer: printed through Qt's
// print support to the private CUPS server of tools/start_cups.sh, whose
// default queue writes PDF files, then read back with poppler's tools.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "QualifyFixture.h"
#include "windows/Certif_syo.h"

namespace {

constexpr int kPdfWaitMs = 60000;

// Skipped where no print server could be started, except in CI, which must
// run it.
#define REQUIRE_PRINT_SERVER()                                                                              \
    do {                                                                                                    \
        const char* why = nullptr;                                                                          \
        if (qEnvironmentVariableIsEmpty("CUPS_SERVER") || qEnvironmentVariableIsEmpty("TATEYOKO_PDF_DIR")) \
            why = "no private print server: run  eval \"$(tools/start_cups.sh)\"  (as root) first";         \
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

StudyState rangeCertificate() {
    StudyState st;
    st.certKind = -1;
    st.rangeIndex = 2;
    st.studentName = "くく はじめ";
    st.studentNo = 654438;
    return st;
}

}  // namespace

TEST(PrintEndToEnd, CertificateArrivesAsOnePageAtItsLaidOutSize) {
    REQUIRE_PRINT_SERVER();
    const QString pdfDir = qEnvironmentVariable("TATEYOKO_PDF_DIR");
    ASSERT_FALSE(QPrinterInfo::defaultPrinter().isNull()) << "the print server has no default printer";

    StudyState st = rangeCertificate();
    QuietPorts ports;
    RecordingNavigator navigator(st, ports);
    TCertForm2 form(st, nullptr);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QImage laidOut = form.client->grab().toImage();

    const QSet<QString> before = pdfsIn(pdfDir);
    BoxAnswer box;
    BoxWatcher watcher(box, QMessageBox::Ok);
    EXPECT_TRUE(form.PrintClick());
    EXPECT_FALSE(box.seen) << box.text.toStdString();
    const QString pdf = waitForNewPdf(pdfDir, before);
    ASSERT_FALSE(pdf.isEmpty()) << "no PDF arrived in " << pdfDir.toStdString() << " within " << kPdfWaitMs << " ms";

    const QString info = run("pdfinfo", {pdf});
    EXPECT_TRUE(info.contains(QRegularExpression("^Pages:\\s+1$", QRegularExpression::MultilineOption)))
        << info.toStdString();

    QTemporaryDir tmp;
    bool rendered = false;
    run("pdftoppm", {"-r", "96", "-png", "-singlefile", pdf, tmp.filePath("page")}, &rendered);
    ASSERT_TRUE(rendered);
    const QImage page(tmp.filePath("page.png"));
    ASSERT_FALSE(page.isNull());

    // The cups-pdf queue can print the whole page, so the printable area,
    // where the certificate starts, is the page's corner.
    const QPoint origin(0, 0);
    const QRect expected = inkBox(laidOut, laidOut.rect()).translated(origin);
    const QRect found = inkBox(page, page.rect());
    ASSERT_FALSE(expected.isEmpty());
    for (auto [edge, want, got] : {std::tuple{"left", expected.left(), found.left()},
                                   {"top", expected.top(), found.top()},
                                   {"right", expected.right(), found.right()},
                                   {"bottom", expected.bottom(), found.bottom()}})
        EXPECT_NEAR(got, want, 2) << edge << " edge of the printed certificate";

    // Not only its outline: the page shows the certificate pixel for pixel,
    // give or take the blur of being scaled up and back down.
    qint64 difference = 0;
    for (int y = 0; y < laidOut.height() && origin.y() + y < page.height(); ++y)
        for (int x = 0; x < laidOut.width() && origin.x() + x < page.width(); ++x)
            difference += qAbs(qGray(laidOut.pixel(x, y)) - qGray(page.pixel(origin.x() + x, origin.y() + y)));
    EXPECT_LT(double(difference) / (laidOut.width() * laidOut.height()), 8.0);
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
