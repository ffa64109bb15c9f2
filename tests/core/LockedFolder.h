// A folder its owner may read but not write, holding one file: where an
// administrator installs the program for a child's account. Root ignores
// the bits (bypassed), so these tests run as an ordinary user.
#pragma once

#include <QFile>
#include <QTemporaryDir>

#include <string>
#include <utility>

#include <unistd.h>

#include "tests/core/FileBytes.h"

struct LockedFolder {
    LockedFolder(const char* name, std::string bytes, bool fileWritable)
        : path(dir.filePath(QString::fromUtf8(name)).toStdString()), old(std::move(bytes)) {
        spit(path, old);
        if (!fileWritable) QFile::setPermissions(QString::fromStdString(path), QFile::ReadOwner);
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        bypassed = access(dir.path().toLocal8Bit().constData(), W_OK) == 0;
    }
    ~LockedFolder() {
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::setPermissions(QString::fromStdString(path), QFile::ReadOwner | QFile::WriteOwner);
    }
    QTemporaryDir dir;
    std::string path;
    const std::string old;
    bool bypassed = false;
};
