// The font configuration's rules as the program reads them: followed through
// their includes in fontconfig's order, less the rules that only name
// families, and left to fontconfig whenever they cannot be followed so.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/FontRules.h"
#include "support/FontSet.h"
#include "support/Fonts.h"

namespace {

using Config = std::unique_ptr<FcConfig, decltype(&FcConfigDestroy)>;
using Pattern = std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)>;

// Sets an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value) : name_(name), before_(qgetenv(name)) { qputenv(name, value); }
    ~ScopedEnv() {
        if (before_.isNull())
            qunsetenv(name_);
        else
            qputenv(name_, before_);
    }

private:
    const char* name_;
    QByteArray before_;
};

class FontRulesTest : public ::testing::Test {
protected:
    // Writes a configuration file of these elements under the scratch folder.
    std::string write(const QString& relative, const std::string& elements) {
        const QString path = dir.filePath(relative);
        QDir().mkpath(QFileInfo(path).path());
        std::ofstream(path.toStdString()) << "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM "
                                              "\"urn:fontconfig:fonts.dtd\">\n<fontconfig>\n"
                                           << elements << "\n</fontconfig>\n";
        return path.toStdString();
    }
    std::string path(const QString& relative) { return dir.filePath(relative).toStdString(); }

    std::optional<std::vector<std::string>> rules(const std::string& mainFile) {
        return drawingRules(resolver.get(), mainFile);
    }

    QTemporaryDir dir;
    Config resolver{FcConfigCreate(), FcConfigDestroy};
};

Config loaded(const std::vector<std::string>& documents) {
    Config config(FcConfigCreate(), FcConfigDestroy);
    for (const std::string& document : documents)
        EXPECT_TRUE(FcConfigParseAndLoadFromMemory(config.get(), reinterpret_cast<const FcChar8*>(document.c_str()), FcTrue))
            << document;
    return config;
}

// A request for `family` as the toolkit makes it, after the rules.
Pattern substituted(FcConfig* config, const char* family, FcMatchKind kind = FcMatchPattern) {
    Pattern request(FcPatternCreate(), FcPatternDestroy);
    FcPatternAddString(request.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcPatternAddDouble(request.get(), FC_PIXEL_SIZE, 13);
    FcConfigSubstitute(config, request.get(), kind);
    return request;
}

double dpiOf(const Pattern& pattern) {
    double dpi = 0;
    FcPatternGetDouble(pattern.get(), FC_DPI, 0, &dpi);
    return dpi;
}

std::vector<std::string> familiesOf(const Pattern& pattern) {
    std::vector<std::string> names;
    FcChar8* family = nullptr;
    for (int n = 0; FcPatternGetString(pattern.get(), FC_FAMILY, n, &family) == FcResultMatch; ++n)
        names.emplace_back(reinterpret_cast<const char*>(family));
    return names;
}

// A rule that moves the dpi from one value on to the next: it acts only in
// its turn.
std::string step(int from, int to) {
    return "<match><test name=\"dpi\"><double>" + std::to_string(from) + "</double></test>"
           "<edit name=\"dpi\" mode=\"assign\"><double>" + std::to_string(to) + "</double></edit></match>";
}

}  // namespace

TEST_F(FontRulesTest, IncludesAreFollowedWhereTheyStandAndFoldersInFontconfigsOrder) {
    const ScopedEnv path("FONTCONFIG_PATH", QByteArray::fromStdString(this->path(".")));
    // Created out of order; read in byte order, so 9- comes after 50-.
    write("conf.d/99-last.conf", step(6, 7));
    write("conf.d/15-third.conf", step(3, 4));
    write("conf.d/9-fifth.conf", step(5, 6));
    write("conf.d/00-first.conf", step(1, 2));
    write("conf.d/50-fourth.conf", step(4, 5));
    write("conf.d/10-second.conf", step(2, 3));
    write("conf.d/x-not-numbered.conf", step(7, 99));
    write("conf.d/30-put-aside.conf.bak", step(7, 98));
    write("conf.d/README", "");
    write("conf.d/40-empty.conf", "");
    // A link to a file since removed is passed over where missing files may be.
    QFile::link(dir.filePath("removed.conf"), dir.filePath("conf.d/50-removed.conf"));
    const std::string main = write("fonts.conf", "<match><edit name=\"dpi\" mode=\"assign\"><double>1</double></edit></match>"
                                                 "<include ignore_missing=\"yes\">conf.d</include>"
                                                 "<include ignore_missing=\"yes\">no-such.conf</include>" +
                                                     step(7, 8));
    const auto documents = rules(main);
    ASSERT_TRUE(documents);
    // The main file's own rules around the folder, the folder's six files.
    EXPECT_EQ(documents->size(), 8u);
    EXPECT_EQ(dpiOf(substituted(loaded(*documents).get(), "Any")), 8);
}

TEST_F(FontRulesTest, AFileNamedTwiceIsReadOnceAndNoFileIncludesItself) {
    const std::string once = write("once.conf", "<match><edit name=\"dpi\" mode=\"assign\">"
                                                "<plus><name>dpi</name><double>1</double></plus></edit></match>");
    const std::string self = path("fonts.conf");
    write("fonts.conf", "<match><edit name=\"dpi\" mode=\"assign\"><double>1</double></edit></match>"
                        "<include>" + once + "</include><include>" + once + "</include>"
                        "<include>" + self + "</include>");
    const auto documents = rules(self);
    ASSERT_TRUE(documents);
    EXPECT_EQ(dpiOf(substituted(loaded(*documents).get(), "Any")), 2);
    // fontconfig reads it so too.
    Config whole(FcConfigCreate(), FcConfigDestroy);
    ASSERT_TRUE(FcConfigParseAndLoad(whole.get(), reinterpret_cast<const FcChar8*>(self.c_str()), FcTrue));
    EXPECT_EQ(dpiOf(substituted(whole.get(), "Any")), 2);
}

TEST_F(FontRulesTest, RulesThatOnlyNameFamiliesAreLeftOut) {
    const std::string main = write(
        "fonts.conf",
        "<dir>/usr/share/fonts</dir><cachedir>" + path("cache") + "</cachedir>"
        "<description>words for people</description>"
        "<alias><family>Asked</family><prefer><family>Preferred</family></prefer></alias>"
        "<match target=\"pattern\"><test name=\"family\"><string>Asked</string></test>"
        "  <edit name=\"family\" mode=\"append\"><string>Appended</string></edit></match>"
        // A rule that also sets how text is drawn stays whole.
        "<match><test name=\"family\"><string>Asked</string></test>"
        "  <edit name=\"family\" mode=\"append\"><string>Kept</string></edit>"
        "  <edit name=\"hintstyle\" mode=\"assign\"><const>hintfull</const></edit></match>"
        // So does one on the font found, and one with no edit at all.
        "<match target=\"font\"><edit name=\"family\" mode=\"append\"><string>OnTheFont</string></edit></match>"
        "<match><test name=\"family\"><string>Asked</string></test></match>"
        "<selectfont><rejectfont><glob>*.pcf.gz</glob></rejectfont></selectfont>");
    const auto documents = rules(main);
    ASSERT_TRUE(documents);
    Config ours = loaded(*documents);
    const Pattern request = substituted(ours.get(), "Asked");
    EXPECT_EQ(familiesOf(request), (std::vector<std::string>{"Asked", "Kept"}));
    int hintstyle = -1;
    FcPatternGetInteger(request.get(), FC_HINT_STYLE, 0, &hintstyle);
    EXPECT_EQ(hintstyle, FC_HINT_FULL);
    EXPECT_EQ(familiesOf(substituted(ours.get(), "Asked", FcMatchFont)).back(), "OnTheFont");
    // The folders stay.
    FcStrList* caches = FcConfigGetCacheDirs(ours.get());
    FcChar8* cache = FcStrListNext(caches);
    EXPECT_EQ(cache ? std::string(reinterpret_cast<const char*>(cache)) : "", path("cache"));
    FcStrListDone(caches);
    // Read whole, the same file puts the other names behind the request.
    Config whole(FcConfigCreate(), FcConfigDestroy);
    ASSERT_TRUE(FcConfigParseAndLoad(whole.get(), reinterpret_cast<const FcChar8*>(main.c_str()), FcTrue));
    const std::vector<std::string> all = familiesOf(substituted(whole.get(), "Asked"));
    EXPECT_NE(std::find(all.begin(), all.end(), "Preferred"), all.end());
    EXPECT_NE(std::find(all.begin(), all.end(), "Appended"), all.end());
}

TEST_F(FontRulesTest, TheUsersFilesAreFoundUnderTheirConfigurationFolder) {
    const ScopedEnv xdg("XDG_CONFIG_HOME", QByteArray::fromStdString(path("home-config")));
    write("home-config/fontconfig/fonts.conf", step(1, 7));
    const std::string main = write("fonts.conf", "<match><edit name=\"dpi\" mode=\"assign\"><double>1</double></edit></match>"
                                                 "<include ignore_missing=\"yes\" prefix=\"xdg\">fontconfig/fonts.conf</include>");
    const auto documents = rules(main);
    ASSERT_TRUE(documents);
    EXPECT_EQ(dpiOf(substituted(loaded(*documents).get(), "Any")), 7);
}

TEST_F(FontRulesTest, WhatCannotBeFollowedIsLeftToFontconfig) {
    write("conf.d/10-fine.conf", step(1, 2));
    QFile::link(dir.filePath("removed.conf"), dir.filePath("conf.d/50-removed.conf"));
    std::ofstream(path("broken.conf")) << "<fontconfig><match></fontconfig>";
    std::ofstream(path("other.conf")) << "<?xml version=\"1.0\"?><html></html>";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"a missing include it may not skip", write("missing.conf", "<include>" + path("no-such.conf") + "</include>")},
        {"a removed file in a folder it may not skip", write("folder.conf", "<include>" + path("conf.d") + "</include>")},
        {"a folder relative to the file", write("relative.conf", "<dir prefix=\"relative\">fonts</dir>")},
        {"a file that is not a configuration", path("other.conf")},
        {"a broken file", path("broken.conf")},
        {"no file at all", path("absent.conf")},
    };
    for (const auto& [what, file] : cases) EXPECT_FALSE(rules(file)) << what;
    // Where fontconfig may skip a missing file, so may the program.
    for (const char* yes : {"yes", "true", "1", "on"})
        EXPECT_TRUE(rules(write("skip.conf", std::string("<include ignore_missing=\"") + yes + "\">" +
                                                 path("no-such.conf") + "</include>")))
            << yes;
}

TEST_F(FontRulesTest, TheProgramsSetFallsBackToTheWholeConfiguration) {
    // The system's files, then a folder named relative to this file: the
    // program then has fontconfig read it all, and still only its own faces.
    const std::string main = write("fonts.conf", "<include>/etc/fonts/fonts.conf</include>"
                                                 "<dir prefix=\"relative\">fonts</dir>"
                                                 "<match target=\"font\"><edit name=\"hintstyle\" mode=\"assign\">"
                                                 "<const>hintfull</const></edit></match>");
    const ScopedEnv file("FONTCONFIG_FILE", QByteArray::fromStdString(main));
    Config own(ownFontSet(familiesDrawnIn(), japaneseFamilies()), FcConfigDestroy);
    ASSERT_TRUE(own);
    FcPattern* request = FcPatternCreate();
    FcPatternAddString(request, FC_FAMILY, reinterpret_cast<const FcChar8*>("Noto Sans CJK JP"));
    FcConfigSubstitute(own.get(), request, FcMatchPattern);
    FcDefaultSubstitute(request);
    FcResult result;
    Pattern match(FcFontMatch(own.get(), request, &result), FcPatternDestroy);
    FcPatternDestroy(request);
    ASSERT_TRUE(match);
    int hintstyle = -1;
    FcPatternGetInteger(match.get(), FC_HINT_STYLE, 0, &hintstyle);
    EXPECT_EQ(hintstyle, FC_HINT_FULL);
    // Read whole, the aliases are back.
    EXPECT_GT(familiesOf(substituted(own.get(), "Noto Sans CJK JP")).size(), 1u);
}

TEST_F(FontRulesTest, AConfigurationWithoutACacheFolderIsReadWhole) {
    // fontconfig gives such a configuration a cache folder of its own;
    // without one each start would read every font file.
    const std::string main = write("fonts.conf", "<dir>/usr/share/fonts/opentype/noto</dir><include>/etc/fonts/conf.d</include>");
    const ScopedEnv file("FONTCONFIG_FILE", QByteArray::fromStdString(main));
    Config own(ownFontSet(familiesDrawnIn(), japaneseFamilies()), FcConfigDestroy);
    ASSERT_TRUE(own);
    FcStrList* caches = FcConfigGetCacheDirs(own.get());
    EXPECT_NE(FcStrListNext(caches), nullptr);
    FcStrListDone(caches);
}

TEST(FontRules, TheSystemsRulesNameNoFamilyBehindTheProgramsOwn) {
    Config resolver(FcConfigCreate(), FcConfigDestroy);
    const auto documents = drawingRules(resolver.get());
    ASSERT_TRUE(documents);
    Config ours = loaded(*documents);
    EXPECT_EQ(familiesOf(substituted(ours.get(), "Noto Sans CJK JP")),
              std::vector<std::string>{"Noto Sans CJK JP"});
    Config whole(FcInitLoadConfig(), FcConfigDestroy);
    EXPECT_GT(familiesOf(substituted(whole.get(), "Noto Sans CJK JP")).size(), 10u);
}
