#include "main/core/Settings.h"

#include <algorithm>

#include "main/core/TestRecord.h"
#include "support/core/Codec.h"
#include "support/core/IniFile.h"

namespace {

constexpr char kPosition[] = "POSITION";
constexpr char kSpeak[] = "SPEAK";
constexpr char kJouken[] = "JOUKEN";
constexpr char kTestData[] = "TESTDATA";

struct IntKey {
    const char* section;
    const char* key;
    int def;
    int StudyState::*field;
    // Kept within lo..hi, what the key's control offers, so that no later
    // lookup runs off a table; lo > hi: taken as it stands.
    int lo = 0;
    int hi = -1;
};

const IntKey kLeft{kPosition, "LEFT", 200, &StudyState::winLeft};
const IntKey kTop{kPosition, "TOP", 200, &StudyState::winTop};
const IntKey kSikiSpRate{kSpeak, "SIKISPRATE", 10, &StudyState::sikiSpRate};
const IntKey kSikiSpVolume{kSpeak, "SIKISPVOLUME", 50, &StudyState::sikiSpVolume};
const IntKey kEffectVolume{kSpeak, "EFFECTVOLUME", 50, &StudyState::effectVolume};
const IntKey kPinponFlag{kSpeak, "PINPONFLAG", 0, &StudyState::soundOn};
const IntKey kKyuuSet{kJouken, "KYUU_SET", 1, &StudyState::levelIndex};
const IntKey kDan{kJouken, "DAN_", 0, &StudyState::currentDan};
constexpr int kMinPasses = 1, kMaxPasses = 9;
constexpr int kMinPause = 100, kMaxPause = 3000;
constexpr int kVolumeStep = 5, kVolumeSteps = 20;

const IntKey kKaiMax{kJouken, "KAIMAX", 2, &StudyState::repeatCount, kMinPasses, kMaxPasses};
const IntKey kAnsMa{kJouken, "ANSMA", 500, &StudyState::answerDelay, kMinPause, kMaxPause};
const IntKey kMokujin{kJouken, "MOKUJIN", 1, &StudyState::rangeIndex};
const IntKey kMenun{kJouken, "MENUN", 1, &StudyState::contentIndex, 0, kContentCount - 1};
const IntKey kInterval{kJouken, "INTERVAL", 500, &StudyState::interval};
const IntKey kProcFlag{kJouken, "PROCFLAG", 0, &StudyState::speedIndex, 0, kSpeedCount - 1};
const IntKey kQKakunin{kJouken, "QKAKUNIN", 0, &StudyState::closeConfirm};
const IntKey kAnsWay{kJouken, "ANSWAY", 0, &StudyState::answerWay};
const IntKey kColor{kJouken, "COLOR", 61680, &StudyState::bgColor};
const IntKey kIndivNum{kTestData, "INDIVNUM", 1234567, &StudyState::studentNo};

constexpr char kStudentName[] = "STUDENTNAME";
constexpr char kDefaultName[] = "くく はじめ";
constexpr char kRecCheckArray[] = "RECCHECKARRAY";
constexpr char kDefaultRecCheck[] = "00000000000000";
constexpr char kUserSyobina[] = "USERSYOBINA";

void readInt(const IniFile& ini, StudyState& st, const IntKey& k) {
    int v = ini.readInt(k.section, k.key, k.def);
    if (k.lo <= k.hi) v = std::clamp(v, k.lo, k.hi);
    st.*k.field = v;
}

void writeInt(IniFile& ini, const StudyState& st, const IntKey& k) { ini.writeInt(k.section, k.key, st.*k.field); }

// A text as the file can hold it: bytes CP932 has no character for, and line
// breaks, would otherwise show one thing now and come back as another after
// the next save.
std::string readText(const IniFile& ini, const char* section, const char* key, const char* def) {
    std::string text = codec::fromCp932(codec::toCp932(ini.readString(section, key, def)));
    std::erase_if(text, [](char c) { return c == '\r' || c == '\n'; });
    return text;
}

}  // namespace

std::string settingsPath(const std::string& exeDir) { return exeDir + kSettingsFileName; }

void loadSettings(StudyState& st, const std::string& iniPath) {
    IniFile ini;
    ini.load(iniPath);  // an unreadable file gives the defaults, like a missing one
    readSettings(st, ini);
}

void readSettings(StudyState& st, const IniFile& ini) {
    for (const IntKey* k : {&kLeft, &kTop, &kSikiSpRate, &kSikiSpVolume, &kEffectVolume, &kPinponFlag, &kKyuuSet,
                            &kDan, &kKaiMax, &kAnsMa, &kMokujin, &kMenun, &kInterval, &kProcFlag, &kQKakunin,
                            &kAnsWay, &kColor})
        readInt(ini, st, *k);
    st.studentName = readText(ini, kTestData, kStudentName, kDefaultName);
    readInt(ini, st, kIndivNum);
    // One byte per flag, as the file holds it.
    recCheckFromText(st, ini.readBytes(kTestData, kRecCheckArray, kDefaultRecCheck));
    st.userSyobina = readText(ini, kSpeak, kUserSyobina, "");
}

bool saveSettings(const StudyState& st, const std::string& iniPath, std::string* error) {
    IniFile ini;
    // Rewriting a file we could not read would lose the lines we do not own.
    if (!ini.load(iniPath, error)) return false;
    writeSettings(st, ini);
    return ini.save(iniPath, error);
}

void writeSettings(const StudyState& st, IniFile& ini) {
    // This order lays out a new file: sections POSITION, SPEAK, JOUKEN,
    // TESTDATA, with USERSYOBINA and QKAKUNIN last in theirs.
    for (const IntKey* k : {&kLeft, &kTop, &kSikiSpRate, &kSikiSpVolume, &kEffectVolume, &kPinponFlag, &kKyuuSet,
                            &kDan, &kKaiMax, &kAnsMa, &kMokujin, &kMenun, &kInterval, &kProcFlag, &kAnsWay,
                            &kColor})
        writeInt(ini, st, *k);
    ini.writeString(kTestData, kStudentName, st.studentName);
    writeInt(ini, st, kIndivNum);
    writeInt(ini, st, kQKakunin);
    ini.writeBytes(kTestData, kRecCheckArray, recCheckToText(st));
    ini.writeString(kSpeak, kUserSyobina, st.userSyobina);
}

int startRangeIndex(int storedRangeIndex) {
    return (storedRangeIndex >= 0 && storedRangeIndex < kRangeCount) ? storedRangeIndex : 0;
}

int clampPasses(int repeatCount) { return std::clamp(repeatCount, kMinPasses, kMaxPasses); }
int clampPause(int answerDelay) { return std::clamp(answerDelay, kMinPause, kMaxPause); }
int effectBarPosition(int effectVolume) { return std::clamp(effectVolume / kVolumeStep, 0, kVolumeSteps); }
int effectVolumeAt(int barPosition) { return std::clamp(barPosition, 0, kVolumeSteps) * kVolumeStep; }
