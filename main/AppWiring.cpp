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
#include "support/FormKit.h"

namespace {
using kit::u;
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
std::string cannotMakeFolderOf(const std::string& path) {
    return "フォルダ「" + QFileInfo(QString::fromStdString(path)).absolutePath().toStdString() + "」を作れません";
}

// The box a failed save shows, as at quit; not again for the same file
// until a save of it has gone through.
bool reportSave(QWidget* over, const std::string& error, bool& shown) {
    if (error.empty()) {
        shown = false;
        return true;
    }
    if (!shown) kit::saveFailureBox(over, error);
    shown = true;
    return false;
}
}  // namespace

MasumeServices AppWiring::services() {
    MasumeServices s;
    s.sound = &player_;
    s.loadSettings = [this](StudyState& st) {
        settingsFile_ = locateUserFile(kSettingsFileName, st.exeDir, userConfigDir());
        loadSettings(st, settingsFile_.loadPath);
        recordFile_ = locateUserFile(kFactRecordFileName, st.exeDir, userConfigDir());
        // A damaged record that could not be kept aside is never written over.
        recordWritable_ =
            loadRecordFile(st.factRecord, recordFile_.loadPath) || recordFile_.loadPath != recordFile_.savePath;
    };
    s.saveSettings = [this](const StudyState& st) {
        // The record of answers never stands in the way of the settings.
        writeRecordFile(st);
        return writeSettingsFile(st);
    };
    s.keeper = this;
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

std::string AppWiring::writeSettingsFile(const StudyState& st) {
    if (!prepareSavePath(settingsFile_)) return cannotMakeFolderOf(settingsFile_.savePath);
    std::string error;
    saveSettings(st, settingsFile_.savePath, &error);
    return error;
}

std::string AppWiring::writeRecordFile(const StudyState& st) {
    if (!recordWritable_) return {};
    if (!prepareSavePath(recordFile_)) return cannotMakeFolderOf(recordFile_.savePath);
    if (saveRecordFile(st.factRecord, recordFile_.savePath)) return {};
    return "ファイル「" + recordFile_.savePath + "」に書き込めません";
}

bool AppWiring::savePasses(QWidget* over) {
    return reportSave(over, writeSettingsFile(st_), settingsFailureShown_);
}

bool AppWiring::saveFactRecord(QWidget* over) { return reportSave(over, writeRecordFile(st_), recordFailureShown_); }
