#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <unistd.h>

#include "main/core/UserFiles.h"

namespace {

struct Folders {
    Folders() {
        exe = dir.filePath("prog").toStdString() + "/";
        config = dir.filePath("home/.config/app").toStdString();
        QDir().mkpath(QString::fromStdString(exe));
    }
    ~Folders() { QFile::setPermissions(QString::fromStdString(exe), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); }
    void put(const std::string& path) {
        QDir().mkpath(QFileInfo(QString::fromStdString(path)).absolutePath());
        QFile f(QString::fromStdString(path));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    void lockProgramFolder() { QFile::setPermissions(QString::fromStdString(exe), QFile::ReadOwner | QFile::ExeOwner); }
    bool permissionsBind() const { return access(exe.c_str(), W_OK) != 0; }
    std::string beside() const { return exe + "a.ini"; }
    std::string inConfig() const { return config + "/a.ini"; }
    QTemporaryDir dir;
    std::string exe, config;
};

}  // namespace

TEST(UserFiles, AWritableProgramFolderKeepsTheFilesBesideTheProgram) {
    Folders f;
    UserFileLocation at = locateUserFile("a.ini", f.exe, f.config);
    EXPECT_EQ(at.loadPath, f.beside());
    EXPECT_EQ(at.savePath, f.beside());
    f.put(f.beside());
    at = locateUserFile("a.ini", f.exe, f.config);
    EXPECT_EQ(at.savePath, f.beside());
}

TEST(UserFiles, AFileAlreadyInTheConfigurationFolderIsUsedWhenNoneIsBesideTheProgram) {
    Folders f;
    f.put(f.inConfig());
    const UserFileLocation at = locateUserFile("a.ini", f.exe, f.config);
    EXPECT_EQ(at.loadPath, f.inConfig());
    EXPECT_EQ(at.savePath, f.inConfig());
}

TEST(UserFiles, ALockedProgramFolderSavesToTheConfigurationFolder) {
    Folders f;
    f.lockProgramFolder();
    if (!f.permissionsBind()) GTEST_SKIP() << "permission bits do not bind this user";
    const UserFileLocation at = locateUserFile("a.ini", f.exe, f.config);
    EXPECT_EQ(at.savePath, f.inConfig());
    ASSERT_TRUE(makeFolderOf(at.savePath));
    EXPECT_TRUE(QDir(QString::fromStdString(f.config)).exists());
}

TEST(UserFiles, ALockedFolderWithAWritableFileSavesToTheConfigurationFolder) {
    Folders f;
    f.put(f.beside());
    f.lockProgramFolder();
    if (!f.permissionsBind()) GTEST_SKIP() << "permission bits do not bind this user";
    const UserFileLocation at = locateUserFile("a.ini", f.exe, f.config);
    EXPECT_EQ(at.loadPath, f.beside());
    EXPECT_EQ(at.savePath, f.inConfig());
}

TEST(UserFiles, ALockedReadOnlyFileIsReadUntilTheUsersOwnCopyExists) {
    Folders f;
    f.put(f.beside());
    QFile::setPermissions(QString::fromStdString(f.beside()), QFile::ReadOwner);
    f.lockProgramFolder();
    if (!f.permissionsBind()) GTEST_SKIP() << "permission bits do not bind this user";
    UserFileLocation at = locateUserFile("a.ini", f.exe, f.config);
    EXPECT_EQ(at.loadPath, f.beside());
    EXPECT_EQ(at.savePath, f.inConfig());
    f.put(f.inConfig());
    at = locateUserFile("a.ini", f.exe, f.config);
    EXPECT_EQ(at.loadPath, f.inConfig());
}
