#include "main/core/Family.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "main/core/Settings.h"
#include "support/core/Codec.h"
#include "support/core/WholeFile.h"

namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }
std::string childrenDir(const std::string& baseDir) { return baseDir + kChildrenFolder + "/"; }
}  // namespace

std::string childFolder(const std::string& baseDir, int number) {
    if (number <= 0) return baseDir;
    return childrenDir(baseDir) + std::to_string(number) + "/";
}

std::vector<int> childNumbers(const std::string& baseDir) {
    std::vector<int> numbers{0};
    const QDir dir(q(childrenDir(baseDir)));
    for (const QString& entry : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool ok = false;
        const int n = entry.toInt(&ok);
        // Only the folders this program names: "7", not "07" or "+7".
        if (ok && n > 0 && entry == QString::number(n)) numbers.push_back(n);
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

std::string childName(const std::string& folder, const std::string& settingsFileName) {
    StudyState st;
    loadSettings(st, folder + settingsFileName);
    return st.studentName;
}

int addChild(const std::string& baseDir) {
    const std::vector<int> numbers = childNumbers(baseDir);
    for (int n : numbers)
        if (n > 0 && childName(childFolder(baseDir, n), kSettingsFileName) == kNewChildName) return n;
    const int next = numbers.back() + 1;
    const std::string folder = childFolder(baseDir, next);
    if (!QDir().mkpath(q(folder))) return -1;
    StudyState st;
    loadSettings(st, folder + kSettingsFileName);
    st.studentName = kNewChildName;
    return saveSettings(st, folder + kSettingsFileName, nullptr) ? next : -1;
}

std::string acceptableChildName(const std::string& typed) {
    const QString name = q(typed).trimmed();
    if (name.isEmpty() || name.size() > kChildNameLength || !codec::fitsCp932(name.toStdString())) return {};
    return name.toStdString();
}

std::string renameChild(const std::string& loadPath, const std::string& savePath, const std::string& name) {
    StudyState st;
    loadSettings(st, loadPath);
    st.studentName = name;
    std::string error;
    saveSettings(st, savePath, &error);
    return error;
}

std::string removeChild(const std::string& baseDir, int number) {
    const std::string folder = childFolder(baseDir, number);
    if (number <= 0 || !QFileInfo(q(folder)).isDir()) return "フォルダ「" + folder + "」がありません";
    const QString removed = q(childrenDir(baseDir) + kRemovedFolder + "/");
    if (!QDir().mkpath(removed)) return "フォルダ「" + removed.toStdString() + "」を作れません";
    QString target = removed + QString::number(number);
    for (int again = 2; QFileInfo::exists(target) || QFileInfo(target).isSymLink(); ++again)
        target = removed + QString::number(number) + "-" + QString::number(again);
    if (!QDir().rename(q(folder).chopped(1), target)) return "フォルダ「" + folder + "」を移せません";
    return {};
}

int rememberedChild(const std::string& baseDir) {
    QFile file(q(childrenDir(baseDir) + kCurrentChildFile));
    if (!file.open(QIODevice::ReadOnly)) return 0;
    bool ok = false;
    const int n = file.read(16).trimmed().toInt(&ok);
    if (!ok || n <= 0) return 0;
    const std::vector<int> known = childNumbers(baseDir);
    return std::find(known.begin(), known.end(), n) != known.end() ? n : 0;
}

bool rememberChild(const std::string& baseDir, int number, std::string* error) {
    if (!QDir(q(childrenDir(baseDir))).exists()) return number == 0;
    const std::string failed = writeWholeFile(childrenDir(baseDir) + kCurrentChildFile, std::to_string(std::max(number, 0)) + "\n");
    if (error) *error = failed;
    return failed.empty();
}
