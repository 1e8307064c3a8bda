#pragma once
// Points the settings store's root folders at a fresh temporary folder for
// the life of the object, so tests never touch the real home or /etc.

#include "platform/RegistryFiles.h"

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
    static void write(const QString& file, const QByteArray& content) {
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile f(file);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(content);
    }

private:
    QTemporaryDir dir_;
};

}  // namespace testsupport
