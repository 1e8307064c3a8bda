#pragma once
// Points the settings store's root folders at a fresh temporary folder for
// the life of the object, so tests never touch the real home or /etc.

#include "platform/RegistryFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

namespace testsupport {

class TempSettingsRoots {
public:
    TempSettingsRoots() {
        QDir(dir_.path()).mkpath("user");
        QDir(dir_.path()).mkpath("machine");
        platform::registry::setRootFolder(platform::registry::Root::CurrentUser, userRoot().toStdString());
        platform::registry::setRootFolder(platform::registry::Root::LocalMachine, machineRoot().toStdString());
    }
    ~TempSettingsRoots() {
        platform::registry::setRootFolder(platform::registry::Root::CurrentUser, "");
        platform::registry::setRootFolder(platform::registry::Root::LocalMachine, "");
    }
    TempSettingsRoots(const TempSettingsRoots&) = delete;
    TempSettingsRoots& operator=(const TempSettingsRoots&) = delete;

    QString userRoot() const { return dir_.path() + "/user"; }
    QString machineRoot() const { return dir_.path() + "/machine"; }

    static QByteArray read(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Writes a file as another program (or a person) would. QSettings
    // tells a changed file by its size and modification time, and a test
    // rewrites files far faster than anyone else would, so each write gets
    // a modification time of its own.
    static void write(const QString& file, const QByteArray& content) {
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
        f.write(content);
        f.flush();  // before setting the time, or the flush on close resets it
        static int writes = 0;
        f.setFileTime(QDateTime::currentDateTime().addSecs(++writes), QFileDevice::FileModificationTime);
    }

private:
    QTemporaryDir dir_;
};

}  // namespace testsupport
