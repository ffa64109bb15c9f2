#include "main/core/VoiceChoice.h"
#include "support/core/WholeFile.h"

#include <QFile>
#include <QFileInfo>

#include "main/core/StudyState.h"

namespace {
constexpr qint64 kLargestChoiceFile = 4096;
}

std::string voiceChoicePath(const std::string& settingsPath) {
    if (settingsPath.empty()) return {};
    return QFileInfo(QString::fromStdString(settingsPath)).absolutePath().toStdString() + "/" + kVoiceChoiceFileName;
}

void loadVoiceChoice(StudyState& st, const std::string& path) {
    st.voiceOn = 0;
    st.testByEar = 0;
    QFile file(QString::fromStdString(path));
    // A parent may replace the file: only a small regular one is read.
    if (path.empty() || !QFileInfo(file).isFile() || file.size() > kLargestChoiceFile) return;
    if (!file.open(QIODevice::ReadOnly)) return;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line == "VOICE=1") st.voiceOn = 1;
        if (line == "BYEAR=1") st.testByEar = 1;
    }
}

bool saveVoiceChoice(const StudyState& st, const std::string& path) {
    if (path.empty()) return false;
    const QString name = QString::fromStdString(path);
    if (st.voiceOn != 1 && st.testByEar != 1) return !QFileInfo::exists(name) || QFile::remove(name);
    const std::string text = std::string("VOICE=") + (st.voiceOn == 1 ? "1" : "0") + "\r\nBYEAR=" +
                             (st.testByEar == 1 ? "1" : "0") + "\r\n";
    return writeWholeFile(path, text).empty();
}
