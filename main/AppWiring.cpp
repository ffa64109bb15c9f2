#include "main/AppWiring.h"

#include <QApplication>
#include <QDateTime>
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

std::int64_t nowMs() { return QDateTime::currentMSecsSinceEpoch(); }

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
    leaseTimer_.setInterval(int(kLeaseCheckSeconds * 1000));
    QObject::connect(&leaseTimer_, &QTimer::timeout, [this] { checkLease(); });
}

AppWiring::~AppWiring() {
    if (leaseHeld_) dropLease(classDir_, files_.folderName(), computer_, lease_);
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
        files_ = ChildFiles::atHome(locateUserFile(kSettingsFileName, st.exeDir, userConfigDir()),
                                    locateUserFile(kFactRecordFileName, st.exeDir, userConfigDir()));
    } else {
        const std::string folder = childFolder(familyDir_, number);
        files_ = ChildFiles::atHome({folder + kSettingsFileName, folder + kSettingsFileName},
                                    {folder + kFactRecordFileName, folder + kFactRecordFileName});
    }
    files_.load(st);
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

bool AppWiring::appendHistory(const HistoryEntry& entry) {
    // A test before the name is the test of the child who types one next.
    if (!classDir_.empty() && files_.none()) {
        testBeforeName_ = entry;
        return true;
    }
    // The history helps the parent; it never stops the child.
    if (!files_.whyNotWritable().empty() || historyPath().empty()) return false;
    historyNotWritten_.emplace_back(historyPath(), entry);
    std::string error;
    std::vector<std::pair<std::string, HistoryEntry>> refused;
    for (size_t i = 0; i < historyNotWritten_.size();) {
        const std::string path = historyNotWritten_[i].first;
        std::vector<HistoryEntry> lines;
        const size_t from = i;
        for (; i < historyNotWritten_.size() && historyNotWritten_[i].first == path; ++i)
            lines.push_back(historyNotWritten_[i].second);
        std::string failed = makeFolderOf(path) ? std::string() : cannotMakeFolderOf(path);
        if (failed.empty()) appendHistoryFile(path, lines, &failed);
        if (failed.empty()) continue;
        refused.insert(refused.end(), historyNotWritten_.begin() + std::ptrdiff_t(from), historyNotWritten_.begin() + std::ptrdiff_t(i));
        error = failed;
    }
    historyNotWritten_ = std::move(refused);
    return reportSave(QApplication::activeWindow(), error, historyFailureShown_);
}

std::vector<ChildEntry> AppWiring::children() {
    std::vector<ChildEntry> out;
    if (!classDir_.empty()) {
        const QDir dir(QString::fromStdString(classDir_));
        for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
            if (name.startsWith('.')) continue;  // a sync engine's own folders
            out.push_back({-1, name.toStdString(), name.toStdString() == files_.folderName(), true});
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
    // A name just typed for a new child names them before another is looked for.
    if (!savePasses(over)) return -1;
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
    std::string error;
    rememberChild(familyDir_, number, &error);
    reportSave(over, error, childNoteFailureShown_);
    return true;
}

bool AppWiring::renameChild(int number, const std::string& name, QWidget* over) {
    if (number == child_) {
        st_.studentName = name;
        return savePasses(over);
    }
    const UserFileLocation file = number == 0 ? locateUserFile(kSettingsFileName, st_.exeDir, userConfigDir())
                                              : UserFileLocation{childFolder(familyDir_, number) + kSettingsFileName,
                                                                 childFolder(familyDir_, number) + kSettingsFileName};
    const std::string error = prepareSavePath(file) ? ::renameChild(file.loadPath, file.savePath, name)
                                                    : cannotMakeFolderOf(file.savePath);
    if (!error.empty()) kit::saveFailureBox(over, error);
    return error.empty();
}

bool AppWiring::removeChild(int number, QWidget* over) {
    if (number == child_ || number <= 0) return false;
    const std::string error = ::removeChild(familyDir_, number);
    if (!error.empty()) kit::saveFailureBox(over, error);
    return error.empty();
}

std::string AppWiring::writeSettingsFile(const StudyState& st) {
    if (classDir_.empty()) return files_.saveSettings(st, nowMs());
    // A name being typed over is not yet the child whose file this is.
    StudyState child = st;
    child.studentName = classTyped_;
    return files_.saveSettings(child, nowMs());
}

std::string AppWiring::writeRecordFile(const StudyState& st) { return files_.saveRecord(st, nowMs()); }

bool AppWiring::savePasses(QWidget* over) {
    return reportSave(over, writeSettingsFile(st_), settingsFailureShown_);
}

bool AppWiring::savePassesCleared(QWidget* over) {
    files_.notePassesCleared(nowMs());
    return savePasses(over);
}

bool AppWiring::saveFactRecordCleared(QWidget* over) {
    files_.noteRecordCleared(nowMs());
    return saveFactRecord(over);
}

bool AppWiring::saveFactRecord(QWidget* over) {
    // In a class the child's folder is whole from their first test on, so
    // that the teacher sees them; one box when the class folder is away.
    if (files_.classChild() && !reportSave(over, writeSettingsFile(st_), settingsFailureShown_)) return false;
    return reportSave(over, writeRecordFile(st_), recordFailureShown_);
}
