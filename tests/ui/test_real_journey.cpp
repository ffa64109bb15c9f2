// The real program on the private X display, through every window as a
// child would go, with the keys: a practice and a test stopped with Esc, the
// table, the settings, About, the map of hard facts, the qualification check
// and a certificate from it, then ファイル → 終わり. Each window must come
// and go again at its keys, and the program must end by itself with code 0.
//
// In build-asan (tools/run_sanitized_suite.sh) the program under test is the
// one built with AddressSanitizer and UndefinedBehaviorSanitizer: any memory
// error, undefined behaviour or leak it reports on its stderr fails the test.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QThread>

#include "tests/ui/RealProgram.h"

namespace {

// 一の段 passed in both orders: the qualification window then grants its certificate.
QByteArray iniWithOnePass() {
    QByteArray passes(4 * 14, '0');
    passes[0] = '1';       // 順, 一の段
    passes[14 + 0] = '1';  // 乱, 一の段
    return "[TESTDATA]\r\nRECCHECKARRAY=" + passes + "\r\n[JOUKEN]\r\nMENUN=1\r\nMOKUJIN=1\r\n";
}

}  // namespace

TEST(RealJourney, EveryWindowOpensAndClosesAtItsKeysAndTheProgramEndsCleanly) {
    Journey j;
    ASSERT_TRUE(j.ready()) << "TATEYOKO_X_DISPLAY or TATEYOKO_APP_DIR is not set: run the README's test command";
    ASSERT_TRUE(j.install(iniWithOnePass()));
    QElapsedTimer took;
    took.start();
    j.start();
    const QString main = j.waitFor(QString::fromUtf8("タテヨコ塾"), 30000);
    ASSERT_FALSE(main.isEmpty()) << "the main window did not appear: " << j.errors().toStdString();
    QThread::msleep(1500);  // the first timer tick

    // A practice of the default content, started at 始める (it has the focus)
    // and stopped with Esc: stopped at once, with no question.
    j.keys(main, {"space"});
    QThread::msleep(2000);
    j.keys(main, {"g", "g", "Escape"});
    EXPECT_TRUE(j.waitFor(QString::fromUtf8("^<かくにん>$"), 1000).isEmpty()) << "Esc asked before a practice stopped";
    QThread::msleep(800);

    // A test (４.テスト, chosen in the list), a few answers, then Esc: asked
    // first, and stopped at OK.
    // While a drill runs a click asks whether to stop it; once stopped, the
    // click opens the content list instead.
    j.click(main, 480, 25);
    if (const QString still = j.waitFor(QString::fromUtf8("^<かくにん>$"), 1000); !still.isEmpty()) {
        ADD_FAILURE() << "Esc did not stop the practice";
        j.keys(still, {"Return"});
        j.waitGone(still);
        j.click(main, 480, 25);
    }
    j.keys(main, {"Down", "Down", "Return", "alt+e"});
    QThread::msleep(2500);
    j.keys(main, {"2", "Return"});
    QThread::msleep(1500);
    j.keys(main, {"4", "Return"});
    QThread::msleep(1000);
    j.keys(main, {"Escape"});
    const QString ask = j.waitFor(QString::fromUtf8("^<かくにん>$"));
    EXPECT_FALSE(ask.isEmpty()) << "Esc in a test did not ask";
    if (!ask.isEmpty()) {
        j.keys(ask, {"Return"});
        EXPECT_TRUE(j.waitGone(ask));
    }
    QThread::msleep(1000);

    struct Step {
        const char* what;
        QStringList open;
        const char* caption;
        QStringList close;
    };
    const Step steps[] = {
        {"the table (表示 → 九九一覧)", {"alt+v", "a"}, "段全部の計算$", {"Escape"}},
        {"the settings (J)", {"j"}, "の設定□$", {"Return"}},
        {"About (ヘルプ → バージョン情報)", {"alt+h", "a"}, "^バージョン情報$", {"Return"}},
        {"the map of hard facts (表示 → にがて九九)", {"alt+v", "n"}, "^にがて九九マップ$", {"Escape"}},
    };
    for (const Step& step : steps) {
        j.keys(main, step.open);
        const QString window = j.waitFor(QString::fromUtf8(step.caption));
        EXPECT_FALSE(window.isEmpty()) << step.what << " did not open";
        if (window.isEmpty()) continue;
        QThread::msleep(500);
        j.keys(window, step.close);
        EXPECT_TRUE(j.waitGone(window)) << step.what << " did not close at " << step.close.join(' ').toStdString();
    }

    // The qualification check, its check run, and the certificate of the
    // table passed in both orders (the first cell is chosen).
    j.keys(main, {"alt+v", "k"});
    const QString check = j.waitFor(QString::fromUtf8("資格チェック$"));
    EXPECT_FALSE(check.isEmpty()) << "the qualification window did not open";
    if (!check.isEmpty()) {
        QThread::msleep(500);
        j.keys(check, {"alt+t"});
        if (const QString box = j.waitFor(QString::fromUtf8("^□ごかくにん□$"), 1500); !box.isEmpty())
            j.keys(box, {"Return"});
        j.keys(check, {"alt+d"});
        const QString certificate = j.waitFor(QString::fromUtf8("^証明書フォーマット$"));
        EXPECT_FALSE(certificate.isEmpty()) << "no certificate for a table passed in both orders";
        if (!certificate.isEmpty()) {
            QThread::msleep(800);
            j.keys(certificate, {"alt+e", "c"});
            EXPECT_TRUE(j.waitGone(certificate)) << "the certificate did not close at そうさ → 閉じる";
        } else if (const QString box = j.waitFor(QString::fromUtf8("^□ごかくにん□$"), 500); !box.isEmpty()) {
            j.keys(box, {"Return"});
        }
        j.keys(check, {"alt+k", "c"});
        EXPECT_TRUE(j.waitGone(check)) << "the qualification window did not close at 閉める";
    }

    // ファイル → 終わり.
    j.keys(main, {"alt+f", "x"});
    const bool ended = j.finished(30000);
    if (!ended) j.kill();
    const QString errors = j.errors();
    EXPECT_TRUE(ended) << "the program did not end at ファイル → 終わり";
    EXPECT_EQ(j.exitCode(), 0) << errors.toStdString();
    for (const char* report : {"ERROR: AddressSanitizer", "runtime error:", "LeakSanitizer"})
        EXPECT_FALSE(errors.contains(QString::fromUtf8(report))) << errors.toStdString();
    std::printf("the journey took %.1f s\n", took.elapsed() / 1000.0);
}
