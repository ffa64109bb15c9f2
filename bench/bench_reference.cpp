// The yardstick for start-up: a bare Qt window of the main window's size and
// place with one Japanese label, painted yellow where the program's board is.
// Built against Qt Widgets alone, as a minimal Qt program would be.
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <unistd.h>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("reference"));
    window.setFixedSize(622, 565);
    window.move(200, 200);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, Qt::yellow);
    window.setPalette(palette);
    window.setAutoFillBackground(true);
    auto* label = new QLabel(QString::fromUtf8("九九をものにしちゃおうね！"), &window);
    label->setGeometry(200, 420, 300, 30);
    window.show();
    // As the program: quit once the first frame is painted, for measuring the start alone.
    if (qEnvironmentVariableIsSet("TATEYOKO_QUIT_AFTER_FIRST_FRAME")) {
        struct AfterExpose : QObject {
            bool eventFilter(QObject* watched, QEvent* event) override {
                if (event->type() == QEvent::Expose && watched->isWindowType())
                    QTimer::singleShot(0, [] { _exit(0); });
                return false;
            }
        } quit;
        app.installEventFilter(&quit);
        return app.exec();
    }
    return app.exec();
}
