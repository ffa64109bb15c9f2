#include "main/core/VoiceChoice.h"
#include "support/core/WholeFile.h"

#include <QFile>
#include <QFileInfo>
#include <charconv>

#include "main/core/StudyState.h"

namespace {
constexpr qint64 kLargestChoiceFile = 4096;
constexpr std::string_view kSavedAt = "SAVEDAT=";

// Each line, without its end and the blanks around it.
template <typename Each>
void forEachLine(const std::string& text, Each each) {
    for (const QByteArray& raw : QByteArray::fromStdString(text).split('\n')) each(raw.trimmed().toStdString());
}
}  // namespace

std::string voiceChoicePath(const std::string& settingsPath) {
    if (settingsPath.empty()) return {};
    return QFileInfo(QString::fromStdString(settingsPath)).absolutePath().toStdString() + "/" + kVoiceChoiceFileName;
}

void voiceChoiceFromText(StudyState& st, const std::string& text) {
    st.voiceOn = 0;
    st.testByEar = 0;
    forEachLine(text, [&](const std::string& line) {
        if (line == "VOICE=1") st.voiceOn = 1;
        if (line == "BYEAR=1") st.testByEar = 1;
    });
}

std::int64_t voiceChoiceSavedAt(const std::string& text) {
    std::int64_t at = 0;
    forEachLine(text, [&](const std::string& line) {
        if (line.rfind(kSavedAt, 0) != 0) return;
        std::int64_t v = 0;
        const char* first = line.data() + kSavedAt.size();
        const auto [end, ec] = std::from_chars(first, line.data() + line.size(), v);
        if (ec == std::errc() && end == line.data() + line.size() && v > 0) at = v;
    });
    return at;
}

std::string voiceChoiceText(const StudyState& st, std::int64_t savedAtMs) {
    std::string text = std::string("VOICE=") + (st.voiceOn == 1 ? "1" : "0") + "\r\nBYEAR=" +
                       (st.testByEar == 1 ? "1" : "0") + "\r\n";
    if (savedAtMs > 0) text += std::string(kSavedAt) + std::to_string(savedAtMs) + "\r\n";
    return text;
}

void loadVoiceChoice(StudyState& st, const std::string& path) {
    st.voiceOn = 0;
    st.testByEar = 0;
    QFile file(QString::fromStdString(path));
    // A parent may replace the file: only a small regular one is read.
    if (path.empty() || !QFileInfo(file).isFile() || file.size() > kLargestChoiceFile) return;
    if (!file.open(QIODevice::ReadOnly)) return;
    voiceChoiceFromText(st, file.readAll().toStdString());
}

bool saveVoiceChoice(const StudyState& st, const std::string& path) {
    if (path.empty()) return false;
    const QString name = QString::fromStdString(path);
    if (st.voiceOn != 1 && st.testByEar != 1) return !QFileInfo::exists(name) || QFile::remove(name);
    return writeWholeFile(path, voiceChoiceText(st)).empty();
}
