// Start of the program: one application, one main window, every other
// window made when it is opened.
#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>

#include <functional>
#include <optional>
#include <thread>
#include <unistd.h>
#include <utility>

#include <QMessageBox>

#include "main/AppWiring.h"
#include "main/core/Classroom.h"
#include "windows/ClassRecordWindow.h"
#include "main/MasumeForm.h"
#include "main/core/StudyState.h"
#include "support/FontSet.h"
#include "support/FormKit.h"
#include "support/Fonts.h"
#include "support/KeyState.h"
#include "support/Picture.h"
#include "support/QtClock.h"

namespace {
// Runs a task once, just after the first window of the program has painted
// its first frame.
class AfterFirstFrame : public QObject {
public:
    explicit AfterFirstFrame(std::function<void()> task) : task_(std::move(task)) { qApp->installEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && task_ && watched->isWindowType()) {
            qApp->removeEventFilter(this);
            QTimer::singleShot(0, this, std::exchange(task_, {}));
        }
        return false;
    }

private:
    std::function<void()> task_;
};
}  // namespace

int main(int argc, char** argv) {
    // Reading the font configuration needs no display: a second core does it
    // while the toolkit connects to the display, and so does the decoding of
    // the tutor's picture while the window is built. The window waits for the
    // reading, so it runs at the window's own priority: at a lower one a busy
    // computer starved it (with an empty font cache, for seconds) while the
    // window waited.
    std::thread fontConfiguration(loadFontConfiguration);
    QApplication app(argc, argv);
    preloadPictures({QStringLiteral(":/resources/tutor.png")});
    fontConfiguration.join();
    // Names the user's configuration folder, used when the program's own
    // folder cannot be written.
    app.setOrganizationName("mizunara");
    app.setApplicationName("tateyokom");
    app.setFont(japaneseFont(13));
    // The child reads Japanese: the toolkit's own dialogs and buttons too.
    QTranslator toolkitTexts;
    if (toolkitTexts.load(QLocale(QLocale::Japanese, QLocale::Japan), "qtbase", "_",
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&toolkitTexts);
    kit::breakBoxLinesBetweenWords(&app);

    // A classroom's desktop entry names the class folder; the teacher's opens the class's table alone.
    const ClassOptions classOptions = classOptionsFrom(argc, argv);
    if (!classOptions.error.empty())
        QMessageBox::warning(nullptr, kit::u("クラスのフォルダ"), kit::u(classOptions.error));
    if (classOptions.teacher) {
        if (!classOptions.classFolder.empty()) {
            ClassRecordWindow teacher(classOptions.classFolder);
            teacher.show();
            return app.exec();
        }
        QMessageBox::warning(nullptr, kit::u("クラスのきろく"),
                             kit::u("--teacher には、--class-folder でクラスのフォルダを書きそえてください。"));
    }

    StudyState st;
    st.exeDir = QDir(QCoreApplication::applicationDirPath()).absolutePath().toStdString() + "/";
    KeyState keys;
    app.installEventFilter(&keys);
    QtClock clock(&keys);
    AppWiring wiring(st, clock);
    wiring.useClassFolder(classOptions.classFolder);
    // The icon goes to the display whole, every size of it, with every window
    // that opens: a few small sizes only, and only once the first window
    // has shown.
    AfterFirstFrame icon([&app, &wiring] {
        QIcon icon;
        for (int size : {16, 32, 48, 64})
            icon.addFile(QStringLiteral(":/resources/icon_%1.png").arg(size), QSize(size, size));
        app.setWindowIcon(icon);
        // The sound output's twenty libraries, likewise only now.
        wiring.player().loadOutput();
        wiring.loadVoice();
    });
    // For measuring the start alone (callgrind, strace): end the process as
    // soon as the first frame is painted, before the tasks above and without
    // saving anything.
    std::optional<AfterFirstFrame> quit;
    if (qEnvironmentVariableIsSet("TATEYOKO_QUIT_AFTER_FIRST_FRAME")) quit.emplace([] { _exit(0); });
    wiring.setBusy([&keys] { return keys.runActive(); });
    TMasumeForm form(st, keys, clock, wiring.services());
    form.show();
    return app.exec();
}
