#include "main/AppWiring.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QMessageBox>

#include "main/core/Family.h"
#include "main/core/History.h"
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
    if (!makeFolderOf(at.savePath)) return false;
    if (at.savePath == at.loadPath) return true;
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

AppWiring::AppWiring(StudyState& st, Clock& clock) : st_(st), navigator_(st, player_, clock, *this) {
    navigator_.setHousehold(this);
    leaseTimer_.setInterval(int(kLeaseRenewSeconds * 1000));
    QObject::connect(&leaseTimer_, &QTimer::timeout, [this] { renewLease(nullptr); });
}

AppWiring::~AppWiring() {
    if (leaseHeld_) releaseLease(classChildFolder(), lease_);
}

MasumeServices AppWiring::services() {
    MasumeServices s;
    s.sound = &player_;
    s.loadSettings = [this](StudyState& st) {
        const UserFileLocation first = locateUserFile(kSettingsFileName, st.exeDir, userConfigDir());
        familyDir_ = QFileInfo(QString::fromStdString(first.savePath)).absolutePath().toStdString() + "/";
        loadChild(st, rememberedChild(familyDir_));
        const std::string classDir =
            classFolderGiven_.empty() ? readClassFolderNote(familyDir_) : classFolderGiven_;
        if (!classDir.empty()) enterClass(classDir);
    };
    s.appendHistory = [this](const HistoryEntry& entry) { appendHistory(entry); };
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
        soundsPrepared_ = true;
    };
    s.loadHints = [](StudyState& st) {
        if (!loadMnemonics(st.mnemonicTable, kMnemonicFileName))
            QMessageBox::information(nullptr, u(kMnemonicMissingCaption), u(kMnemonicMissingText));
    };
    s.releaseSounds = [this] { player_.releaseSounds(); };
    s.navigator = &navigator_;
    s.household = this;
    return s;
}

void AppWiring::loadChild(StudyState& st, int number) {
    child_ = number;
    if (number == 0) {
        settingsFile_ = locateUserFile(kSettingsFileName, st.exeDir, userConfigDir());
        recordFile_ = locateUserFile(kFactRecordFileName, st.exeDir, userConfigDir());
    } else {
        const std::string folder = childFolder(familyDir_, number);
        settingsFile_ = {folder + kSettingsFileName, folder + kSettingsFileName};
        recordFile_ = {folder + kFactRecordFileName, folder + kFactRecordFileName};
    }
    loadSettings(st, settingsFile_.loadPath);
    loadVoiceChoice(st, voiceChoicePath(settingsFile_.loadPath));
    // A damaged record that could not be kept aside is never written over.
    recordWritable_ =
        loadRecordFile(st.factRecord, recordFile_.loadPath) || recordFile_.loadPath != recordFile_.savePath;
    settingsFailureShown_ = recordFailureShown_ = false;
    followSounds();
}

void AppWiring::followSounds() {
    // Sounds were made at the child before's volume; files missing at the
    // start are still missing, and keep the sounds off.
    if (!soundsPrepared_) return;
    if (player_.soundFileMissing) st_.soundOn = 0;
    else player_.loadSounds(st_.effectVolume, workingDir());
    if (voiceLoaded_) loadVoice();
}

void AppWiring::loadVoice() {
    player_.loadVoice(workingDir(), st_.sikiSpVolume);
    player_.setVoice(st_.sikiSpVolume, voiceRateTenths(st_.sikiSpRate));
    voiceLoaded_ = true;
}

std::string AppWiring::historyPath() const {
    if (settingsFile_.savePath.empty()) return {};
    return QFileInfo(QString::fromStdString(settingsFile_.savePath)).absolutePath().toStdString() + "/" +
           kHistoryFileName;
}

bool AppWiring::appendHistory(const HistoryEntry& entry) {
    // The history helps the parent; it never stops the child.
    return classFilesReady().empty() && !historyPath().empty() && makeFolderOf(historyPath()) &&
           appendHistoryFile(historyPath(), entry);
}

std::vector<ChildEntry> AppWiring::children() {
    std::vector<ChildEntry> out;
    if (!classDir_.empty()) {
        const QDir dir(QString::fromStdString(classDir_));
        for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
            if (name.startsWith('.')) continue;  // a sync engine's own folders
            out.push_back({-1, name.toStdString(), name.toStdString() == classChild_, true});
        }
        return out;
    }
    for (int n : childNumbers(familyDir_)) {
        ChildEntry e{n, {}, n == child_};
        // The current child's name is the one typed, saved or not.
        if (n == child_) e.name = st_.studentName;
        else if (n == 0) {
            const QFileInfo at(QString::fromStdString(locateUserFile(kSettingsFileName, st_.exeDir, userConfigDir()).loadPath));
            e.name = childName(at.absolutePath().toStdString() + "/", kSettingsFileName);
        }
        else e.name = childName(childFolder(familyDir_, n), kSettingsFileName);
        out.push_back(std::move(e));
    }
    return out;
}

int AppWiring::addChild(QWidget* over) {
    const int number = ::addChild(familyDir_);
    if (number < 0) kit::saveFailureBox(over, cannotMakeFolderOf(childFolder(familyDir_, 1) + kSettingsFileName));
    return number;
}

bool AppWiring::switchTo(int number, QWidget* over) {
    if (number == child_) return true;
    // A child is left only with every pass on disk.
    if (!savePasses(over)) return false;
    saveFactRecord(over);
    loadChild(st_, number);
    rememberChild(familyDir_, number);
    return true;
}

std::string AppWiring::writeSettingsFile(const StudyState& st) {
    if (std::string why = classFilesReady(); !why.empty() || settingsFile_.savePath.empty()) return why;
    if (!prepareSavePath(settingsFile_)) return cannotMakeFolderOf(settingsFile_.savePath);
    std::string error;
    if (classDir_.empty()) {
        if (saveSettings(st, settingsFile_.savePath, &error) &&
            !saveVoiceChoice(st, voiceChoicePath(settingsFile_.savePath)))
            error = "ファイル「" + voiceChoicePath(settingsFile_.savePath) + "」に書き込めません";
    } else {
        // A name being typed over is not yet the child whose file this is.
        StudyState child = st;
        child.studentName = classTyped_;
        if (saveSettings(child, settingsFile_.savePath, &error)) renewLease(nullptr);
    }
    return error;
}

std::string AppWiring::writeRecordFile(const StudyState& st) {
    if (std::string why = classFilesReady(); !why.empty() || recordFile_.savePath.empty()) return why;
    if (!recordWritable_) return {};
    if (!prepareSavePath(recordFile_)) return cannotMakeFolderOf(recordFile_.savePath);
    if (saveRecordFile(st.factRecord, recordFile_.savePath)) return {};
    return "ファイル「" + recordFile_.savePath + "」に書き込めません";
}

bool AppWiring::savePasses(QWidget* over) {
    return reportSave(over, writeSettingsFile(st_), settingsFailureShown_);
}

bool AppWiring::saveFactRecord(QWidget* over) {
    // In a class the child's folder is whole from their first test on, so
    // that the teacher sees them; one box when the class folder is away.
    if (!classChild_.empty() && !reportSave(over, writeSettingsFile(st_), settingsFailureShown_)) return false;
    return reportSave(over, writeRecordFile(st_), recordFailureShown_);
}
