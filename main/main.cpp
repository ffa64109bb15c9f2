// Start of the program: one application, one main window, every other
// window made when it is opened.
#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "main/AppWiring.h"
#include "main/MasumeForm.h"
#include "main/core/StudyState.h"
#include "support/Fonts.h"
#include "support/KeyState.h"
#include "support/QtClock.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Names the user's configuration folder, used when the program's own
    // folder cannot be written.
    app.setOrganizationName("mizunara");
    app.setApplicationName("tateyokom");
    app.setFont(japaneseFont(13));
    app.setWindowIcon(QIcon(":/resources/icon.png"));
    // The child reads Japanese: the toolkit's own dialogs and buttons too.
    QTranslator toolkitTexts;
    if (toolkitTexts.load(QLocale(QLocale::Japanese, QLocale::Japan), "qtbase", "_",
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&toolkitTexts);

    StudyState st;
    st.exeDir = QDir(QCoreApplication::applicationDirPath()).absolutePath().toStdString() + "/";
    KeyState keys;
    app.installEventFilter(&keys);
    QtClock clock(&keys);
    AppWiring wiring(st, clock);
    TMasumeForm form(st, keys, clock, wiring.services());
    form.show();
    return app.exec();
}
