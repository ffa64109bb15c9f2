// The font set the program reads at start: only the families it draws in,
// under the system's and the user's own rules.
#include <QByteArray>
#include <QProcess>
#include <QDir>
#include <QTemporaryDir>
#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "support/FontSet.h"
#include "support/Fonts.h"

namespace {

using Config = std::unique_ptr<FcConfig, decltype(&FcConfigDestroy)>;

Config own() { return Config(ownFontSet(familiesDrawnIn(), japaneseFamilies()), FcConfigDestroy); }
Config full() { return Config(FcInitLoadConfigAndFonts(), FcConfigDestroy); }

std::set<std::string> familiesOf(const FcPattern* font) {
    std::set<std::string> names;
    FcChar8* family = nullptr;
    for (int n = 0; FcPatternGetString(font, FC_FAMILY, n, &family) == FcResultMatch; ++n)
        names.insert(reinterpret_cast<const char*>(family));
    return names;
}

bool drawnIn(const FcPattern* font) {
    const std::vector<std::string> wanted = familiesDrawnIn();
    const std::set<std::string> names = familiesOf(font);
    return std::any_of(wanted.begin(), wanted.end(), [&](const std::string& w) { return names.count(w) > 0; });
}

// The files of the faces of `family` in the configuration's set.
std::set<std::string> filesOf(FcConfig* config, const std::string& family) {
    std::set<std::string> files;
    const FcFontSet* set = FcConfigGetFonts(config, FcSetSystem);
    for (int i = 0; set && i < set->nfont; ++i) {
        FcChar8* file = nullptr;
        if (familiesOf(set->fonts[i]).count(family) && FcPatternGetString(set->fonts[i], FC_FILE, 0, &file) == FcResultMatch)
            files.insert(reinterpret_cast<const char*>(file));
    }
    return files;
}

// What the toolkit asks fontconfig for each font engine it makes: the face's
// file at a pixel size, and from the match the settings it draws with.
std::string drawingSettings(FcConfig* config, const std::string& family, const std::string& file, double px) {
    FcPattern* request = FcPatternCreate();
    FcPatternAddString(request, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddString(request, FC_FILE, reinterpret_cast<const FcChar8*>(file.c_str()));
    FcPatternAddDouble(request, FC_PIXEL_SIZE, px);
    FcConfigSubstitute(config, request, FcMatchPattern);
    FcDefaultSubstitute(request);
    FcResult result;
    FcPattern* match = FcFontMatch(config, request, &result);
    FcPatternDestroy(request);
    if (!match) return "no match";
    FcChar8* text = FcPatternFormat(match, reinterpret_cast<const FcChar8*>(
                                               "file=%{file} antialias=%{antialias} hinting=%{hinting} "
                                               "hintstyle=%{hintstyle} autohint=%{autohint} rgba=%{rgba} "
                                               "lcdfilter=%{lcdfilter} embeddedbitmap=%{embeddedbitmap} "
                                               "embolden=%{embolden}"));
    std::string settings = text ? reinterpret_cast<const char*>(text) : "unformatted";
    FcStrFree(text);
    FcPatternDestroy(match);
    return settings;
}

}  // namespace

TEST(FontSet, HoldsTheFamiliesDrawnInAndNothingElse) {
    Config cut = own();
    ASSERT_TRUE(cut);
    const FcFontSet* set = FcConfigGetFonts(cut.get(), FcSetSystem);
    ASSERT_NE(set, nullptr);
    for (int i = 0; i < set->nfont; ++i) EXPECT_TRUE(drawnIn(set->fonts[i])) << *familiesOf(set->fonts[i]).begin();
    // Each face the windows use is there, the Japanese font in both weights.
    EXPECT_GE(filesOf(cut.get(), "Noto Sans CJK JP").size(), 2u);
    for (const char* family : {"IPAMincho", "KouzanBrushFontGyousyo", "AoyagiKouzanFontT", "RocknRoll One"})
        EXPECT_FALSE(filesOf(cut.get(), family).empty()) << family;
    Config all = full();
    EXPECT_LT(set->nfont, FcConfigGetFonts(all.get(), FcSetSystem)->nfont);
}

TEST(FontSet, TextIsDrawnWithTheSystemsSettings) {
    Config cut = own();
    Config all = full();
    ASSERT_TRUE(cut);
    int compared = 0;
    for (const char* family : {"Noto Sans CJK JP", "IPAMincho", "KouzanBrushFontGyousyo", "RocknRoll One"})
        for (const std::string& file : filesOf(cut.get(), family))
            for (double px : {9.0, 13.0, 17.0, 42.0}) {
                const std::string settings = drawingSettings(cut.get(), family, file, px);
                EXPECT_NE(settings.find(file), std::string::npos) << settings;
                EXPECT_EQ(settings, drawingSettings(all.get(), family, file, px)) << family << " " << px;
                ++compared;
            }
    EXPECT_GE(compared, 20);
}

TEST(FontSet, TheUsersOwnRulesStillHold) {
    // A rule on the font found, and one on a family that only the system's
    // aliases put behind the request.
    const std::vector<std::pair<const char*, std::string>> rules = {
        {"on the font", "<match target=\"font\">"},
        {"on an alias family", "<match target=\"pattern\"><test qual=\"any\" name=\"family\"><string>sans-serif</string></test>"},
    };
    for (const auto& [what, match] : rules) {
        QTemporaryDir dir;
        const std::string path = dir.filePath("fonts.conf").toStdString();
        std::ofstream(path) << "<?xml version=\"1.0\"?><!DOCTYPE fontconfig SYSTEM \"urn:fontconfig:fonts.dtd\">"
                               "<fontconfig><include>/etc/fonts/fonts.conf</include>"
                            << match << "<edit name=\"hintstyle\" mode=\"assign\"><const>hintfull</const>"
                               "</edit></match></fontconfig>";
        const QByteArray before = qgetenv("FONTCONFIG_FILE");
        qputenv("FONTCONFIG_FILE", QByteArray::fromStdString(path));
        Config cut = own();
        if (before.isNull())
            qunsetenv("FONTCONFIG_FILE");
        else
            qputenv("FONTCONFIG_FILE", before);
        ASSERT_TRUE(cut) << what;
        const std::string file = *filesOf(cut.get(), "Noto Sans CJK JP").begin();
        EXPECT_NE(drawingSettings(cut.get(), "Noto Sans CJK JP", file, 13).find("hintstyle=3"), std::string::npos)
            << what;
    }
}

TEST(FontSet, OneInstalledFaceOfTheNeededFamiliesIsEnough) {
    // RocknRoll One has a single face: a set of it alone holds one font.
    Config single(ownFontSet({"RocknRoll One"}, {"No Such Family", "RocknRoll One"}), FcConfigDestroy);
    ASSERT_TRUE(single);
    EXPECT_EQ(FcConfigGetFonts(single.get(), FcSetSystem)->nfont, 1);
}

TEST(FontSet, WithoutAnyNeededFamilyTheFullSetStays) {
    EXPECT_EQ(ownFontSet({"Noto Sans CJK JP"}, {"No Such Family"}), nullptr);
    EXPECT_EQ(ownFontSet({"No Such Family"}, {"No Such Family"}), nullptr);
}

TEST(FontSet, TheProgramStartsWithItsOwnSet) {
    // The program itself, to its first frame: fontconfig says which fonts
    // each of its matches weighed (FC_DEBUG=2), and they are its own.
    const QString appDir = qEnvironmentVariable("TATEYOKO_APP_DIR");
    ASSERT_FALSE(appDir.isEmpty()) << "TATEYOKO_APP_DIR is not set";
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("FC_DEBUG", "2");
    env.insert("TATEYOKO_QUIT_AFTER_FIRST_FRAME", "1");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(QDir::tempPath());
    program.start(appDir + "/tateyokom", {});
    ASSERT_TRUE(program.waitForFinished(60000));
    const QStringList lines = QString::fromUtf8(program.readAllStandardOutput()).split('\n');
    const std::vector<std::string> own = familiesDrawnIn();
    int weighed = 0;
    bool inFont = false;
    for (const QString& line : lines) {
        if (line.startsWith("Font ")) inFont = true;
        if (!inFont || !line.trimmed().startsWith("family:")) continue;
        inFont = false;
        ++weighed;
        const QString first = line.section('"', 1, 1);
        EXPECT_NE(std::find(own.begin(), own.end(), first.toStdString()), own.end()) << first.toStdString();
    }
    EXPECT_GT(weighed, 0) << "fontconfig weighed no fonts";
}
