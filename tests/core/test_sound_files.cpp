#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "main/core/StudyState.h"
#include "main/core/SoundSetup.h"

namespace {

// A canonical 16-bit mono file holding two samples.
QByteArray wave(std::int16_t a, std::int16_t b) {
    QByteArray w("RIFF\0\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x22\x56\0\0\x44\xAC\0\0\x02\0\x10\0data\x04\0\0\0", 44);
    for (std::int16_t s : {a, b}) w.append(char(s & 0xFF)).append(char(std::uint16_t(s) >> 8));
    return w;
}

std::int16_t sampleAt(const QByteArray& b, int i) {
    return std::int16_t(std::uint16_t(std::uint8_t(b[44 + 2 * i]) | std::uint8_t(b[45 + 2 * i]) << 8));
}

const char* const kNames[] = {"Seikai.wav", "Huseikai.wav", "promptA.wav"};
const char* const kTexts[] = {"正解音<Seikai.wav>がありません。", "不正解音<Huseikai.wav>がありません。",
                              "プロンプト音<promptA.wav>がありません。"};

class SoundFolder : public ::testing::Test {
protected:
    void SetUp() override {
        st.soundOn = 1;
        st.effectVolume = 50;
        for (int kind = 0; kind < 3; ++kind) put(kNames[kind], wave(10000, std::int16_t(-10001 - kind)));
    }
    void put(const char* name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    bool prepare() {
        return prepareSounds(
            st, buffers, dir.path().toStdString(),
            [this](const std::string& text, const std::string& caption) { boxes.emplace_back(text, caption); },
            [this](const std::string& path, const std::string&) { readErrors.push_back(path); });
    }

    QTemporaryDir dir;
    StudyState st;
    SoundBuffers buffers;
    std::vector<std::pair<std::string, std::string>> boxes;
    std::vector<std::string> readErrors;
};

}  // namespace

TEST_F(SoundFolder, AllPresentAsksNothingAndLoadsAllThreeScaled) {
    EXPECT_FALSE(prepare());
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(readErrors.empty());
    EXPECT_EQ(st.soundOn, 1);
    for (int kind = 0; kind < 3; ++kind) {
        ASSERT_EQ(buffers[size_t(kind)].size(), 48) << kind;
        EXPECT_EQ(sampleAt(buffers[size_t(kind)], 0), 1600) << kind;
        EXPECT_EQ(sampleAt(buffers[size_t(kind)], 1), (-10001 - kind) * 16 / 100) << kind;
    }
}

TEST_F(SoundFolder, OneMissingFileGivesExactlyItsMessageAndLoadsNothing) {
    for (int missing = 0; missing < 3; ++missing) {
        SetUp();
        ASSERT_TRUE(QFile::remove(dir.filePath(kNames[missing])));
        boxes.clear();
        EXPECT_TRUE(prepare()) << kNames[missing];
        ASSERT_EQ(boxes.size(), 1u) << kNames[missing];
        EXPECT_EQ(boxes[0].first, kTexts[missing]);
        EXPECT_EQ(boxes[0].second, "ご確認");
        EXPECT_EQ(st.soundOn, 0);
        for (const QByteArray& buffer : buffers) EXPECT_TRUE(buffer.isEmpty()) << kNames[missing];
    }
}

TEST_F(SoundFolder, MissingFilesAreAskedAboutInKindOrder) {
    for (const char* name : kNames) ASSERT_TRUE(QFile::remove(dir.filePath(name)));
    ASSERT_TRUE(QDir(dir.path()).mkdir("Huseikai.wav"));  // a folder is no sound file
    EXPECT_TRUE(prepare());
    ASSERT_EQ(boxes.size(), 3u);
    for (int kind = 0; kind < 3; ++kind) EXPECT_EQ(boxes[size_t(kind)].first, kTexts[kind]);
}

TEST_F(SoundFolder, UnreadableFileIsReportedAndTheOthersStillLoad) {
    ASSERT_TRUE(QFile::remove(dir.filePath("Seikai.wav")));
    ASSERT_TRUE(QDir(dir.path()).mkdir("Seikai.wav"));  // cannot be read, not even by root
    buffers[0] = "stale";
    loadSounds(buffers, 50, dir.path().toStdString(), [this](const std::string& path, const std::string&) {
        readErrors.push_back(path);
    });
    ASSERT_EQ(readErrors.size(), 1u);
    EXPECT_EQ(readErrors[0], dir.filePath("Seikai.wav").toStdString());
    EXPECT_TRUE(buffers[0].isEmpty());
    EXPECT_EQ(sampleAt(buffers[1], 0), 1600);
    EXPECT_EQ(sampleAt(buffers[2], 0), 1600);
}

TEST_F(SoundFolder, EachLoadStartsFromTheFileAtItsVolume) {
    const std::string path = dir.path().toStdString();
    loadSounds(buffers, 100, path, {});
    EXPECT_EQ(sampleAt(buffers[0], 0), 3300);
    loadSounds(buffers, 600, path, {});
    EXPECT_EQ(sampleAt(buffers[0], 0), 20000);
    QByteArray odd = wave(10000, 10000);
    odd[16] = 18;  // a longer fmt chunk: another layout, loaded as it is
    odd.insert(36, QByteArray(2, '\0'));
    put("promptA.wav", odd);
    loadSounds(buffers, 50, path, {});
    EXPECT_EQ(buffers[2], odd);
    EXPECT_EQ(soundFilePath("", 2), "promptA.wav");  // no folder: the bare name
}
