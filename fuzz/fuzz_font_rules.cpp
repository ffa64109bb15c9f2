// Any font configuration file: its rules are read without a crash, a leak or
// anything undefined, each file once, and what is kept is whole XML. Every
// path the file names is looked up under a folder of the fuzzer's own, so
// that no input leads it to the machine's files (or to /dev/zero).
#include <expat.h>
#include <fontconfig/fontconfig.h>
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/Check.h"
#include "support/FontRules.h"

namespace {

bool wellFormed(const std::string& document) {
    XML_Parser parser = XML_ParserCreate(nullptr);
    const bool whole = XML_Parse(parser, document.data(), static_cast<int>(document.size()), XML_TRUE) == XML_STATUS_OK;
    XML_ParserFree(parser);
    return whole;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A folder of this process's own, removed when the fuzzer ends.
    static char folder[] = "/tmp/fuzz_font_rules.XXXXXX";
    static const std::string root = mkdtemp(folder);
    static const int removed = std::atexit([] { std::system((std::string("rm -rf '") + folder + "'").c_str()); });
    (void)removed;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (FILE* out = std::fopen((root + "/fonts.conf").c_str(), "wb")) {
        std::fwrite(text.data(), 1, text.size(), out);
        std::fclose(out);
    }
    FcConfig* resolver = FcConfigCreate();
    FcConfigSetSysRoot(resolver, reinterpret_cast<const FcChar8*>(root.c_str()));
    if (const auto documents = drawingRules(resolver, "/fonts.conf")) {
        // Entities a file declares itself are not carried over with its elements.
        if (text.find("<!ENTITY") == std::string_view::npos)
            for (const std::string& document : *documents) FUZZ_CHECK(wellFormed(document));
    }
    FcConfigDestroy(resolver);
    return 0;
}
