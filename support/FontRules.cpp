#include "support/FontRules.h"

#include <expat.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

namespace {

// fontconfig's spelling of a yes.
bool yes(const char* value) {
    return value && value[0] && (std::strchr("tTyY1", value[0]) || std::strcmp(value, "on") == 0);
}

const char* attribute(const XML_Char** attributes, const char* name) {
    for (; attributes && *attributes; attributes += 2)
        if (std::strcmp(attributes[0], name) == 0) return attributes[1];
    return nullptr;
}

std::string xdgConfigHome() {
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) return xdg;
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.config";
}

class Walk {
public:
    explicit Walk(FcConfig* resolver) : resolver_(resolver) {}

    // A name as an <include> gives it: a file, or a folder of numbered files.
    // Like fontconfig, each is read once, the first time it is named.
    bool follow(const std::string& name, bool ignoreMissing) {
        FcChar8* found = FcConfigGetFilename(resolver_, reinterpret_cast<const FcChar8*>(name.c_str()));
        if (!found) return ignoreMissing;
        const std::string path = reinterpret_cast<const char*>(found);
        FcStrFree(found);
        std::error_code error;
        const std::filesystem::path real = std::filesystem::canonical(path, error);
        if (error) return ignoreMissing;
        if (!read_.insert(real.string()).second) return true;
        return std::filesystem::is_directory(real, error) ? folder(path, ignoreMissing) : file(path);
    }

    std::vector<std::string> documents;

private:
    // fontconfig reads the files named [0-9]*.conf, in byte order.
    bool folder(const std::string& path, bool ignoreMissing) {
        std::vector<std::string> names;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(path, error)) {
            std::string name = entry.path().filename().string();
            if (name.size() > 5 && name[0] >= '0' && name[0] <= '9' && name.ends_with(".conf"))
                names.push_back(std::move(name));
        }
        if (error) return false;
        std::sort(names.begin(), names.end());
        for (const std::string& name : names)
            if (!follow(path + "/" + name, ignoreMissing)) return false;
        return true;
    }

    bool file(const std::string& path);

    FcConfig* resolver_;
    std::set<std::string> read_;
};

// One file, read element by element under its root: each kept as it is
// written, dropped, or (an include) followed where it stands.
class FileReader {
public:
    explicit FileReader(Walk& walk) : walk_(walk), parser_(XML_ParserCreate(nullptr)) {}
    ~FileReader() { XML_ParserFree(parser_); }

    bool read(const std::string& text) {
        text_ = &text;
        XML_SetUserData(parser_, this);
        XML_SetElementHandler(parser_, onStart, onEnd);
        XML_SetCharacterDataHandler(parser_, onText);
        if (XML_Parse(parser_, text.data(), static_cast<int>(text.size()), XML_TRUE) != XML_STATUS_OK || !ok_)
            return false;
        flush();
        return true;
    }

private:
    void fail() {
        ok_ = false;
        XML_StopParser(parser_, XML_FALSE);
    }
    void flush() {
        if (!kept_.empty()) walk_.documents.push_back("<?xml version=\"1.0\"?>\n<fontconfig>" + kept_ + "</fontconfig>\n");
        kept_.clear();
    }

    void start(const char* name, const XML_Char** attributes) {
        ++level_;
        // A document loaded from memory has no folder of its own.
        if (const char* prefix = attribute(attributes, "prefix"); prefix && std::strcmp(prefix, "relative") == 0)
            return fail();
        if (level_ == 1 && std::strcmp(name, "fontconfig") != 0) return fail();
        if (level_ == 2) {
            element_ = name;
            from_ = XML_GetCurrentByteIndex(parser_);
            const char* target = attribute(attributes, "target");
            patternRule_ = !target || std::strcmp(target, "pattern") == 0;
            edits_ = false;
            familyEditsOnly_ = true;
            ignoreMissing_ = yes(attribute(attributes, "ignore_missing"));
            const char* prefix = attribute(attributes, "prefix");
            xdg_ = prefix && std::strcmp(prefix, "xdg") == 0;
            includeName_.clear();
        } else if (level_ > 2 && element_ == "match" && std::strcmp(name, "edit") == 0) {
            const char* edited = attribute(attributes, "name");
            edits_ = true;
            familyEditsOnly_ = familyEditsOnly_ && edited && std::strcmp(edited, "family") == 0;
        }
    }

    void end() {
        if (level_-- != 2) return;
        const auto to = XML_GetCurrentByteIndex(parser_) + XML_GetCurrentByteCount(parser_);
        if (element_ == "include") {
            flush();  // what stands before the include is read before it
            const std::string name = xdg_ ? xdgConfigHome() + "/" + includeName_ : includeName_;
            if (!walk_.follow(name, ignoreMissing_)) fail();
        } else if (element_ == "alias" || element_ == "description" ||
                   (element_ == "match" && patternRule_ && edits_ && familyEditsOnly_)) {
            // Family names only, or words for people.
        } else {
            kept_.append(*text_, static_cast<std::size_t>(from_), static_cast<std::size_t>(to - from_));
        }
    }

    static void XMLCALL onStart(void* self, const XML_Char* name, const XML_Char** attributes) {
        static_cast<FileReader*>(self)->start(name, attributes);
    }
    static void XMLCALL onEnd(void* self, const XML_Char*) { static_cast<FileReader*>(self)->end(); }
    static void XMLCALL onText(void* self, const XML_Char* text, int length) {
        auto* reader = static_cast<FileReader*>(self);
        if (reader->level_ == 2 && reader->element_ == "include") reader->includeName_.append(text, length);
    }

    Walk& walk_;
    XML_Parser parser_;
    const std::string* text_ = nullptr;
    bool ok_ = true;
    int level_ = 0;
    std::string kept_;
    // The element under the root being read.
    std::string element_;
    XML_Index from_ = 0;
    bool patternRule_ = true;
    bool edits_ = false;
    bool familyEditsOnly_ = true;
    bool ignoreMissing_ = false;
    bool xdg_ = false;
    std::string includeName_;
};

// Whether a configuration file holds any element but aliases and words for
// people. Most of a desktop's files hold nothing else and need no reading.
bool holdsMoreThanAliases(const std::string& text) {
    if (text.find("<fontconfig") == std::string::npos) return true;  // let the reader say what it is
    for (const char* tag : {"<match", "<selectfont", "<dir", "<cache", "<include", "<config", "<remap-dir", "<reset-dirs"})
        if (text.find(tag) != std::string::npos) return true;
    return false;
}

bool Walk::file(const std::string& path) {
    std::ifstream source(path, std::ios::binary);
    if (!source) return false;
    const std::string text{std::istreambuf_iterator<char>(source), std::istreambuf_iterator<char>()};
    return !holdsMoreThanAliases(text) || FileReader(*this).read(text);
}

}  // namespace

std::optional<std::vector<std::string>> drawingRules(FcConfig* resolver, const std::string& mainFile) {
    Walk walk(resolver);
    if (!walk.follow(mainFile, false)) return std::nullopt;
    return std::move(walk.documents);
}

std::optional<std::vector<std::string>> drawingRules(FcConfig* resolver) {
    FcChar8* main = FcConfigGetFilename(resolver, nullptr);
    if (!main) return std::nullopt;
    const std::string path = reinterpret_cast<const char*>(main);
    FcStrFree(main);
    return drawingRules(resolver, path);
}
