// Every file the program writes, on a disk that is full from the first byte
// or fills part of the way, and in a folder that refuses a file beside it:
// the write says it failed and names the file, the old file stays byte for
// byte, nothing is left beside it, and the same write goes through once
// there is room again.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "main/core/Classroom.h"
#include "main/core/Family.h"
#include "main/core/FactRecord.h"
#include "main/core/History.h"
#include "main/core/Settings.h"
#include "support/core/WholeFile.h"
#include "tests/core/FileBytes.h"
#include "tests/core/FullDisk.h"
#include "tests/core/LockedFolder.h"
#include "windows/core/ClassRecord.h"

namespace {
struct Writer {
    const char* what;
    const char* file;  // in the folder the write is given
    std::string old;   // what the file holds before
    // Writes into folder (ending in '/'); the text names what failed.
    std::function<bool(const std::string& folder, std::string* error)> write;
};

StudyState childWithPasses() {
    StudyState st;
    loadSettings(st, std::string());
    st.studentName = "たろう";
    st.recCheckArray[0][0] = st.recCheckArray[1][3] = 1;
    return st;
}

FactRecord someAnswers() {
    FactRecord r;
    for (int q = 0; q < kFactsRecorded; ++q) recordAnswer(r, q, q % 4 != 0, 900 + q * 10);
    return r;
}

const std::vector<Writer>& writers() {
    static const std::vector<Writer> rows = {
        {"settings", kSettingsFileName, "[JOUKEN]\r\nMENUN=2\r\n",
         [](const std::string& folder, std::string* error) {
             return saveSettings(childWithPasses(), folder + kSettingsFileName, error);
         }},
        {"record", kFactRecordFileName, "tateyokom fact record 2\n10 3 2 R1200/6000 W3000/6000 R900/6000\n",
         [](const std::string& folder, std::string* error) {
             return saveRecordFile(someAnswers(), folder + kFactRecordFileName, nullptr, error);
         }},
        {"history", kHistoryFileName, "# tateyokom がんばりきろく 1\n",
         [](const std::string& folder, std::string* error) {
             return appendHistoryFile(folder + kHistoryFileName, HistoryEntry{"2026-05-01 16:05:09", 3, 0, 1, 27, 0, 0, 1}, error);
         }},
        {"lease", kLeaseFileName, "pc-1\n42\n1760000000\n",
         [](const std::string& folder, std::string* error) {
             return writeLease(folder, {"pc-2-with-a-longer-name", 4242, 1770000000}, error);
         }},
        {"class note", kClassFolderNoteFile, "/srv/class-one/\n",
         [](const std::string& folder, std::string* error) {
             return writeClassFolderNote(folder, "/srv/a-class-folder-with-a-longer-name/", error);
         }},
        {"current child", kCurrentChildFile, "1\n",
         [](const std::string& folder, std::string* error) {
             // The note lives in children/ of the family's folder.
             const std::string family = QFileInfo(QString::fromStdString(folder + "..")).canonicalFilePath().toStdString() + "/";
             return rememberChild(family, 1234567, error);
         }},
        {"class table", "class.csv", "name\r\n",
         [](const std::string& folder, std::string* error) {
             ClassView view;
             view.children.push_back(childOf("たろう", ChildMerge{}));
             *error = writeWholeFile(folder + "class.csv", classCsv(view));
             return error->empty();
         }},
    };
    return rows;
}

// The folder of a row's file: children/ for the current child's note.
std::string folderFor(const QTemporaryDir& dir, const Writer& w) {
    const bool inChildren = std::string(w.file) == kCurrentChildFile;
    const QString at = inChildren ? dir.filePath(kChildrenFolder) : dir.path();
    QDir().mkpath(at);
    return at.toStdString() + "/";
}
}  // namespace

#ifdef __unix__
TEST(EveryWriter, AFullDiskKeepsTheOldFileAndNamesIt) {
    for (const Writer& w : writers()) {
        // No room at all, and room for part of the new file.
        for (const rlim_t more : {rlim_t(0), rlim_t(3)}) {
            SCOPED_TRACE(std::string(w.what) + ", room for " + std::to_string(more) + " bytes");
            QTemporaryDir dir;
            ASSERT_TRUE(dir.isValid());
            const std::string folder = folderFor(dir, w);
            const std::string path = folder + w.file;
            spit(path, w.old);
            const QStringList before = QDir(QString::fromStdString(folder)).entryList(QDir::NoDotAndDotDot | QDir::AllEntries);
            std::string error;
            bool written = true;
            {
                // An append finds the old bytes already on the disk.
                const rlim_t room = std::string(w.file) == kHistoryFileName ? rlim_t(w.old.size()) + more : more;
                FullDisk full(room);
                ASSERT_TRUE(full.ok());
                written = w.write(folder, &error);
            }
            EXPECT_FALSE(written);
            EXPECT_NE(error.find(path), std::string::npos) << error;
            EXPECT_EQ(slurp(path), w.old);
            EXPECT_EQ(QDir(QString::fromStdString(folder)).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), before);
            // The data was kept: the next write, with room, goes through.
            error.clear();
            EXPECT_TRUE(w.write(folder, &error)) << error;
            EXPECT_NE(slurp(path), w.old);
        }
    }
}

TEST(EveryWriter, ALockedFolderWithAWritableFileKeepsTheOldFile) {
    for (const Writer& w : writers()) {
        SCOPED_TRACE(w.what);
        LockedFolder locked(w.file, w.old, true);
        if (locked.bypassed) GTEST_SKIP() << "permission bits do not bind this user";
        if (std::string(w.file) == kCurrentChildFile) continue;  // its folder is children/, made by the program
        const std::string folder = locked.dir.path().toStdString() + "/";
        std::string error;
        // An append adds to the file itself and needs no file beside it.
        if (std::string(w.file) == kHistoryFileName) {
            EXPECT_TRUE(w.write(folder, &error)) << error;
            continue;
        }
        EXPECT_FALSE(w.write(folder, &error));
        EXPECT_NE(error.find(locked.path), std::string::npos) << error;
        EXPECT_EQ(slurp(locked.path), locked.old);
    }
}
#endif
