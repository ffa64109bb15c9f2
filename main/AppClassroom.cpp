// The class folder side of the wiring: the typed name chooses the child's
// folder in the class folder, and a lease tells a second computer that the
// child is open already.
#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QMessageBox>
#include <QSysInfo>

#include <algorithm>
#include <iterator>

#include "main/AppWiring.h"
#include "main/core/Family.h"
#include "main/core/FactRecord.h"
#include "main/core/Settings.h"
#include "main/core/UserFiles.h"
#include "support/FormKit.h"
#include "support/core/WholeFile.h"

namespace {
using kit::u;

// The child's passes and answers start empty; the settings of the computer stay.
void blankChild(StudyState& st) {
    for (auto& column : st.recCheckArray) std::fill(std::begin(column), std::end(column), 0);
    clearRecord(st.factRecord);
}

Lease thisProgram() {
    return {QSysInfo::machineHostName().toStdString(), QCoreApplication::applicationPid(),
            QDateTime::currentSecsSinceEpoch()};
}
}  // namespace

std::string AppWiring::classFilesReady() const {
    if (classDir_.empty()) return {};
    // A share that is not mounted must not be made again as a local folder.
    if (!QFileInfo(QString::fromStdString(classDir_)).isDir())
        return "クラスのフォルダ「" + classDir_ + "」が見つかりません";
    return {};
}

void AppWiring::enterClass(const std::string& folder) {
    classDir_ = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    // Nothing is written for the class until a child has typed a name.
    st_.studentName.clear();
    openClassChild({}, nullptr);
}

bool AppWiring::leaveClassChild(QWidget* over) {
    if (classChild_.empty()) return true;
    if (!savePasses(over)) return false;
    saveFactRecord(over);
    if (leaseHeld_) releaseLease(classChildFolder(), lease_);
    leaseHeld_ = false;
    leaseTimer_.stop();
    return true;
}

void AppWiring::openClassChild(const std::string& folderName, QWidget* over) {
    classChild_ = folderName;
    classTyped_ = st_.studentName;
    settingsFailureShown_ = recordFailureShown_ = false;
    recordWritable_ = true;
    if (folderName.empty()) {
        blankChild(st_);
        settingsFile_ = recordFile_ = {};
        return;
    }
    const std::string folder = classChildFolder();
    settingsFile_ = {folder + kSettingsFileName, folder + kSettingsFileName};
    recordFile_ = {folder + kFactRecordFileName, folder + kFactRecordFileName};
    if (QFileInfo::exists(QString::fromStdString(settingsFile_.loadPath))) {
        loadSettings(st_, settingsFile_.loadPath);
        st_.studentName = classTyped_;
    } else {
        blankChild(st_);
    }
    // A damaged record that could not be kept aside is never written over.
    recordWritable_ = loadRecordFile(st_.factRecord, recordFile_.loadPath);
    followSounds();
    if (QFileInfo(QString::fromStdString(folder)).isDir()) renewLease(over);
    leaseTimer_.start();
}

void AppWiring::renewLease(QWidget* over) {
    if (classDir_.empty() || classChild_.empty()) return;
    const std::string folder = classChildFolder();
    lease_ = thisProgram();
    Lease held;
    const bool found = readLease(folder, held);
    const LeaseState state = leaseState(found ? &held : nullptr, lease_, lease_.atSeconds);
    if (state == LeaseState::HeldElsewhere) {
        // Told once, when the child is opened; the lease is taken when it is left behind.
        if (over && !leaseHeld_)
            QMessageBox::information(
                over, u("ちゅうい"),
                u("「%1」さんの きろくは いま ほかの コンピュータ（%2）でも ひらいています。\n"
                  "りょうほうで つづけると，あとから ほぞんした ほうの きろくだけが のこります。")
                    .arg(QString::fromStdString(classTyped_), QString::fromStdString(held.computer)));
        leaseHeld_ = false;
        return;
    }
    std::string error;
    leaseHeld_ = writeLease(folder, lease_, &error);
    // Told when the child is opened, once until a write of it goes through
    // again; a renewal on the timer may fall in a run, where no box opens.
    if (leaseHeld_) leaseFailureShown_ = false;
    else if (over && !leaseFailureShown_) {
        kit::saveFailureBox(over, error);
        leaseFailureShown_ = true;
    }
}

NameChange AppWiring::confirmName(QWidget* over) {
    if (classDir_.empty()) return NameChange::Kept;
    const std::string folderName = classChildFolderOf(classDir_, st_.studentName);
    if (folderName == classChild_) return NameChange::Kept;
    const std::string typed = st_.studentName;
    if (!leaveClassChild(over)) {
        st_.studentName = classTyped_;
        return NameChange::Refused;
    }
    st_.studentName = typed;
    openClassChild(folderName, over);
    return NameChange::Loaded;
}

bool AppWiring::switchToClassChild(const std::string& name, QWidget* over) {
    const std::string before = st_.studentName;
    st_.studentName = name;
    if (confirmName(over) != NameChange::Refused) return true;
    st_.studentName = before;
    return false;
}

bool AppWiring::newClassChild(QWidget* over) {
    if (!leaveClassChild(over)) return false;
    st_.studentName.clear();
    openClassChild({}, over);
    return true;
}

bool AppWiring::setClassFolder(const std::string& folder, QWidget* over) {
    // The child here now keeps everything before the folders change.
    if (classDir_.empty() ? !savePasses(over) : !leaveClassChild(over)) return false;
    if (classDir_.empty()) saveFactRecord(over);
    std::string error = cannotWrite(familyDir_ + kClassFolderNoteFile);
    if (!makeFolderOf(familyDir_ + kClassFolderNoteFile) || !writeClassFolderNote(familyDir_, folder, &error)) {
        kit::saveFailureBox(over, error);
        return false;
    }
    if (folder.empty()) {
        classDir_.clear();
        loadChild(st_, rememberedChild(familyDir_));
    } else {
        enterClass(folder);
    }
    return true;
}
