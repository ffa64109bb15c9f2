// The voice's two choices live in a file of their own that exists only while
// one of them is on: a child who never switched the voice on keeps exactly
// the files of a program without one.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "main/core/StudyState.h"
#include "main/core/VoiceChoice.h"

namespace {

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
}

}  // namespace

TEST(VoiceChoice, SavedOnlyWhileOnAndReadBackAsSaved) {
    const struct Row {
        const char* before;  // the file as found; nullptr: none
        int voiceOn, byEar;  // what the child chose
        const char* after;   // the file as left; "<none>": none
    } rows[] = {
        {nullptr, 0, 0, "<none>"},  // never switched on: no file appears
        {nullptr, 1, 0, "VOICE=1\r\nBYEAR=0\r\n"},
        {nullptr, 0, 1, "VOICE=0\r\nBYEAR=1\r\n"},
        {"VOICE=1\r\nBYEAR=1\r\n", 0, 0, "<none>"},  // both off again: the file goes
        {"VOICE=1\r\nBYEAR=0\r\n", 1, 1, "VOICE=1\r\nBYEAR=1\r\n"},
    };
    for (const Row& r : rows) {
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const std::string settings = dir.filePath("tateyokoM15.ini").toStdString();
        const std::string path = voiceChoicePath(settings);
        EXPECT_EQ(QFileInfo(QString::fromStdString(path)).dir(), QDir(dir.path()));
        if (r.before) {
            QFile f(QString::fromStdString(path));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(r.before);
        }
        StudyState st;
        st.voiceOn = r.voiceOn;
        st.testByEar = r.byEar;
        EXPECT_TRUE(saveVoiceChoice(st, path));
        EXPECT_EQ(readFile(QString::fromStdString(path)), QByteArray(r.after)) << r.voiceOn << r.byEar;
        StudyState back;
        back.voiceOn = back.testByEar = 7;
        loadVoiceChoice(back, path);
        EXPECT_EQ(back.voiceOn, r.voiceOn);
        EXPECT_EQ(back.testByEar, r.byEar);
    }
}

TEST(VoiceChoice, AFileAParentWroteIsReadWithCare) {
    const struct Row {
        QByteArray text;
        int voiceOn, byEar;
        std::int64_t savedAt;  // as a class folder's copy says
    } rows[] = {
        {"VOICE=1\nBYEAR=1\n", 1, 1, 0},               // LF line ends
        {"  VOICE=1  \r\n", 1, 0, 0},                   // blanks around
        {"VOICE=2\r\nBYEAR=yes\r\n", 0, 0, 0},          // only 1 switches on
        {QByteArray(5000, 'x') + "\nVOICE=1\n", 0, 0, 0},  // far too large to be ours
        {"VOICE=0\r\nBYEAR=1\r\nSAVEDAT=2000000000200\r\n", 0, 1, 2'000'000'000'200},
        {"SAVEDAT=12x\nSAVEDAT=-5\nSAVEDAT=\nVOICE=1\n", 1, 0, 0},  // no date a clock could give
    };
    for (const Row& r : rows) {
        QTemporaryDir dir;
        const QString path = dir.filePath(kVoiceChoiceFileName);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(r.text);
        f.close();
        StudyState st;
        loadVoiceChoice(st, path.toStdString());
        EXPECT_EQ(st.voiceOn, r.voiceOn) << r.text.left(20).toStdString();
        EXPECT_EQ(st.testByEar, r.byEar) << r.text.left(20).toStdString();
        EXPECT_EQ(voiceChoiceSavedAt(r.text.toStdString()), r.savedAt) << r.text.left(20).toStdString();
    }
}

TEST(VoiceChoice, CarriedValuesFromAnotherProgramPlayAsMade) {
    const struct Row {
        int carried, tenths;
    } rates[] = {{10, 10}, {7, 7}, {14, 14}, {6, 10}, {15, 10}, {0, 10}, {-10, 10}};
    for (const auto& r : rates) EXPECT_EQ(voiceRateTenths(r.carried), r.tenths) << r.carried;
    const struct Step {
        int carried, step;
    } volumes[] = {{50, 5}, {0, 0}, {100, 10}, {54, 5}, {55, 6}, {-3, 0}, {250, 10}};
    for (const auto& v : volumes) EXPECT_EQ(voiceVolumeStep(v.carried), v.step) << v.carried;
}
