// Every phrase the voice speaks, read back through the synthesiser's own
// analysis: the phonemes it reports must be the kana the phrase came from,
// so that a misread は (as wa) or a wrong accent phrase fails here and not in
// a child's ear.
#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>

#include <cctype>
#include <map>
#include <string>

#include "main/core/SpokenReadings.h"
#include "main/core/StudyState.h"

namespace {

// The sounds of the kana the 九九 uses, as Open JTalk names them.
const std::map<std::string, std::string> kPhonemes = {
    {"い", "i"},   {"う", "u"},    {"ん", "N"},    {"か", "k a"}, {"く", "k u"}, {"が", "g a"}, {"ご", "g o"},
    {"さ", "s a"}, {"し", "sh i"}, {"ざ", "z a"},  {"じ", "j i"}, {"じゅ", "j u"}, {"ち", "ch i"},
    {"に", "n i"}, {"は", "h a"},  {"ぱ", "p a"},  {"ぶ", "b u"}, {"ろ", "r o"},  {"っ", "cl"},
    {" ", "pau"},
};

// What a child hears in the kana: "しちは" -> "sh i ch i h a".
std::string phonemesOfKana(const std::string& kana) {
    std::string out;
    for (size_t i = 0; i < kana.size();) {
        size_t len = kana[i] == ' ' ? 1 : 3;
        if (kana.compare(i + len, 3, "ゅ") == 0) len += 3;  // a small ゅ joins the kana before it
        const auto it = kPhonemes.find(kana.substr(i, len));
        out += (out.empty() ? "" : " ") + (it == kPhonemes.end() ? "<" + kana.substr(i, len) + ">" : it->second);
        i += len;
    }
    return out;
}

// What the synthesiser says it speaks, silences and voicelessness aside.
std::string phonemesSpoken(const std::string& trace) {
    std::string out;
    for (const Phone& p : parseTrace(trace)) {
        if (p.name == "sil") continue;
        std::string name = p.name;
        if (name.size() == 1 && name != "N") name[0] = char(std::tolower(static_cast<unsigned char>(name[0])));
        out += (out.empty() ? "" : " ") + name;
    }
    return out;
}

}  // namespace

TEST(SpokenPhrases, EveryPhraseIsSpokenAsItsKana) {
    const QString jtalk = qEnvironmentVariable("TATEYOKO_OPEN_JTALK");
    const QString dictionary = qEnvironmentVariable("TATEYOKO_JTALK_DICTIONARY");
    const QString voice = qEnvironmentVariable("TATEYOKO_VOICE");
    if (jtalk.isEmpty() || dictionary.isEmpty() || voice.isEmpty()) {
        if (qEnvironmentVariableIsSet("CI")) FAIL() << "open_jtalk, its dictionary or the voice is missing in CI";
        GTEST_SKIP() << "no open_jtalk, dictionary or voice here (tools/fetch_voice.sh build/voice)";
    }
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // One row per phrase: its kana against what the synthesiser made of it.
    int rows = 0;
    std::string wrong;
    for (Spoken kind : {Spoken::Chant, Spoken::Question}) {
        for (int q = 0; q < kFactCount; ++q) {
            const std::string text = synthesisText(kind, q);
            QProcess jt;
            jt.start(jtalk, {"-x", dictionary, "-m", voice, "-ow", "/dev/null", "-ot", dir.filePath("t")});
            ASSERT_TRUE(jt.waitForStarted(5000)) << "open_jtalk does not start";
            jt.write(QByteArray::fromStdString(text + "\n"));
            jt.closeWriteChannel();
            ASSERT_TRUE(jt.waitForFinished(20000)) << text;
            QFile trace(dir.filePath("t"));
            ASSERT_TRUE(trace.open(QIODevice::ReadOnly)) << text;
            const std::string expected = phonemesOfKana(spokenKana(kind, q));
            const std::string spoken = phonemesSpoken(trace.readAll().toStdString());
            ++rows;
            if (spoken != expected)
                wrong += spokenFileName(kind, q) + " " + text + ": heard [" + spoken + "], kana [" + expected + "]\n";
        }
    }
    EXPECT_EQ(rows, 2 * kFactCount);
    EXPECT_EQ(wrong, "") << "phrases the voice does not speak as written";
}
