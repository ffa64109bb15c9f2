// Damaged, odd and hostile files in every place a parent or a disk can put
// them: each gives a clear message or a safe default, never a crash or a
// hang, and a settings file never loses what it held.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "main/core/Settings.h"
#include "main/core/SoundSetup.h"
#include "support/core/Codec.h"
#include "support/core/IniFile.h"
#include "support/core/Mnemonics.h"
#include "support/core/WaveImage.h"
#include "tests/core/FileBytes.h"

namespace {

struct Folder {
    QTemporaryDir dir;
    std::string path(const char* name) const { return dir.filePath(name).toStdString(); }
};

std::string randomBytes(size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::string s(n, '\0');
    for (char& c : s) c = char(gen() & 0xFF);
    return s;
}

const std::string kName = "\x82\xBD\x82\xEB\x82\xA4";  // たろう in CP932

// What loading the file gives, and the file that a save of that state leaves.
struct LoadSave {
    StudyState st;
    std::string saved;
    bool ok = false;
};

LoadSave loadAndSave(const std::string& fileBytes) {
    Folder f;
    const std::string ini = settingsPath(f.dir.path().toStdString() + "/");
    spit(ini, fileBytes);
    LoadSave r;
    loadSettings(r.st, ini);
    r.ok = saveSettings(r.st, ini, nullptr);
    r.saved = slurp(ini);
    return r;
}

}  // namespace

TEST(BadSettingsFile, JunkGivesDefaultsAndIsKeptBesideOurKeys) {
    const std::string nul = std::string("[JOUKEN]\r\nKAIMAX=\0\0\0" "5\r\nMENUN=3\0\r\n", 28) +
                            std::string("\0\0[TESTDATA]\r\nSTUDENTNAME=", 26) + kName + "\r\n";
    const std::string junk = randomBytes(64 * 1024, 7);
    IniFile junkLines;
    junkLines.setBytes(junk);
    struct Case {
        const char* what;
        std::string bytes;
        std::string kept;  // a part that no save may lose
    };
    const Case cases[] = {
        {"empty", "", ""},
        {"random bytes", junk, junkLines.bytes().substr(0, 4000)},
        {"one line of 2 MB", std::string(2 * 1024 * 1024, 'A'), std::string(2 * 1024 * 1024, 'A') + "\r\n"},
        {"a 2 MB value", "[TESTDATA]\r\nSTUDENTNAME=" + std::string(2 * 1024 * 1024, 'x') + "\r\n", "[TESTDATA]"},
        {"NUL bytes", nul, std::string("\0\0[TESTDATA]\r\n", 14)},
        {"invalid CP932", "[TESTDATA]\r\nSTUDENTNAME=\x82\xFF\xA0\x85\x40\x82\r\n[JOUKEN]\r\nKAIMAX=4\r\n", "KAIMAX=4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const LoadSave r = loadAndSave(c.bytes);
        ASSERT_TRUE(r.ok);
        EXPECT_GE(r.st.repeatCount, 1);
        EXPECT_LE(r.st.repeatCount, 9);
        EXPECT_LE(r.st.studentName.size(), size_t(3 * kIniValueMax));
        // Whatever the file held is still there, and our keys read back as saved.
        EXPECT_NE(r.saved.find(c.kept), std::string::npos);
        IniFile out;
        out.setBytes(r.saved);
        StudyState again;
        readSettings(again, out);
        EXPECT_EQ(again.studentName, r.st.studentName);
        EXPECT_EQ(again.repeatCount, r.st.repeatCount);
        EXPECT_EQ(again.contentIndex, r.st.contentIndex);
    }
}

TEST(BadSettingsFile, NamesReadAsTheFileCanHoldThem) {
    // Bytes that are no CP932 character are read as the substitute that a
    // save writes for them: the name and its number do not change between runs.
    const LoadSave bad = loadAndSave("[TESTDATA]\r\nSTUDENTNAME=\x82\xBD\xFF\x85\x40\x82\r\n");
    EXPECT_TRUE(bad.st.studentName.starts_with("た")) << bad.st.studentName;
    EXPECT_EQ(loadAndSave(bad.saved).st.studentName, bad.st.studentName);
    // A stray carriage return inside the value cannot survive a save either.
    EXPECT_EQ(loadAndSave("[TESTDATA]\r\nSTUDENTNAME=a\rb\r\n").st.studentName, "ab");
}

TEST(BadSettingsFile, BlanksAndQuotesAtTheEdgesOfANameComeBack) {
    for (const std::string name : {"たろう ", " たろう", "\"たろう\"", "'a'", "\"", "a b", "\"\"", "''"}) {
        SCOPED_TRACE(name);
        Folder f;
        const std::string ini = settingsPath(f.dir.path().toStdString() + "/");
        StudyState st;
        loadSettings(st, ini);
        st.studentName = name;
        ASSERT_TRUE(saveSettings(st, ini, nullptr));
        StudyState back;
        loadSettings(back, ini);
        EXPECT_EQ(back.studentName, name);
    }
    // An ordinary name is written as it stands, without quotes.
    Folder f;
    const std::string ini = settingsPath(f.dir.path().toStdString() + "/");
    StudyState st;
    loadSettings(st, ini);
    ASSERT_TRUE(saveSettings(st, ini, nullptr));
    EXPECT_NE(slurp(ini).find("STUDENTNAME=\x82\xAD\x82\xAD \x82\xCD\x82\xB6\x82\xDF\r\n"), std::string::npos);
}

TEST(BadSettingsFile, EditorsUnicodeFilesAreReadAndWrittenBackAsCp932) {
    const std::string text =
        "[JOUKEN]\r\nKAIMAX=7\r\nMOKUJIN=4\r\n[TESTDATA]\r\nSTUDENTNAME=たろう\r\nRECCHECKARRAY=11\r\n; メモ\r\n";
    QString q = QString::fromUtf8(text.c_str());
    std::string utf16le("\xFF\xFE", 2), utf16be("\xFE\xFF", 2);
    for (QChar ch : q) {
        utf16le += std::string{char(ch.unicode() & 0xFF), char(ch.unicode() >> 8)};
        utf16be += std::string{char(ch.unicode() >> 8), char(ch.unicode() & 0xFF)};
    }
    for (const std::string& file : {"\xEF\xBB\xBF" + text, utf16le, utf16be}) {
        const LoadSave r = loadAndSave(file);
        ASSERT_TRUE(r.ok);
        // The first section is read like any other.
        EXPECT_EQ(r.st.repeatCount, 7);
        EXPECT_EQ(r.st.rangeIndex, 4);
        EXPECT_EQ(r.st.studentName, "たろう");
        EXPECT_EQ(r.st.recCheckArray[0][1], 1);
        // Written back in our own form: no mark, CP932, the note kept.
        EXPECT_TRUE(r.saved.starts_with("[JOUKEN]\r\nKAIMAX=7\r\n")) << r.saved;
        EXPECT_NE(r.saved.find("STUDENTNAME=" + kName + "\r\n"), std::string::npos);
        EXPECT_NE(r.saved.find("; " + codec::toCp932("メモ") + "\r\n"), std::string::npos);
    }
}

// A parent edits the file by hand while the program runs. At quit the
// program writes what it shows (its own keys) and keeps everything else of
// the file as it is then: the parent's notes, sections and unknown keys.
TEST(BadSettingsFile, AHandEditWhileRunningKeepsTheParentsLines) {
    Folder f;
    const std::string ini = settingsPath(f.dir.path().toStdString() + "/");
    spit(ini, "[JOUKEN]\r\nKAIMAX=3\r\n");
    StudyState st;
    loadSettings(st, ini);
    st.recCheckArray[0][4] = 1;  // a pass earned in this run
    spit(ini, "; parent's note\r\n[JOUKEN]\r\nKAIMAX=8\r\nMYKEY=1\r\n[PARENT]\r\nA=b\r\n");
    ASSERT_TRUE(saveSettings(st, ini, nullptr));
    const std::string saved = slurp(ini);
    EXPECT_TRUE(saved.starts_with("; parent's note\r\n[JOUKEN]\r\nKAIMAX=3\r\nMYKEY=1\r\n")) << saved;
    EXPECT_NE(saved.find("[PARENT]\r\nA=b\r\n"), std::string::npos);
    EXPECT_NE(saved.find("RECCHECKARRAY=00001"), std::string::npos);
}

TEST(BadHintsFile, ManyNoneOrJunkLinesFillTheTableSafely) {
    Folder f;
    const std::string path = f.path("kuku_goro.csv");
    MnemonicTable table;

    std::string many;
    for (int i = 0; i < 10000; ++i) many += "q" + std::to_string(i) + ",hint " + std::to_string(i) + "\r\n";
    spit(path, many);
    ASSERT_TRUE(loadMnemonics(table, path));
    EXPECT_EQ(table[0], "hint 0\n");
    EXPECT_EQ(table[81], "hint 81\n");

    spit(path, "");
    ASSERT_TRUE(loadMnemonics(table, path));
    for (const std::string& hint : table) EXPECT_TRUE(hint.empty());

    spit(path, randomBytes(100000, 3));
    ASSERT_TRUE(loadMnemonics(table, path));
    for (const std::string& hint : table) EXPECT_LE(codec::toCp932(hint).size(), size_t(kMnemonicPieceBytes));
}

namespace {

QByteArray chunk(const char* tag, const QByteArray& body) {
    QByteArray c(tag, 4);
    const auto n = std::uint32_t(body.size());
    for (int i = 0; i < 4; ++i) c.append(char((n >> (8 * i)) & 0xFF));
    c += body;
    if (body.size() % 2) c.append('\0');
    return c;
}

QByteArray fmtBody(int channels, int rate, int bits, int tag = 1) {
    QByteArray b(16, '\0');
    const auto put = [&](int at, std::uint32_t v, int width) {
        for (int i = 0; i < width; ++i) b[at + i] = char((v >> (8 * i)) & 0xFF);
    };
    put(0, std::uint32_t(tag), 2);
    put(2, std::uint32_t(channels), 2);
    put(4, std::uint32_t(rate), 4);
    put(8, std::uint32_t(rate * channels * bits / 8), 4);
    put(12, std::uint32_t(channels * bits / 8), 2);
    put(14, std::uint32_t(bits), 2);
    return b;
}

QByteArray waveOf(const QByteArray& chunks) { return QByteArray("RIFF\0\0\0\0WAVE", 12) + chunks; }

}  // namespace

TEST(BadSoundFile, EachFileIsPlayedOrNamedOnce) {
    const QByteArray samples(64, '\x11');
    QByteArray zeroSize = waveOf(chunk("fmt ", fmtBody(1, 44100, 16)) + chunk("data", samples));
    zeroSize[40] = zeroSize[41] = zeroSize[42] = zeroSize[43] = 0;
    QByteArray hugeSize = waveOf(chunk("fmt ", fmtBody(1, 44100, 16)) + chunk("data", samples));
    hugeSize[40] = hugeSize[41] = hugeSize[42] = hugeSize[43] = '\xFF';
    struct Case {
        const char* what;
        QByteArray image;
        bool plays;
        const char* fault = "";  // what the refusal says, in part
    };
    const char* notWave = "WAVE 形式のファイルではありません";
    const char* broken = "壊れています";
    const char* unplayable = "再生できません";
    const Case cases[] = {
        {"a zero size field", zeroSize, true},  // nothing to hear, nothing wrong
        {"a huge size field", hugeSize, true},
        {"8-bit", waveOf(chunk("fmt ", fmtBody(1, 22050, 8)) + chunk("data", samples)), true},
        {"stereo at 48 kHz", waveOf(chunk("fmt ", fmtBody(2, 48000, 16)) + chunk("data", samples)), true},
        {"odd chunk sizes", waveOf(chunk("junk", "abc") + chunk("fmt ", fmtBody(1, 8000, 16)) + chunk("data", "abcde")),
         true},
        {"a LIST chunk before the data",
         waveOf(chunk("fmt ", fmtBody(1, 44100, 16)) + chunk("LIST", "INFOISFT\x04\0\0\0sox\0") + chunk("data", samples)),
         true},
        {"32-bit samples", waveOf(chunk("fmt ", fmtBody(1, 44100, 32)) + chunk("data", samples)), true},
        {"32-bit float samples", waveOf(chunk("fmt ", fmtBody(1, 44100, 32, kWaveFloat)) + chunk("data", samples)),
         true},
        {"64-bit float samples", waveOf(chunk("fmt ", fmtBody(1, 44100, 64, kWaveFloat)) + chunk("data", samples)),
         false, unplayable},
        // The size field promises 16 bytes; the file ends one short of them.
        {"a format chunk cut short at the end",
         waveOf(chunk("data", samples) + chunk("fmt ", fmtBody(1, 8000, 16)).left(8 + 15)), false, broken},
        {"zero channels", waveOf(chunk("fmt ", fmtBody(0, 44100, 16)) + chunk("data", samples)), false, broken},
        {"12-bit samples", waveOf(chunk("fmt ", fmtBody(1, 44100, 12)) + chunk("data", samples)), false, broken},
        {"a sample rate of 1", waveOf(chunk("fmt ", fmtBody(1, 1, 16)) + chunk("data", samples)), false, unplayable},
        {"the lowest rate a device takes", waveOf(chunk("fmt ", fmtBody(1, 1000, 16)) + chunk("data", samples)), true},
        {"just below it", waveOf(chunk("fmt ", fmtBody(1, 999, 16)) + chunk("data", samples)), false, unplayable},
        {"the highest rate", waveOf(chunk("fmt ", fmtBody(1, 384000, 16)) + chunk("data", samples)), true},
        {"just above it", waveOf(chunk("fmt ", fmtBody(1, 384001, 16)) + chunk("data", samples)), false, unplayable},
        {"eight channels, the most", waveOf(chunk("fmt ", fmtBody(8, 44100, 16)) + chunk("data", samples)), true},
        {"nine", waveOf(chunk("fmt ", fmtBody(9, 44100, 16)) + chunk("data", samples)), false, unplayable},
        {"the format chunk last", waveOf(chunk("data", samples) + chunk("fmt ", fmtBody(1, 8000, 16))), true},
        {"no data chunk", waveOf(chunk("fmt ", fmtBody(1, 44100, 16))), false, broken},
        {"the header alone", waveOf(QByteArray()), false, broken},  // a WAVE file, with nothing in it
        {"a text file", QByteArray("hello, I am not a sound\n"), false, notWave},
        {"empty", QByteArray(), false, notWave},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(waveFault(c.image).empty(), c.plays) << waveFault(c.image);
        EXPECT_NE(waveFault(c.image).find(c.fault), std::string::npos) << waveFault(c.image);

        Folder f;
        for (const char* name : kSoundFileNames) {
            QFile out(f.dir.filePath(name));
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
            out.write(name == std::string("Huseikai.wav") ? c.image : zeroSize);
        }
        SoundBuffers buffers;
        std::vector<std::string> reported;
        loadSounds(buffers, 50, f.dir.path().toStdString(),
                   [&](const std::string& path, const std::string& reason) {
                       reported.push_back(path);
                       EXPECT_FALSE(reason.empty());
                   });
        if (c.plays) {
            EXPECT_TRUE(reported.empty());
            EXPECT_EQ(buffers[1].size(), c.image.size());
        } else {
            ASSERT_EQ(reported.size(), 1u);
            EXPECT_EQ(reported[0], f.path("Huseikai.wav"));
            EXPECT_TRUE(buffers[1].isEmpty());
        }
        EXPECT_FALSE(buffers[0].isEmpty());
        EXPECT_FALSE(buffers[2].isEmpty());
    }
}
