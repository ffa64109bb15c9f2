// The class folder side of the wiring: the typed name chooses the child's
// folder in the class folder, and a lease tells a second computer that the
// child is open already.
#include <QApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QMessageBox>
#include <QSysInfo>
#include <QTimer>

#include <algorithm>
#include <iterator>

#include "main/AppWiring.h"
#include "main/core/Family.h"
#include "main/core/ChildFiles.h"
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

// The passes and answers of a test taken before the name, into the child's
// own; the choices of that test stay, so that its results show and register.
void carryInto(StudyState& st, const StudyState& before) {
    for (int c = 0; c < kRecCols; ++c)
        for (int r = 0; r < kRecRows; ++r) st.recCheckArray[c][r] |= before.recCheckArray[c][r];
    addAnswers(st.factRecord, before.factRecord);
    st.rangeIndex = before.rangeIndex;
    st.contentIndex = before.contentIndex;
    st.currentDan = before.currentDan;
    st.levelIndex = before.levelIndex;
}

Lease thisProgram() {
    return {QSysInfo::machineHostName().toStdString(), QCoreApplication::applicationPid(),
            QDateTime::currentSecsSinceEpoch()};
}
}  // namespace

void AppWiring::enterClass(const std::string& folder) {
    classDir_ = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    if (computer_.empty()) computer_ = slot_.take(familyDir_, computerIdIn(familyDir_));
    // Nothing is written for the class until a child has typed a name.
    st_.studentName.clear();
    testBeforeName_.reset();
    openClassChild({}, nullptr);
}

bool AppWiring::leaveClassChild(QWidget* over) {
    if (files_.none()) return true;
    if (!savePasses(over)) return false;
    saveFactRecord(over);
    if (leaseHeld_) dropLease(classDir_, files_.folderName(), computer_, lease_);
    leaseHeld_ = false;
    told_.clear();
    toTell_.clear();
    leaseTimer_.stop();
    return true;
}

void AppWiring::openClassChild(const std::string& folderName, QWidget* over) {
    classTyped_ = st_.studentName;
    settingsFailureShown_ = recordFailureShown_ = false;
    if (folderName.empty()) {
        blankChild(st_);
        files_ = {};
        return;
    }
    // What was earned before the name was typed is the child's.
    const bool carry = files_.none() && (testBeforeName_ || !recordIsEmpty(st_.factRecord));
    const StudyState before = st_;
    files_ = ChildFiles::inClass(classDir_, folderName, computer_);
    files_.load(st_);
    followSounds();
    if (over) window_ = over->window();
    // Said once, as the child opens; the program goes on without writing there.
    if (!files_.problem().empty()) {
        QMessageBox::warning(over ? over : window_.data(), u("ちゅうい"),
                             u(unusableRecordText(classTyped_, files_.problem())));
        return;
    }
    renewLease(over);
    leaseTimer_.start();
    if (!carry) return;
    carryInto(st_, before);
    saveFactRecord(over);
    if (testBeforeName_) files_.appendHistory(*testBeforeName_);
    testBeforeName_.reset();
}

void AppWiring::renewLease(QWidget* over) {
    if (classDir_.empty() || files_.none()) return;
    // Written once a minute; read at every check.
    const Lease now = thisProgram();
    if (!leaseHeld_ || now.atSeconds - lease_.atSeconds >= kLeaseRenewSeconds) {
        lease_ = now;
        leaseHeld_ = takeLease(classDir_, files_.folderName(), computer_, lease_);
    }
    for (const Lease& other : othersOpen(leasesOn(classDir_, files_.folderName()), lease_, now.atSeconds)) {
        const auto same = [&](const Lease& l) { return l.computer == other.computer && l.process == other.process; };
        if (std::none_of(told_.begin(), told_.end(), same) && std::none_of(toTell_.begin(), toTell_.end(), same))
            toTell_.push_back(other);
    }
    tellOthersOpen(over);
}

void AppWiring::tellOthersOpen(QWidget* over) {
    // Told as the child opens; at the minute's tick a box waits while the
    // child answers or reads another box.
    if (!over && !toTell_.empty() && ((busy_ && busy_()) || QApplication::activeModalWidget())) {
        // Asked again soon, not a minute later.
        if (!retryPending_) QTimer::singleShot(2000, &leaseTimer_, [this] {
            retryPending_ = false;
            tellOthersOpen(nullptr);
        });
        retryPending_ = true;
        return;
    }
    if (!over) over = window_.data();
    if (!over || toTell_.empty()) return;
    const Lease other = toTell_.front();
    toTell_.clear();
    told_.push_back(other);
    QMessageBox::information(over, u("ちゅうい"), u(openElsewhereText(classTyped_, other.computer)));
}

NameChange AppWiring::confirmName(QWidget* over) {
    if (classDir_.empty()) return NameChange::Kept;
    const std::string folderName = classChildFolderOf(classDir_, st_.studentName);
    if (folderName == files_.folderName()) return NameChange::Kept;
    const bool carrying = files_.none() && (testBeforeName_ || !recordIsEmpty(st_.factRecord));
    const std::string typed = st_.studentName;
    if (!leaveClassChild(over)) {
        st_.studentName = classTyped_;
        return NameChange::Refused;
    }
    st_.studentName = typed;
    openClassChild(folderName, over);
    return carrying && !folderName.empty() ? NameChange::Carried : NameChange::Loaded;
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
