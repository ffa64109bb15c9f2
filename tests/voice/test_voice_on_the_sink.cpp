// The spoken 九九 as a child hears it: a practice at ふつう and a test by ear
// run on the real clock through the real player, recorded from the private
// sound server's null sink (tools/start_pulse.sh). Every fact must be heard,
// its own phrase, in order, whole, and soon after it appears.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>

#include <algorithm>
#include <climits>
#include <cmath>
#include <numeric>
#include <vector>

#include "main/core/Board.h"
#include "main/core/FactTables.h"
#include "main/core/QuestionOrder.h"
#include "main/core/Runner.h"
#include "main/core/StudyState.h"
#include "support/QtClock.h"
#include "support/SoundPlayer.h"
#include "support/core/WaveImage.h"
#include "tests/ui/NullSink.h"

namespace {

constexpr int kRate = 16000;  // the phrases' own rate: what comes back is what was sent

struct NoKeys : Input {
    KeyReading queryKey(Key) override { return {}; }
    bool keyHeld(Key) override { return false; }
    bool mouseHeld(MouseButton) override { return false; }
};
struct NeverAsked : Confirm {
    bool confirm(const std::string&, const std::string&) override { return false; }
};
// When each fact appeared, on the monotonic clock.
struct FormulaTimes : BoardView {
    explicit FormulaTimes(Clock& clock, StudyState& st) : clock_(clock), st_(st) {}
    void setFieldText(Field f, const std::string& text) override {
        if (f == Field::Formula && !text.empty()) shown.push_back({st_.currentQuestion, clock_.nowMs()});
    }
    void setAnswerColour(bool) override {}
    void setMessageColour(MessageColour) override {}
    void setProgressBar(int) override {}
    void setControlsEnabled(bool) override {}
    void showAbortHint() override {}
    void drawDecorations() override {}
    std::vector<std::pair<int, std::int64_t>> shown;
    Clock& clock_;
    StudyState& st_;
};

// The null sink's monitor, each piece stamped with when it arrived, so that
// a place in the recording can be put on the monotonic clock.
struct Recording {
    QProcess parec;
    QByteArray samples;
    std::vector<std::pair<qsizetype, std::int64_t>> arrivals;  // bytes so far, arrival ms

    // The latest moment sample i can have been heard: each piece arrived after
    // all of its samples.
    std::int64_t timeOf(qsizetype i) const {
        std::int64_t best = INT64_MAX;
        for (const auto& [bytes, at] : arrivals)
            if (bytes / 2 > i) best = std::min<std::int64_t>(best, at - (bytes / 2 - i) * 1000 / kRate);
        return best;
    }
    qsizetype indexAt(std::int64_t ms) const {
        for (const auto& [bytes, at] : arrivals)
            if (at >= ms) return std::max<qsizetype>(0, bytes / 2 - (at - ms) * kRate / 1000);
        return samples.size() / 2;
    }
    int sample(qsizetype i) const {
        return std::int16_t(std::uint16_t(std::uint8_t(samples[2 * i]) | std::uint8_t(samples[2 * i + 1]) << 8));
    }
};

// How alike the recording from `at` is to a phrase: the correlation of their
// envelopes in 10 ms steps, 1 for the same shape.
double likeness(const Recording& r, qsizetype at, const std::vector<int>& phrase) {
    const int step = kRate / 100;
    std::vector<double> a, b;
    for (size_t i = 0; i + step <= phrase.size(); i += size_t(step)) {
        double ea = 0, eb = 0;
        for (int k = 0; k < step; ++k) {
            const qsizetype j = at + qsizetype(i) + k;
            ea += j < r.samples.size() / 2 ? std::abs(r.sample(j)) : 0;
            eb += std::abs(phrase[i + size_t(k)]);
        }
        a.push_back(ea);
        b.push_back(eb);
    }
    auto mean = [](const std::vector<double>& v) { return std::accumulate(v.begin(), v.end(), 0.0) / double(v.size()); };
    const double ma = mean(a), mb = mean(b);
    double sab = 0, saa = 0, sbb = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        sab += (a[i] - ma) * (b[i] - mb);
        saa += (a[i] - ma) * (a[i] - ma);
        sbb += (b[i] - mb) * (b[i] - mb);
    }
    return saa > 0 && sbb > 0 ? sab / std::sqrt(saa * sbb) : 0;
}

std::vector<int> phraseSamples(const QString& dir, Spoken kind, int q) {
    QFile file(QDir(dir).filePath(QString::fromStdString(spokenFileName(kind, q))));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray image = file.readAll();
    const auto info = parseWave(image);
    std::vector<int> out;
    if (!info) return out;
    for (qsizetype i = 0; i + 1 < info->dataSize; i += 2) {
        const char* p = image.constData() + info->dataOffset + i;
        out.push_back(std::int16_t(std::uint16_t(std::uint8_t(p[0]) | std::uint8_t(p[1]) << 8)));
    }
    return out;
}

struct Heard {
    int fact;
    std::int64_t lateMs;  // from the fact appearing to its first sound
    double likeness;      // with its own phrase, whole
    double tail;          // with the last third of it: not cut short
    double stranger;      // the best any other fact's phrase fits there
};

// For each fact shown: where its phrase begins in the recording (the first
// loud sample from its appearance on) and how much the following stretch
// sounds like that phrase, whole.
std::vector<Heard> listen(const Recording& r, const std::vector<std::pair<int, std::int64_t>>& shown,
                          const QString& dir, Spoken kind) {
    std::vector<Heard> heard;
    for (size_t k = 0; k < shown.size(); ++k) {
        const auto [q, at] = shown[k];
        const std::vector<int> phrase = phraseSamples(dir, kind, q);
        int peak = 0;
        for (int s : phrase) peak = std::max(peak, std::abs(s));
        qsizetype i = std::max<qsizetype>(0, r.indexAt(at) - kRate / 20);
        const qsizetype end = k + 1 < shown.size() ? r.indexAt(shown[k + 1].second) : r.samples.size() / 2;
        while (i < end && std::abs(r.sample(i)) < peak / 30) ++i;
        if (i >= end || phrase.empty()) {
            heard.push_back({q, -1, 0, 0, 1});
            continue;
        }
        // The phrase starts about where its first sound is heard: a quiet
        // first consonant may lie under the threshold.
        qsizetype best = i;
        double bestLike = -1;
        for (qsizetype j = std::max<qsizetype>(0, i - kRate / 5); j <= i + kRate / 50; j += kRate / 1000) {
            const double l = likeness(r, j, phrase);
            if (l > bestLike) bestLike = l, best = j;
        }
        const size_t third = phrase.size() * 2 / 3;
        const std::vector<int> tail(phrase.begin() + qsizetype(third), phrase.end());
        double stranger = -1;
        for (int other : {(q + 1) % 81, (q + 9) % 81, (q + 40) % 81}) {
            const std::vector<int> o = phraseSamples(dir, kind, other);
            for (qsizetype j = std::max<qsizetype>(0, i - kRate / 5); j <= i + kRate / 50; j += kRate / 1000)
                stranger = std::max(stranger, likeness(r, j, o));
        }
        heard.push_back({q, r.timeOf(best) - at, bestLike, likeness(r, best + qsizetype(third), tail), stranger});
    }
    return heard;
}

class VoiceOnTheSink : public ::testing::Test {
protected:
    void SetUp() override {
        server = qgetenv("PULSE_SERVER");
        dir = qEnvironmentVariable("TATEYOKO_APP_DIR");
        if (server.isEmpty()) GTEST_SKIP() << "no private sound server: eval \"$(tools/start_pulse.sh)\"";
        player.loadVoice(dir.toStdString(), 50);
        if (!player.hasVoice()) {
            if (qEnvironmentVariableIsSet("CI")) FAIL() << "the program was built without its voice in CI";
            GTEST_SKIP() << "the program was built without its voice (tools/fetch_voice.sh build/voice)";
        }
        player.loadOutput();
        QObject::connect(&rec.parec, &QProcess::readyReadStandardOutput, &rec.parec, [this] {
            rec.samples += rec.parec.readAllStandardOutput();
            rec.arrivals.push_back({rec.samples.size(), clock.nowMs()});
        });
        ASSERT_TRUE(startRecording(rec.parec, server, kRate, 1, [this](int ms) { clock.sleepMs(ms); }));
        clock.sleepMs(300);
    }
    void TearDown() override {
        if (rec.parec.state() != QProcess::NotRunning) stopRecording(rec.parec);
    }
    void report(const char* what, const std::vector<Heard>& heard, const std::vector<std::pair<int, std::int64_t>>& shown) {
        if (qEnvironmentVariableIsSet("TATEYOKO_VOICE_DUMP")) {
            QFile dump(qEnvironmentVariable("TATEYOKO_VOICE_DUMP") + "/" + QString::fromUtf8(what).left(4) + ".raw");
            if (dump.open(QIODevice::WriteOnly)) dump.write(rec.samples);
            for (const auto& [q, at] : shown) std::printf("shown %d at sample %lld\n", q, (long long)rec.indexAt(at));
            for (const Heard& h : heard)
                std::printf("heard %d late %lld like %.2f tail %.2f other %.2f\n", h.fact, (long long)h.lateMs,
                            h.likeness, h.tail, h.stranger);
        }
        ASSERT_EQ(heard.size(), shown.size());
        std::vector<std::int64_t> late;
        for (size_t k = 0; k < heard.size(); ++k) {
            // The arrival of recorded pieces places a sound within a few ms.
            EXPECT_GE(heard[k].lateMs, -20) << what << ": fact " << heard[k].fact << " was not heard";
            EXPECT_GT(heard[k].likeness, 0.9) << what << ": fact " << heard[k].fact << " is not its own phrase";
            EXPECT_GT(heard[k].tail, 0.8) << what << ": fact " << heard[k].fact << " is cut short";
            EXPECT_GT(heard[k].likeness, heard[k].stranger + 0.03) << what << ": fact " << heard[k].fact
                                                                  << " sounds like another's phrase";
            late.push_back(heard[k].lateMs);
        }
        std::sort(late.begin(), late.end());
        std::printf("%s: %zu phrases heard; from fact to voice median %lld ms, slowest %lld ms\n", what, late.size(),
                    (long long)late[late.size() / 2], (long long)late.back());
    }

    QByteArray server;
    QString dir;
    SoundPlayer player;
    QtClock clock;
    NoKeys input;
    NeverAsked confirm;
    StudyState st;
    FormulaTimes view{clock, st};
    Board board{st, view};
    Runner runner{st, board, RunnerPorts{clock, input, player, confirm}};
    Recording rec;
};

}  // namespace

TEST_F(VoiceOnTheSink, APracticeAtUsualSpeedChantsEveryFactWholeInOrder) {
    st.rangeIndex = 8;  // 九の段: the longest chants
    st.currentDan = danOfRange[8];
    st.contentIndex = 0;
    st.repeatCount = 1;
    st.answerDelay = 500;
    st.voiceOn = 1;
    selectSpeed(st, 2);
    runner.ExecButtonClick();
    clock.sleepMs(2500);
    stopRecording(rec.parec);
    ASSERT_EQ(view.shown.size(), 9u);
    report("practice at ふつう", listen(rec, view.shown, dir, Spoken::Chant), view.shown);
}

TEST_F(VoiceOnTheSink, ATestByEarAsksEveryQuestionWholeInOrder) {
    st.rangeIndex = 6;
    st.currentDan = danOfRange[6];
    st.repeatCount = 1;
    st.testByEar = 1;
    selectSpeed(st, 3);
    // 7 x 8, 7 x 3, 3 x 4, 8 x 9
    runner.runTestOf({(7 - 1) * 9 + 7, (7 - 1) * 9 + 2, (3 - 1) * 9 + 3, (8 - 1) * 9 + 8});
    stopRecording(rec.parec);
    ASSERT_EQ(view.shown.size(), 4u);
    report("test by ear", listen(rec, view.shown, dir, Spoken::Question), view.shown);
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
