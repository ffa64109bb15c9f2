// Takes the README's pictures of every window, each in a typical state:
//   screenshots OUTPUT_FOLDER [only,these,names]
// Run it in the folder of the program's files (build/app), for the hints,
// on a real X display; tools/make_screenshots.sh does both. Drills run with a
// clock of their own, so each picture shows the same moment every time.
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <map>

#include "main/MasumeForm.h"
#include "windows/Keeper.h"
#include "windows/Navigator.h"
#include "main/core/RunnerPorts.h"
#include "main/core/StudyState.h"
#include "support/FontSet.h"
#include "support/Fonts.h"
#include "support/KeyState.h"
#include "support/core/Mnemonics.h"
#include "tests/ui/ScriptedClock.h"
#include "windows/About_.h"
#include "windows/FactMapWindow.h"
#include "main/core/History.h"
#include "main/core/Settings.h"
#include "windows/Certif_syo.h"
#include "windows/ProgressChartWindow.h"
#include "windows/ClassRecordWindow.h"
#include "windows/core/Certificate.h"
#include "windows/Dancalcdsp.h"
#include "windows/Kukujouken.h"
#include "windows/Sikskuck.h"
#include "windows/Testresultdsp1.h"
#include "windows/Testresultdsp2.h"

namespace {

enum Range { Two = 1, Five = 2, Beginner = 9 };
enum Content { PracticeInOrder = 0, TestInOrder = 3 };
enum Speed { Normal = 2 };

// Opens nothing: each window is shown on its own below.
struct NoWindows : Navigator {
    void openSettings(QWidget*) override {}
    void openResultsByTable(QWidget*) override {}
    void openResultsByLevel(QWidget*) override {}
    void openQualification(QWidget*) override {}
    void openCertificate(QWidget*) override {}
    void openTable(QWidget*) override {}
    void openAbout(QWidget*) override {}
    void openHelp(QWidget*, const std::string&) override {}
    FactMapChoice openFactMap(QWidget*) override { return {}; }
    bool openChildren(QWidget*) override { return false; }
    void openProgress(QWidget*) override {}
    void openClassRecord(QWidget*) override {}
};

// Saves nothing: the pictures are taken of a state made up here.
struct NoSaves : Keeper {
    bool savePasses(QWidget*) override { return true; }
    bool saveFactRecord(QWidget*) override { return true; }
};

class Shots {
public:
    Shots(QString folder, QStringList only) : folder_(std::move(folder)), only_(std::move(only)) {}
    bool wanted(const QString& name) const { return only_.isEmpty() || only_.contains(name); }
    void save(QWidget* window, const QString& name) {
        QTest::qWait(50);
        const QString path = folder_ + "/" + name + ".png";
        if (window->grab().save(path)) std::printf("wrote %s\n", qPrintable(path));
        else failed_ = true;
    }
    void expose(QWidget* window) {
        window->show();
        if (!QTest::qWaitForWindowExposed(window)) {
            std::fprintf(stderr, "%s did not show\n", qPrintable(window->windowTitle()));
            failed_ = true;
        }
    }
    // Shows a window, lets it paint, and saves it.
    void show(QWidget* window, const QString& name) {
        expose(window);
        save(window, name);
        window->close();
    }
    bool failed() const { return failed_; }

private:
    QString folder_;
    QStringList only_;
    bool failed_ = false;
};

void fillTestOf(StudyState& st, int range) {
    st.rangeIndex = range;
    for (auto& row : st.kekkaArray)
        for (int& outcome : row) outcome = 2;
}

}  // namespace

int main(int argc, char** argv) {
    loadFontConfiguration();  // the fonts the program itself sees
    QApplication app(argc, argv);
    app.setFont(japaneseFont(13));
    if (argc < 2) {
        std::fprintf(stderr, "usage: screenshots OUTPUT_FOLDER [name,name,...]\n");
        return 2;
    }
    QDir().mkpath(argv[1]);
    Shots shots(argv[1], argc > 2 ? QString(argv[2]).split(',') : QStringList());

    SilentSound silent;
    ScriptedClock clock;
    KeyState keys;
    app.installEventFilter(&keys);

    // The main window: a child called はなこ at 二の段.
    StudyState st;
    NoWindows navigator;
    NoSaves keeper;
    MasumeServices services;
    services.loadSettings = [](StudyState& s) {
        s.rangeIndex = Two;
        s.contentIndex = PracticeInOrder;
        s.speedIndex = Normal;
        s.studentName = "やまだ はなこ";
        s.repeatCount = 1;
        s.answerDelay = 800;
        s.soundOn = 0;
        s.winLeft = 0;
        s.winTop = 0;
        s.bgColor = 0x00C0DCC0;
    };
    services.loadHints = [](StudyState& s) { loadMnemonics(s.mnemonicTable, kMnemonicFileName); };
    services.navigator = &navigator;
    TMasumeForm form(st, keys, clock, services);
    shots.expose(&form);
    QApplication::setActiveWindow(&form);
    // The first timer tick draws the board's frames; a busy machine may be late.
    if (!QTest::qWaitFor([&form] { return form.decorationsDrawn(); }, 10000)) {
        std::fprintf(stderr, "the board's frames were never drawn\n");
        return 1;
    }
    QTest::qWait(300);
    if (shots.wanted("main_window")) shots.save(&form, "main_window");

    // Keys go where the child's would: to the widget with the focus.
    const auto target = [&form]() -> QWidget* {
        return QApplication::focusWidget() ? QApplication::focusWidget() : &form;
    };
    const auto stop = [&] {
        QTest::keyPress(target(), Qt::Key_Escape);
        QTest::keyRelease(target(), Qt::Key_Escape);
    };
    if (shots.wanted("practice")) {
        // The fourth fact, 2 × 4, with its answer, reading and hint.
        clock.after(9300, [&] { shots.save(&form, "practice"); });
        clock.after(9400, stop);
        form.ExecButtonClick();
    }
    if (shots.wanted("test")) {
        st.contentIndex = TestInOrder;
        form.syncSelections();
        // 2 × 1, 2 × 2 answered; the third question just asked.
        clock.after(1500, [&] { QTest::keyClick(target(), Qt::Key_2); });
        clock.after(4200, [&] { QTest::keyClick(target(), Qt::Key_4); });
        clock.after(7400, [&] { shots.save(&form, "test"); });
        clock.after(7500, stop);
        form.ExecButtonClick();
    }
    form.hide();

    // The other windows, over the same study state.
    st.studentName = "やまだ はなこ";
    if (shots.wanted("results_by_table")) {
        fillTestOf(st, Two);
        for (int pass = 0; pass < 3; ++pass)
            for (int m = 0; m < 9; ++m) st.kekkaArray[pass][m] = 1;
        st.kekkaArray[1][6] = 0;  // 2 × 7 missed once
        TResultDsp1Form w(st, navigator, keeper);
        shots.show(&w, "results_by_table");
    }
    if (shots.wanted("results_by_level")) {
        fillTestOf(st, Beginner);
        for (int d : {1, 2, 5})
            for (int m = 0; m < 9; ++m) st.kekkaArray[d - 1][m] = st.kekkaArray[9 + d - 1][m] = 1;
        TResultDsp2Form w(st, navigator, keeper);
        shots.show(&w, "results_by_level");
    }
    if (shots.wanted("qualification")) {
        for (auto& column : st.recCheckArray)
            for (int& flag : column) flag = 0;
        // Both answer orders of 一、二、五の段 and 初級, and some more in order.
        for (int row : {1, 2, 3, 10}) st.recCheckArray[0][row - 1] = st.recCheckArray[1][row - 1] = 1;
        for (int row : {4, 5, 6}) st.recCheckArray[0][row - 1] = 1;
        st.rangeIndex = Five;
        TSikakuCheckForm w(st, navigator, keeper);
        shots.expose(&w);
        w.Button4->click();  // 資格チェック
        shots.save(&w, "qualification");
        w.close();
    }
    if (shots.wanted("certificate")) {
        st.certKind = -1;
        st.rangeIndex = Five;
        TCertForm2 w(st);
        // The reviewed picture's day, so that the picture is the same on any day.
        w.StaticText4->setText(QString::fromStdString(dateLine(2026, 12, 8)));
        shots.show(&w, "certificate");
    }
    if (shots.wanted("table")) {
        st.rangeIndex = Five;
        st.currentDan = 5;
        TDanCalcForm w(st);
        shots.show(&w, "table");
    }
    if (shots.wanted("fact_map")) {
        // A child who knows the small tables and stumbles over some of 6, 7 and 8.
        clearRecord(st.factRecord);
        for (int q = 0; q < 81; ++q) {
            const int a = q / 9 + 1, b = q % 9 + 1;
            if (a > 5 && b > 5 && q % 4 == 0) continue;  // never asked yet
            const bool hard = a * b > 35 && (a + b) % 3 == 0;
            const bool hardest = a * b > 40 && (a + b) % 5 == 0;
            for (int i = 0; i < 4; ++i) {
                if (hardest && i < 3) recordPass(st.factRecord, q);
                else recordAnswer(st.factRecord, q, !(hard && i % 2 == 0), 900 + 60 * a * b / 4);
            }
        }
        FactMapWindow w(st, keeper);
        shots.show(&w, "fact_map");
    }
    if (shots.wanted("about")) {
        TAboutForm w;
        shots.show(&w, "about");
    }
    if (shots.wanted("settings")) {
        st.soundOn = 1;
        st.effectVolume = 70;
        st.repeatCount = 2;
        st.answerDelay = 800;
        // The settings as a program with its voice shows them, the voice on.
        struct WithVoice : SilentSound {
            bool hasVoice() const override { return true; }
        } voiced;
        st.voiceOn = 1;
        st.sikiSpVolume = 50;
        st.sikiSpRate = 10;
        TJoukenSetForm w(st, navigator, voiced, clock);
        shots.show(&w, "settings");
        st.voiceOn = 0;
    }
    if (shots.wanted("class_record")) {
        // A class of six, in a folder of the working directory so that the
        // picture names the same folder on every run; one child half-synced.
        const char* const names[] = {"あおき ゆい", "いとう そら", "うえだ けん", "えもと りお", "おの はると"};
        for (int i = 0; i < 5; ++i) {
            StudyState child;
            for (int r = 0; r < 9 - 2 * i; ++r) child.recCheckArray[0][r] = 1;
            for (int r = 0; r < 6 - i; ++r) child.recCheckArray[1][r] = 1;
            if (i == 0)
                for (int c = 0; c < 2; ++c)
                    for (int r = 0; r < 12; ++r) child.recCheckArray[c][r] = 1;
            for (int q = 0; q < 81; q += 3 + i) recordAnswer(child.factRecord, q, (q + i) % 4 != 0, 1200 + 40 * q);
            const std::string folder = std::string("クラス/") + names[i] + "/";
            QDir().mkpath(QString::fromStdString(folder));
            saveSettings(child, folder + kSettingsFileName, nullptr);
            saveRecordFile(child.factRecord, folder + kFactRecordFileName);
        }
        QDir().mkpath(QStringLiteral("クラス/かとう みお"));
        ClassRecordWindow w("クラス/");
        w.waitUntilRead();
        shots.show(&w, "class_record");
        QDir(QStringLiteral("クラス")).removeRecursively();
    }
    if (shots.wanted("progress")) {
        std::vector<HistoryEntry> days;
        for (int d = 1; d <= 12; ++d)
            for (int t = 0; t < 1 + d % 3; ++t)
                days.push_back({"2026-11-" + std::string(d < 10 ? "0" : "") + std::to_string(d) + " 17:0" +
                                    std::to_string(t) + ":00",
                                d % 9, t % 2, 1, 9 - (d < 6 ? 3 - d / 2 : 0), d < 6 ? 3 - d / 2 : 0, 0,
                                2600 - 120 * d});
        ProgressChartWindow w(days);
        shots.show(&w, "progress");
    }
    form.close();
    return shots.failed() ? 1 : 0;
}
