// Any settings file: load, save and load again gives the same state, a second
// save changes nothing, and every line the program does not own survives.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/Check.h"
#include "main/core/Settings.h"
#include "support/core/IniFile.h"

namespace {

std::vector<std::string> linesOf(const std::string& crlfText) {
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < crlfText.size()) {
        const size_t end = crlfText.find("\r\n", pos);
        lines.push_back(crlfText.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

// Lines that hold one of the program's keys may be rewritten; in any section,
// so this never asks more than the file format promises.
bool mayBeRewritten(std::string_view line) {
    static const char* const kKeys[] = {"LEFT", "TOP", "SIKISPRATE", "SIKISPVOLUME", "EFFECTVOLUME", "PINPONFLAG",
                                        "KYUU_SET", "DAN_", "KAIMAX", "ANSMA", "MOKUJIN", "MENUN", "INTERVAL",
                                        "PROCFLAG", "QKAKUNIN", "ANSWAY", "COLOR", "STUDENTNAME", "INDIVNUM",
                                        "RECCHECKARRAY", "USERSYOBINA"};
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) return false;
    std::string key;
    for (char c : line.substr(0, eq))
        if (c != ' ' && c != '\t') key += (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
    for (const char* k : kKeys)
        if (key == k) return true;
    return false;
}

void checkSameState(const StudyState& a, const StudyState& b) {
    FUZZ_CHECK(a.winLeft == b.winLeft && a.winTop == b.winTop);
    FUZZ_CHECK(a.sikiSpRate == b.sikiSpRate && a.sikiSpVolume == b.sikiSpVolume);
    FUZZ_CHECK(a.effectVolume == b.effectVolume && a.soundOn == b.soundOn);
    FUZZ_CHECK(a.levelIndex == b.levelIndex && a.currentDan == b.currentDan);
    FUZZ_CHECK(a.repeatCount == b.repeatCount && a.answerDelay == b.answerDelay);
    FUZZ_CHECK(a.rangeIndex == b.rangeIndex && a.contentIndex == b.contentIndex);
    FUZZ_CHECK(a.interval == b.interval && a.speedIndex == b.speedIndex);
    FUZZ_CHECK(a.closeConfirm == b.closeConfirm && a.answerWay == b.answerWay);
    FUZZ_CHECK(a.bgColor == b.bgColor && a.studentNo == b.studentNo);
    FUZZ_CHECK(a.studentName == b.studentName);
    FUZZ_CHECK(a.userSyobina == b.userSyobina);
    for (int c = 0; c < kRecCols; ++c)
        for (int r = 0; r < kRecRows; ++r) FUZZ_CHECK((a.recCheckArray[c][r] != 0) == (b.recCheckArray[c][r] != 0));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    IniFile file;
    file.setBytes(bytes);
    const std::vector<std::string> before = linesOf(file.bytes());
    StudyState first;
    readSettings(first, file);
    writeSettings(first, file);
    const std::string saved = file.bytes();

    IniFile again;
    again.setBytes(saved);
    StudyState second;
    readSettings(second, again);
    checkSameState(first, second);
    writeSettings(second, again);
    FUZZ_CHECK(again.bytes() == saved);

    // The lines the program does not own come back in their order.
    const std::vector<std::string> after = linesOf(saved);
    size_t at = 0;
    for (const std::string& line : before) {
        if (mayBeRewritten(line)) continue;
        while (at < after.size() && after[at] != line) ++at;
        FUZZ_CHECK(at < after.size());
        ++at;
    }
    return 0;
}
