#include <gtest/gtest.h>

#include <QByteArray>

#include <cstdint>
#include <cstring>
#include <vector>

#include "support/core/WaveImage.h"

namespace {

void put16(QByteArray& b, qsizetype at, std::uint16_t v) {
    b[at] = char(v & 0xFF);
    b[at + 1] = char(v >> 8);
}
void put32(QByteArray& b, qsizetype at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = char((v >> (8 * i)) & 0xFF);
}

// A canonical 16-bit PCM file: 44-byte header, then the samples.
QByteArray canonical(const std::vector<std::int16_t>& samples, int channels = 1) {
    const auto bytes = std::uint32_t(samples.size() * 2);
    QByteArray b(44 + qsizetype(bytes), '\0');
    std::memcpy(b.data(), "RIFF\0\0\0\0WAVEfmt ", 16);
    put32(b, 4, 36 + bytes);
    put32(b, 16, 16);
    put16(b, 20, 1);
    put16(b, 22, std::uint16_t(channels));
    put32(b, 24, 22050);
    put16(b, 34, 16);
    std::memcpy(b.data() + 36, "data", 4);
    put32(b, 40, bytes);
    for (size_t i = 0; i < samples.size(); ++i) put16(b, 44 + qsizetype(i) * 2, std::uint16_t(samples[i]));
    return b;
}

std::int16_t sampleAt(const QByteArray& b, qsizetype i) {
    const auto* p = reinterpret_cast<const unsigned char*>(b.constData() + 44 + 2 * i);
    return std::int16_t(std::uint16_t(p[0] | p[1] << 8));
}

}  // namespace

struct ScaleCase {
    int volume;  // the settings value; the scale is volume / 3 percent
    std::int16_t in;
    std::int16_t out;
};

class ScaleSamples : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(ScaleSamples, MultipliesTruncatesAndClips) {
    const ScaleCase c = GetParam();
    // Neighbours of another value show a wrong offset or stride.
    QByteArray image = canonical({100, c.in, -100}, 1);
    scaleSamples(image, c.volume / 3);
    EXPECT_EQ(sampleAt(image, 1), c.out) << "volume " << c.volume << ", sample " << c.in;
    EXPECT_EQ(sampleAt(image, 0), 100 * (c.volume / 3) / 100);
    EXPECT_EQ(sampleAt(image, 2), -100 * (c.volume / 3) / 100);
}

INSTANTIATE_TEST_SUITE_P(
    Volumes, ScaleSamples,
    ::testing::Values(ScaleCase{50, 10000, 1600}, ScaleCase{50, -10001, -1600},  // 16 %, toward zero
                      ScaleCase{100, 10000, 3300}, ScaleCase{100, -32768, -10813},  // 33 %, not 100 %
                      ScaleCase{0, 32767, 0}, ScaleCase{0, -32768, 0},
                      ScaleCase{600, 16383, 32766}, ScaleCase{600, 16384, 32767},  // 200 % clips
                      ScaleCase{600, -16384, -32768}, ScaleCase{600, -16385, -32768},
                      ScaleCase{300, -32768, -32768}));

TEST(ScaleSamplesBounds, ShortImagesAreLeftAlone) {
    const QByteArray full = canonical({1000, 1000});
    for (qsizetype n : {0, 1, 40, 43}) {
        QByteArray image = full.left(n);
        const QByteArray before = image;
        scaleSamples(image, 16);
        EXPECT_EQ(image, before) << n << " bytes";
    }
}

// The size field promises more than was loaded: only what is there changes
// and nothing past the end is touched (checked under the address sanitizer).
TEST(ScaleSamplesBounds, SizeFieldLargerThanTheFileScalesOnlyWhatIsThere) {
    for (std::uint32_t declared : {8u, 1000u, 0xFFFFFFFFu}) {
        QByteArray image = canonical({10000, -10000, 20000});
        put32(image, 40, declared);
        image.append(char(0x10));  // half a sample at the end stays as it is
        scaleSamples(image, 16);
        ASSERT_EQ(image.size(), 51);
        EXPECT_EQ(sampleAt(image, 0), 1600);
        EXPECT_EQ(sampleAt(image, 1), -1600);
        EXPECT_EQ(sampleAt(image, 2), 3200);
        EXPECT_EQ(image[50], char(0x10));
    }
    QByteArray image = canonical({10000, 10000});
    put32(image, 40, 2);  // a smaller field is obeyed
    scaleSamples(image, 16);
    EXPECT_EQ(sampleAt(image, 0), 1600);
    EXPECT_EQ(sampleAt(image, 1), 10000);
}

TEST(ScaleSamplesBounds, OtherLayoutsPlayUnscaled) {
    struct Damage {
        const char* what;
        qsizetype at;
        const char* bytes;
        int width;
    };
    const Damage damages[] = {
        {"not RIFF", 0, "RIFX", 4},           {"not WAVE", 8, "AVI ", 4},
        {"another chunk first", 12, "LIST", 4}, {"longer fmt chunk", 16, "\x12\0", 2},
        {"IEEE float", 20, "\x03\0", 2},       {"8-bit", 34, "\x08\0", 2},
        {"data not at 36", 36, "fact", 4},
    };
    for (const Damage& d : damages) {
        QByteArray image = canonical({10000, -10000});
        std::memcpy(image.data() + d.at, d.bytes, size_t(d.width));
        const QByteArray before = image;
        scaleSamples(image, 16);
        EXPECT_EQ(image, before) << d.what;
    }
}

TEST(ParseWave, CanonicalFile) {
    const auto info = parseWave(canonical({1, 2, 3, 4}, 2));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->encoding, kWavePcm);
    EXPECT_EQ(info->channels, 2);
    EXPECT_EQ(info->sampleRate, 22050);
    EXPECT_EQ(info->bitsPerSample, 16);
    EXPECT_EQ(info->dataOffset, 44);
    EXPECT_EQ(info->dataSize, 8);
}

// An odd-sized chunk with its pad byte and an 18-byte fmt chunk: the samples
// are still found, so such a file plays (unscaled).
TEST(ParseWave, WalksChunksOfOtherLayouts) {
    QByteArray fmt(18, '\0');
    put16(fmt, 0, 1);
    put16(fmt, 2, 1);
    put32(fmt, 4, 8000);
    put16(fmt, 14, 16);
    const QByteArray image = QByteArray("RIFF\0\0\0\0WAVE", 12) + QByteArray("LIST\x03\0\0\0abc\0", 12) +
                             QByteArray("fmt \x12\0\0\0", 8) + fmt + QByteArray("data\x06\0\0\0", 8) +
                             QByteArray(6, '\x10');
    const auto info = parseWave(image);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->sampleRate, 8000);
    EXPECT_EQ(info->dataOffset, 12 + 12 + 26 + 8);
    EXPECT_EQ(info->dataSize, 6);
    EXPECT_FALSE(isCanonicalPcm16(image));
}

TEST(ParseWave, ExtensibleHeaderNamesItsEncoding) {
    QByteArray fmt(40, '\0');
    put16(fmt, 0, 0xFFFE);
    put16(fmt, 2, 2);
    put32(fmt, 4, 48000);
    put16(fmt, 14, 32);
    put16(fmt, 24, 3);  // the sub-format GUID begins with the IEEE float tag
    const auto info = parseWave(QByteArray("RIFF\0\0\0\0WAVEfmt \x28\0\0\0", 20) + fmt +
                                QByteArray("data\x10\0\0\0", 8) + QByteArray(16, '\0'));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->encoding, kWaveFloat);
    EXPECT_EQ(info->dataSize, 16);
}

TEST(ParseWave, DataIsCutToTheFileAndToWholeFrames) {
    QByteArray image = canonical({1, 2, 3, 4}, 2);
    put32(image, 40, 100000);
    image.chop(2);
    ASSERT_TRUE(parseWave(image));
    EXPECT_EQ(parseWave(image)->dataSize, 4);
}

TEST(ParseWave, RejectsWhatIsNoWaveFile) {
    const QByteArray good = canonical({1, 2});
    QByteArray noData = good;
    std::memcpy(noData.data() + 36, "junk", 4);
    QByteArray noChannels = good;
    put16(noChannels, 22, 0);
    for (const QByteArray& bad : {QByteArray(), good.left(20), good.left(12), QByteArray("RIFX") + good.mid(4), noData,
                                  noChannels})
        EXPECT_FALSE(parseWave(bad)) << bad.size() << " bytes";
}
