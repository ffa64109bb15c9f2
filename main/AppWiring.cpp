#include "main/AppWiring.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QMessageBox>

#include "main/core/QuestionOrder.h"
#include "support/core/Mnemonics.h"
#include "main/core/Settings.h"
#include "main/core/UserFiles.h"

namespace {
QString u(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }
// Hints and sounds are looked up where the program was started.
std::string workingDir() { return QDir::currentPath().toStdString(); }

std::string userConfigDir() { return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation).toStdString(); }

// A first save into the user's own folder starts from the file that was
// read, so that lines this program does not own are kept.
bool prepareSavePath(const UserFileLocation& at) {
    if (at.savePath == at.loadPath) return true;
    if (!makeFolderOf(at.savePath)) return false;
    const QString target = QString::fromStdString(at.savePath);
    if (!QFileInfo::exists(target) && QFileInfo::exists(QString::fromStdString(at.loadPath))) {
        QFile::copy(QString::fromStdString(at.loadPath), target);
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    }
    return true;
}
}  // namespace

MasumeServices AppWiring::services() {
    MasumeServices s;
    s.sound = &player_;
    s.loadSettings = [this](StudyState& st) {
        settingsFile_ = locateUserFile(kSettingsFileName, st.exeDir, userConfigDir());
        loadSettings(st, settingsFile_.loadPath);
        recordFile_ = locateUserFile(kFactRecordFileName, st.exeDir, userConfigDir());
        loadRecordFile(st.factRecord, recordFile_.loadPath);
    };
    s.saveSettings = [this](const StudyState& st) {
        // The record of answers never stands in the way of the settings.
        if (prepareSavePath(recordFile_)) saveRecordFile(st.factRecord, recordFile_.savePath);
        if (!prepareSavePath(settingsFile_))
            return "フォルダ「" + QFileInfo(QString::fromStdString(settingsFile_.savePath)).absolutePath().toStdString() +
                   "」を作れません";
        std::string error;
        saveSettings(st, settingsFile_.savePath, &error);
        return error;
    };
    s.checkAndLoadSounds = [this](StudyState& st) {
        player_.prepareSounds(st, workingDir(), [](const std::string& text, const std::string& caption) {
            QMessageBox::information(nullptr, u(caption), u(text), QMessageBox::Ok | QMessageBox::Cancel);
        });
    };
    s.loadHints = [](StudyState& st) {
        if (!loadMnemonics(st.mnemonicTable, kMnemonicFileName))
            QMessageBox::information(nullptr, u(kMnemonicMissingCaption), u(kMnemonicMissingText));
    };
    s.releaseSounds = [this] { player_.releaseSounds(); };
    s.navigator = &navigator_;
    return s;
}
