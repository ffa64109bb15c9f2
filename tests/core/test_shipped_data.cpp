// Checks on the data files that ship beside the program: the hints file and the
// three sounds. These are hand-made files, so a slip in them (a line too long,
// a hint on the wrong fact, a sound too quiet) would not be caught elsewhere.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <QStringDecoder>
#include <QtEndian>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

QString dataPath(const char* name) {
    return qEnvironmentVariable("TATEYOKO_SOURCE_DIR") + "/data/" + QString::fromLatin1(name);
}

QByteArray readAll(const char* name) {
    QFile f(dataPath(name));
    if (!f.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot open " << f.fileName().toStdString();
        return {};
    }
    return f.readAll();
}

QString fromCp932(const QByteArray& bytes, bool* ok) {
    QStringDecoder dec("CP932");
    const QString text = dec.decode(bytes);
    *ok = !dec.hasError();
    return text;
}

// Full-width digits count as digits too: a hint may write its product either way.
QString asciiDigits(QString s) {
    for (QChar& c : s)
        if (c.unicode() >= 0xFF10 && c.unicode() <= 0xFF19) c = QChar(u'0' + (c.unicode() - 0xFF10));
    return s;
}

// The file split at CRLF; the final CRLF does not open another line.
QList<QByteArray> crlfLines(const QByteArray& file) {
    QList<QByteArray> lines = file.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    for (QByteArray& l : lines)
        if (l.endsWith('\r')) l.chop(1);
    return lines;
}

class ShippedDataHints : public ::testing::Test {
protected:
    void SetUp() override {
        file = readAll("kuku_goro.csv");
        ASSERT_FALSE(file.isEmpty());
        lines = crlfLines(file);
    }
    QByteArray file;
    QList<QByteArray> lines;
};

TEST_F(ShippedDataHints, IsCp932WithCrlfLineEnds) {
    bool ok = false;
    fromCp932(file, &ok);
    EXPECT_TRUE(ok) << "not valid CP932";
    ASSERT_TRUE(file.endsWith("\r\n"));
    for (qsizetype i = 0; i < file.size(); ++i) {
        if (file[i] == '\n') {
            EXPECT_TRUE(i > 0 && file[i - 1] == '\r') << "bare LF at byte " << i;
        }
        if (file[i] == '\r') {
            EXPECT_TRUE(i + 1 < file.size() && file[i + 1] == '\n') << "bare CR at byte " << i;
        }
    }
}

// The reader fills slot 0 with the heading and slots 1-81 with the facts, one
// line each, taking at most 52 bytes at a time (line break included). A longer
// line, an empty line or a line the reader skips would put later hints on the
// wrong facts.
TEST_F(ShippedDataHints, HeadingThen81LinesEachReadAsOneEntry) {
    ASSERT_EQ(lines.size(), 82);
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray& l = lines[i];
        SCOPED_TRACE("line " + std::to_string(i));
        EXPECT_FALSE(l.isEmpty());
        EXPECT_LE(l.size(), 51);
        if (l.isEmpty()) continue;
        EXPECT_NE(l[0], ',');
        EXPECT_NE(l[0], '/');
        EXPECT_NE(l[0], '*');
        EXPECT_TRUE(l.contains(',')) << "no first column";
    }
}

TEST_F(ShippedDataHints, EachLineNamesItsFactAndItsProduct) {
    ASSERT_EQ(lines.size(), 82);
    static const QRegularExpression digitRun("[0-9]+");
    for (int q = 0; q < 81; ++q) {
        const int a = q / 9 + 1, b = q % 9 + 1;
        bool ok = false;
        const QString line = fromCp932(lines[q + 1], &ok);
        SCOPED_TRACE(QString("%1×%2: %3").arg(a).arg(b).arg(line).toStdString());
        ASSERT_TRUE(ok);
        const qsizetype comma = line.indexOf(',');
        ASSERT_GT(comma, 0);
        EXPECT_EQ(asciiDigits(line.left(comma)), QString("%1×%2").arg(a).arg(b));

        // The product and no other number: a hint that also showed the number of
        // a neighbouring fact would teach the wrong answer.
        const QString hint = asciiDigits(line.mid(comma + 1));
        QStringList numbers;
        for (auto it = digitRun.globalMatch(hint); it.hasNext();) numbers << it.next().captured();
        EXPECT_EQ(numbers, QStringList{QString::number(a * b)});
        // A further comma would be shown as part of the hint.
        EXPECT_FALSE(hint.contains(',')) << "second comma";
    }
}

TEST_F(ShippedDataHints, EveryHintIsDifferent) {
    ASSERT_EQ(lines.size(), 82);
    QSet<QByteArray> seen;
    for (int i = 1; i < lines.size(); ++i) {
        const QByteArray hint = lines[i].mid(lines[i].indexOf(',') + 1).trimmed();
        EXPECT_FALSE(seen.contains(hint)) << "repeated hint on line " << i;
        seen.insert(hint);
    }
}

// ---- sounds ------------------------------------------------------------------

struct Wave {
    QByteArray bytes;
    quint32 u32(int at) const { return qFromLittleEndian<quint32>(bytes.constData() + at); }
    quint16 u16(int at) const { return qFromLittleEndian<quint16>(bytes.constData() + at); }
    qint16 sample(qsizetype i) const { return qFromLittleEndian<qint16>(bytes.constData() + 44 + 2 * i); }
    qsizetype samples() const { return (bytes.size() - 44) / 2; }
};

class ShippedDataSounds : public ::testing::TestWithParam<const char*> {};

TEST_P(ShippedDataSounds, HasThePlainHeaderThePlayerScales) {
    const Wave w{readAll(GetParam())};
    ASSERT_GE(w.bytes.size(), 44);
    EXPECT_EQ(w.bytes.left(4), "RIFF");
    EXPECT_EQ(w.u32(4), quint32(w.bytes.size() - 8));
    EXPECT_EQ(w.bytes.mid(8, 4), "WAVE");
    EXPECT_EQ(w.bytes.mid(12, 4), "fmt ");
    EXPECT_EQ(w.u32(16), 16u);
    EXPECT_EQ(w.u16(20), 1) << "not plain PCM";
    EXPECT_EQ(w.u16(22), 1) << "not mono";
    const quint32 rate = w.u32(24);
    EXPECT_TRUE(rate == 22050 || rate == 44100) << rate;
    EXPECT_EQ(w.u32(28), rate * 2) << "byte rate";
    EXPECT_EQ(w.u16(32), 2) << "block align";
    EXPECT_EQ(w.u16(34), 16) << "bits per sample";
    EXPECT_EQ(w.bytes.mid(36, 4), "data");
    EXPECT_EQ(w.u32(40), quint32(w.bytes.size() - 44)) << "data size must cover the rest of the file";
}

TEST_P(ShippedDataSounds, IsShortAndLoudEnoughForTheDefaultGain) {
    const Wave w{readAll(GetParam())};
    ASSERT_GE(w.bytes.size(), 44);
    const double seconds = double(w.samples()) / w.u32(24);
    EXPECT_LT(seconds, 1.0);
    EXPECT_GT(seconds, 0.1) << "too short to hear";

    int peak = 0;
    for (qsizetype i = 0; i < w.samples(); ++i) peak = std::max(peak, std::abs(int(w.sample(i))));
    // Played at 16 % by default: a quiet recording would vanish.
    EXPECT_GE(peak, int(0.8 * 32767));
}

// A sound that begins or stops at full swing clicks; the first and last
// millisecond have to be nearly silent.
TEST_P(ShippedDataSounds, StartsAndEndsWithoutAClick) {
    const Wave w{readAll(GetParam())};
    ASSERT_GT(w.samples(), 200);
    const qsizetype edge = w.u32(24) / 1000;
    const int quiet = 32767 / 20;
    for (qsizetype i = 0; i < edge; ++i) {
        EXPECT_LT(std::abs(int(w.sample(i))), quiet) << "start, sample " << i;
        EXPECT_LT(std::abs(int(w.sample(w.samples() - 1 - i))), quiet) << "end, sample " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(, ShippedDataSounds, ::testing::Values("Seikai.wav", "Huseikai.wav", "promptA.wav"),
                         [](const auto& info) {
                             QString n = QString::fromLatin1(info.param);
                             return n.left(n.indexOf('.')).toStdString();
                         });

}  // namespace
