#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "main/core/Settings.h"
#include "main/core/SoundSetup.h"

// A sound file missing at start-up switches the sounds off, and that is
// what the settings file keeps when the program quits.
TEST(SoundsOffIsSaved, AMissingFileLeavesPinponflagZero) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string base = dir.path().toStdString() + "/";
    {
        QFile ini(QString::fromStdString(settingsPath(base)));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[SPEAK]\r\nPINPONFLAG=1\r\nEFFECTVOLUME=50\r\n");
    }
    // two of the three sounds are there
    for (const char* name : {"Seikai.wav", "promptA.wav"}) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(64, '\0'));
    }
    StudyState st;
    loadSettings(st, settingsPath(base));
    ASSERT_EQ(st.soundOn, 1);
    SoundBuffers buffers;
    std::vector<std::string> asked;
    const bool missing = prepareSounds(
        st, buffers, dir.path().toStdString(), [&](const std::string& text, const std::string&) { asked.push_back(text); },
        [](const std::string&, const std::string&) {});
    EXPECT_TRUE(missing);
    EXPECT_EQ(asked, std::vector<std::string>{"不正解音<Huseikai.wav>がありません。"});
    EXPECT_EQ(st.soundOn, 0);
    for (const QByteArray& b : buffers) EXPECT_TRUE(b.isEmpty());  // none is loaded, not even those present

    ASSERT_TRUE(saveSettings(st, settingsPath(base), nullptr));
    QFile saved(QString::fromStdString(settingsPath(base)));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray text = saved.readAll();
    EXPECT_TRUE(text.contains("PINPONFLAG=0\r\n"));
    EXPECT_FALSE(text.contains("PINPONFLAG=1"));
}
