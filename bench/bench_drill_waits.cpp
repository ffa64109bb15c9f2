// Figures, not verdicts: how late the drills' pauses and waits end after
// their limits. The real runners run on the real clock over the main window;
// only the limits are shortened, so that hundreds of waits take seconds.
// Run by tools/bench.sh, or alone: ./bench_drill_waits
#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "main/MasumeForm.h"
#include "main/core/QuestionOrder.h"
#include "main/core/Runner.h"
#include "support/Fonts.h"
#include "support/KeyState.h"
#include "support/QtClock.h"

namespace {

double nowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

// One line of what the runner did, in order: a pause, a slice of a polling
// wait, or a field written.
struct Mark {
    enum Kind { SleepStart, SleepEnd, Idle, Write } kind;
    double at;
    int ms = 0;
};

class TimedClock : public Clock {
public:
    TimedClock(Clock& inner, std::vector<Mark>& log) : inner_(inner), log_(log) {}
    std::int64_t nowMs() override { return inner_.nowMs(); }
    void sleepMs(int ms) override {
        log_.push_back({Mark::SleepStart, ::nowMs(), ms});
        inner_.sleepMs(ms);
        log_.push_back({Mark::SleepEnd, ::nowMs(), ms});
    }
    void idleMs(int ms) override {
        log_.push_back({Mark::Idle, ::nowMs(), ms});
        inner_.idleMs(ms);
    }

private:
    Clock& inner_;
    std::vector<Mark>& log_;
};

// Writes go to the main window as in the program; each is logged when it is done.
class TimedView : public BoardView {
public:
    TimedView(BoardView& inner, std::vector<Mark>& log) : inner_(inner), log_(log) {}
    void setFieldText(Field f, const std::string& t) override { inner_.setFieldText(f, t), done(); }
    void setAnswerColour(bool red) override { inner_.setAnswerColour(red), done(); }
    void setMessageColour(MessageColour c) override { inner_.setMessageColour(c), done(); }
    void setProgressBar(int v) override { inner_.setProgressBar(v), done(); }
    void setControlsEnabled(bool e) override { inner_.setControlsEnabled(e), done(); }
    void showAbortHint() override { inner_.showAbortHint(), done(); }
    void drawDecorations() override { inner_.drawDecorations(), done(); }

private:
    void done() { log_.push_back({Mark::Write, ::nowMs()}); }
    BoardView& inner_;
    std::vector<Mark>& log_;
};

struct Quiet : Sound, Confirm {
    void playSound(int) override {}
    void beep() override {}
    bool confirm(const std::string&, const std::string&) override { return false; }
};

// Pauses: end minus start minus limit. Polling waits: from the last thing
// done before the first slice to the first thing done after the last one.
void collect(const std::vector<Mark>& log, int waitLimit, std::vector<double>& pauses, std::vector<double>& waits) {
    for (size_t i = 0; i < log.size(); ++i) {
        if (log[i].kind == Mark::SleepEnd && i > 0 && log[i - 1].kind == Mark::SleepStart)
            pauses.push_back(log[i].at - log[i - 1].at - log[i].ms);
        if (log[i].kind == Mark::Idle && i > 0 && log[i - 1].kind != Mark::Idle) {
            size_t end = i;
            while (end < log.size() && log[end].kind == Mark::Idle) ++end;
            if (end < log.size()) waits.push_back(log[end].at - log[i - 1].at - waitLimit);
            i = end - 1;
        }
    }
}

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size() - 1) + 0.5))];
}

void report(const char* what, const std::vector<double>& late) {
    std::printf("  %-34s %4zu   median %6.2f ms   p99 %6.2f ms   max %6.2f ms\n", what, late.size(),
                percentile(late, 0.5), percentile(late, 0.99), percentile(late, 1.0));
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    app.setFont(japaneseFont(13));
    StudyState st;
    KeyState keys;
    app.installEventFilter(&keys);
    QtClock qtClock(&keys);
    TMasumeForm form(st, keys, qtClock, MasumeServices{});
    form.show();
    for (int i = 0; i < 20; ++i) app.processEvents(QEventLoop::AllEvents, 10);

    std::vector<Mark> log;
    TimedClock clock(qtClock, log);
    TimedView view(form, log);
    Board board(st, view);
    Quiet quiet;
    keys.setRunActive(true);
    Runner runner(st, board, RunnerPorts{clock, keys, quiet, quiet});

    std::vector<double> pauses, practiceWaits, testWaits;
    // Practices of all tables at a self-running speed, limits of a few
    // milliseconds to a few dozen, so that a timer's granularity shows.
    for (int limit : {7, 19, 33, 48}) {
        selectSpeed(st, 3);
        st.stepPause = limit / 2 + 1;
        st.answerDelay = limit + 3;
        st.waitLimit = limit;
        st.rangeIndex = 12;
        st.contentIndex = 0;
        st.repeatCount = 1;
        st.soundOn = 0;
        log.clear();
        runner.ExecButtonClick();
        collect(log, limit, pauses, practiceWaits);
    }
    // A test of one table left unanswered: every answer wait runs to its limit.
    for (int limit : {11, 29}) {
        selectSpeed(st, 3);
        st.stepPause = 5;
        st.waitLimit = limit;
        st.rangeIndex = 1;
        st.contentIndex = 3;
        st.soundOn = 0;
        log.clear();
        runner.ExecButtonClick();
        collect(log, limit, pauses, testWaits);
    }
    keys.setRunActive(false);

    std::vector<double> all = practiceWaits;
    all.insert(all.end(), testWaits.begin(), testWaits.end());
    all.insert(all.end(), pauses.begin(), pauses.end());
    std::printf("Lateness after the limit (platform %s):\n", qPrintable(QGuiApplication::platformName()));
    report("practice waits for G", practiceWaits);
    report("test waits for an answer", testWaits);
    report("pauses (sleeps) of both", pauses);
    report("all waits and pauses", all);
    std::printf("  target: median <= 2 ms, p99 <= 8 ms\n");
    return 0;
}
