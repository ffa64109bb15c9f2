// One QApplication for every widget suite, and a watchdog: a modal window
// that no test closes fails the test that left it and is closed, instead of
// holding the whole suite until ctest gives up on it.
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <gtest/gtest.h>

#include "support/FontSet.h"
#include "support/Fonts.h"

namespace {

constexpr int kLongestWantedModalMs = 5000;

class ModalWatchdog : public QObject {
public:
    ModalWatchdog() {
        timer_.setInterval(100);
        connect(&timer_, &QTimer::timeout, this, [this] { look(); });
        timer_.start();
    }

private:
    void look() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != seen_) {
            seen_ = modal;
            since_.start();
            return;
        }
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (!dialog || since_.elapsed() < kLongestWantedModalMs) return;
        QString text = dialog->windowTitle();
        if (auto* box = qobject_cast<QMessageBox*>(dialog)) text += " / " + box->text();
        ADD_FAILURE() << "a modal window stayed open with nobody to close it: " << text.toStdString();
        seen_ = nullptr;
        // A close may be refused (an event filter can swallow it); a hide is not.
        dialog->done(QDialog::Rejected);
        if (dialog->isVisible()) dialog->hide();
    }

    QTimer timer_;
    QPointer<QWidget> seen_;
    QElapsedTimer since_;
};

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    loadFontConfiguration();  // as the program reads it
    QApplication app(argc, argv);
    app.setFont(japaneseFont(13));  // as the program sets it
    ModalWatchdog watchdog;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
