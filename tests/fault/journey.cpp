// A child's journey through the real windows, over and over, until it is
// killed: a test run to the end, its pass registered in the results window,
// the qualification window, now and then 成績クリア, now and then the map of
// hard facts cleared. The program's own wiring saves the files at each of
// those moments. Time is a scripted clock, so a test takes milliseconds.
// tools/kill_journey.sh kills it at random moments and checks the files.
//
//   journey DIR run          runs the journey in DIR (the program's folder)
//                            for ever; one line per phase and per save on
//                            stdout, each flushed at once
//   journey DIR check LOG    checks the files in DIR against what the run
//                            logged in LOG: each file whole, and holding the
//                            last state saved or the one being saved
#include <QApplication>
#include <QMessageBox>
#include <QAbstractButton>
#include <QTimer>
#include <QToolButton>
#include <QPushButton>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "main/AppNavigator.h"
#include "main/AppWiring.h"
#include "main/MasumeForm.h"
#include "main/core/FactRecord.h"
#include "main/core/FactTables.h"
#include "main/core/Settings.h"
#include "main/core/TestRecord.h"
#include "support/KeyState.h"
#include "support/core/IniFile.h"
#include "tests/core/FileBytes.h"
#include "tests/ui/ScriptedClock.h"
#include "windows/FactMapWindow.h"
#include "windows/Sikskuck.h"
#include "windows/Testresultdsp1.h"

namespace {

void say(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

std::string passesOf(const StudyState& st) {
    std::string digits;
    for (const auto& col : st.recCheckArray)
        for (int v : col) digits += char('0' + v);
    return digits;
}

std::string fnv(const std::string& bytes) {
    std::uint64_t h = 14695981039346656037ull;
    for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
    return std::to_string(h);
}

// The program's wiring, telling what it is about to save and when it is done.
struct LoggingWiring : AppWiring {
    LoggingWiring(StudyState& s, Clock& clock) : AppWiring(s, clock), st(s) {}
    bool savePasses(QWidget* over) override {
        say("saving passes " + passesOf(st));
        const bool ok = AppWiring::savePasses(over);
        say(ok ? "saved passes" : "failed passes");
        return ok;
    }
    bool saveFactRecord(QWidget* over) override {
        say("saving record " + fnv(recordToText(st.factRecord)));
        const bool ok = AppWiring::saveFactRecord(over);
        say(ok ? "saved record" : "failed record");
        return ok;
    }
    StudyState& st;
};

// Opens the real results and qualification windows and acts in them as a
// child would; every box is answered OK.
struct JourneyNavigator : AppNavigator {
    JourneyNavigator(StudyState& st, Sound& sound, Clock& clock, Keeper& keeper)
        : AppNavigator(st, sound, clock, keeper), keeper_(keeper) {}
    void openResultsByTable(QWidget* over) override {
        say("phase register");
        // The child answered every question right.
        for (int pass = 0; pass < 3; ++pass)
            for (int m = 0; m < 9; ++m) st_.kekkaArray[pass][m] = 1;
        TResultDsp1Form results(st_, *this, keeper_, over);
        results.SpeedButton1->click();
    }
    void openQualification(QWidget* over) override {
        TSikakuCheckForm check(st_, *this, keeper_, over);
        if (loop % 3 == 2) {
            say("phase clear");
            check.D1Click();
        }
    }
    Keeper& keeper_;
    long loop = 0;
};

int run(const std::string& dir) {
    int argc = 1;
    char name[] = "journey";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    // Every box the journey meets is answered OK; a box about a failed save
    // is told on stderr.
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, &answerer, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        if (box->icon() == QMessageBox::Critical)
            std::fprintf(stderr, "box: %s\n", box->text().toStdString().c_str());
        if (QAbstractButton* ok = box->button(QMessageBox::Ok)) ok->click();
        else box->reject();
    });
    answerer.start(5);

    say("phase start");
    StudyState st;
    st.exeDir = dir + "/";
    KeyState keys;
    app.installEventFilter(&keys);
    ScriptedClock clock;
    SilentSound sound;
    LoggingWiring wiring(st, clock);
    JourneyNavigator nav(st, sound, clock, wiring);
    MasumeServices services = wiring.services();
    services.navigator = &nav;
    services.checkAndLoadSounds = {};  // no sounds or hints in this folder, and no boxes about them
    services.loadHints = {};
    const auto load = services.loadSettings;
    services.loadSettings = [&](StudyState& s) {
        load(s);
        s.contentIndex = 3;  // a test
        s.speedIndex = 3;
        s.studentName = "はなこ";
        say("loaded passes " + passesOf(s));
        say("loaded record " + fnv(recordToText(s.factRecord)));
    };
    TMasumeForm form(st, keys, clock, services);
    form.show();
    for (;; ++nav.loop) {
        say("phase test");
        st.rangeIndex = int(nav.loop % 9);
        st.contentIndex = 3;
        form.syncSelections();
        form.Button1->click();  // every question left to time out; the results follow
        if (nav.loop % 4 == 3) {
            say("phase map");
            FactMapWindow map(st, wiring);
            map.ClearButtonClick();
        }
    }
}

// The log's verdict on the files: 0 when both are whole and hold a state
// that was saved last or was being saved.
int check(const std::string& dir, const std::string& logPath) {
    std::ifstream log(logPath);
    std::string neverSaved = "-";
    std::string line, savedPasses, pendingPasses, savedRecord, pendingRecord;
    while (std::getline(log, line)) {
        std::istringstream words(line);
        std::string verb, what, value;
        words >> verb >> what >> value;
        if (verb == "loaded" && what == "passes") savedPasses = neverSaved = value;
        if (verb == "loaded" && what == "record") savedRecord = value;
        if (verb == "saving" && what == "passes") pendingPasses = value;
        if (verb == "saving" && what == "record") pendingRecord = value;
        if (verb == "saved" && what == "passes") neverSaved = "-", savedPasses = std::exchange(pendingPasses, {});
        if (verb == "saved" && what == "record") savedRecord = std::exchange(pendingRecord, {});
        if (verb == "failed" && what == "passes") pendingPasses.clear();
        if (verb == "failed" && what == "record") pendingRecord.clear();
    }
    int faults = 0;
    const std::string ini = dir + "/" + kSettingsFileName;
    const std::string bytes = slurp(ini);
    // Before the first save there may be no file yet; after it, always one.
    if (!(bytes.empty() && pendingPasses.empty() && (savedPasses.empty() || savedPasses == neverSaved))) {
        IniFile file;
        file.setBytes(bytes);
        StudyState read;
        readSettings(read, file);
        writeSettings(read, file);
        if (bytes.empty() || file.bytes() != bytes) {
            std::fprintf(stderr, "the settings file is not one whole save (%zu bytes)\n", bytes.size());
            ++faults;
        }
        // Killed before it read the file, the run wrote nothing: the file is
        // the one the last check found.
        const std::string passes = passesOf(read);
        if (!savedPasses.empty() && passes != savedPasses && passes != pendingPasses) {
            std::fprintf(stderr, "the settings file holds passes %s; saved last %s, being saved %s\n",
                         passes.c_str(), savedPasses.c_str(), pendingPasses.c_str());
            ++faults;
        }
    }
    const std::string text = slurp(dir + "/" + kFactRecordFileName);
    FactRecord record;
    // No file yet reads as an empty record.
    const std::string sum = fnv(text.empty() ? recordToText(FactRecord{}) : text);
    if ((!text.empty() && !recordFromText(record, text)) ||
        (!savedRecord.empty() && sum != savedRecord && sum != pendingRecord)) {
        std::fprintf(stderr, "the record file (%zu bytes) is not the record saved last or being saved\n",
                     text.size());
        ++faults;
    }
    return faults ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[2], "run") == 0) return run(argv[1]);
    if (argc == 4 && std::strcmp(argv[2], "check") == 0) return check(argv[1], argv[3]);
    std::fprintf(stderr, "usage: journey DIR run | journey DIR check LOG\n");
    return 2;
}
