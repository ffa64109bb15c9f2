// Whether a child hears the 九九 spoken and takes tests by ear: a small file
// of our own beside the child's settings file, whose format stays as it is.
// With both choices off the file does not exist, so a child who never
// switched the voice on has exactly the files of a program without one.
//
// In a class folder each computer keeps the child's choice in a file of its
// own (kukukoe.<id>.ini) that also says when it was saved: the newest save
// of any computer is the child's choice.
#pragma once

#include <cstdint>
#include <string>

struct StudyState;

inline constexpr const char* kVoiceChoiceFileName = "kukukoe.ini";

// The carried SIKISPRATE as the voice's speed in tenths: a value outside
// the range the dialog offers (another program's scale) plays as made, 10.
inline constexpr int kVoiceRateSlowest = 7;
inline constexpr int kVoiceRateFastest = 14;
constexpr int voiceRateTenths(int sikiSpRate) {
    return sikiSpRate >= kVoiceRateSlowest && sikiSpRate <= kVoiceRateFastest ? sikiSpRate : 10;
}
// SIKISPVOLUME (0..100) as a step of ten of the dialog's bar, rounded.
constexpr int voiceVolumeStep(int sikiSpVolume) {
    return (sikiSpVolume < 0 ? 0 : sikiSpVolume > 100 ? 100 : sikiSpVolume + 5) / 10;
}

// What a results window adds to its title when the test was asked by ear.
inline constexpr const char* kByEarTitle = "　―　みみで きいて こたえた テスト";

// The choice file in the folder of settingsPath.
std::string voiceChoicePath(const std::string& settingsPath);

// Sets st.voiceOn and st.testByEar from the file; both 0 when it is missing
// or says nothing else.
void loadVoiceChoice(StudyState& st, const std::string& path);

// Writes the file whole, or removes it when both choices are off. False
// when that failed.
bool saveVoiceChoice(const StudyState& st, const std::string& path);

// The file's bytes: the two choices, and with savedAtMs > 0 when they were
// saved (ms since 1970); a file at home carries no date.
std::string voiceChoiceText(const StudyState& st, std::int64_t savedAtMs = 0);
// Sets st.voiceOn and st.testByEar from a file's bytes, as loadVoiceChoice.
void voiceChoiceFromText(StudyState& st, const std::string& text);
// When the choice in text was saved; 0 when it says nothing of it.
std::int64_t voiceChoiceSavedAt(const std::string& text);
