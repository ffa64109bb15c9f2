#include "support/FontSet.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>

#include "support/Fonts.h"

namespace {

// Family names are the program's own constants; they hold no markup.
std::string selectionRules(const std::vector<std::string>& families) {
    std::string xml =
        "<?xml version=\"1.0\"?><!DOCTYPE fontconfig SYSTEM \"urn:fontconfig:fonts.dtd\">"
        "<fontconfig><selectfont><acceptfont>";
    for (const std::string& family : families)
        xml += "<pattern><patelt name=\"family\"><string>" + family + "</string></patelt></pattern>";
    // An empty pattern matches every face; the accepted ones are kept first.
    return xml + "</acceptfont><rejectfont><pattern></pattern></rejectfont></selectfont></fontconfig>";
}

bool holdsAnyOf(FcConfig* config, const std::vector<std::string>& needed) {
    const FcFontSet* set = FcConfigGetFonts(config, FcSetSystem);
    if (!set) return false;
    for (int i = 0; i < set->nfont; ++i) {
        FcChar8* family = nullptr;
        for (int n = 0; FcPatternGetString(set->fonts[i], FC_FAMILY, n, &family) == FcResultMatch; ++n)
            if (std::find(needed.begin(), needed.end(), reinterpret_cast<const char*>(family)) != needed.end())
                return true;
    }
    return false;
}

}  // namespace

FcConfig* ownFontSet(const std::vector<std::string>& families, const std::vector<std::string>& needed) {
    FcConfig* config = FcInitLoadConfig();  // the system's and the user's files, as fontconfig reads them
    if (!config) return nullptr;
    const std::string rules = selectionRules(families);
    if (FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(rules.c_str()), FcTrue) &&
        FcConfigBuildFonts(config) && holdsAnyOf(config, needed))
        return config;
    FcConfigDestroy(config);
    return nullptr;
}

void loadFontConfiguration() {
    FcConfig* own = ownFontSet(familiesDrawnIn(), japaneseFamilies());
    if (own && FcConfigSetCurrent(own)) {
        FcConfigDestroy(own);  // the current configuration holds its own reference
        return;
    }
    if (own) FcConfigDestroy(own);
    FcInit();
}
