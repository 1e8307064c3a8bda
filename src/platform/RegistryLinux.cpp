// Linux backend of the settings store: registry keys as INI files.
//
// QSettings reads and writes the files: it keeps the other keys and
// sections of a file when one value changes, and it replaces the file
// atomically (write a temporary file, then rename), so a crash or a full
// disk during a save leaves the old file whole.

#if !defined(__linux__)
#error "This implementation is for Linux; the build picks one backend per OS."
#endif

#include "platform/RegistryFiles.h"

#include <QDateTime>
#include <QDir>
#include <QHash>
#include <QFileInfo>
#include <QSettings>
#include <QString>
#include <QStringList>

#include <pwd.h>
#include <unistd.h>

#include <array>
#include <cstdlib>

namespace platform::registry {
namespace {

std::string gCurrentUserFolder;
std::string gLocalMachineFolder;

// QSettings parses a file once per process and serves later instances from
// its cache, which then report no error. So the backend remembers which
// files (as they were on disk) failed to parse, and never writes over them.
struct FileStamp {
    qint64 size = -1;
    QDateTime modified;
    bool operator==(const FileStamp&) const = default;
};
QHash<QString, FileStamp> gDamagedFiles;

FileStamp stampOf(const QString& file) {
    const QFileInfo info(file);
    return {info.size(), info.lastModified()};
}

// Whether `settings`, just opened on `file`, can be trusted with it.
bool parsedCleanly(const QSettings& settings, const QString& file) {
    if (settings.status() == QSettings::FormatError) {
        gDamagedFiles.insert(file, stampOf(file));
        return false;
    }
    if (settings.status() != QSettings::NoError) return false;
    const auto damaged = gDamagedFiles.constFind(file);
    if (damaged == gDamagedFiles.cend()) return true;
    if (*damaged == stampOf(file)) return false;
    gDamagedFiles.erase(damaged);  // replaced since; QSettings has read it afresh
    return true;
}

std::string homeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
    if (const passwd* pw = getpwuid(getuid()); pw != nullptr && pw->pw_dir != nullptr) return pw->pw_dir;
    return "/";
}


// A DWORD is written as an unsigned decimal number and nothing else.
bool parseDWord(const QString& text, std::uint32_t& value) {
    if (text.isEmpty() || text.size() > 10) return false;
    std::uint64_t n = 0;
    for (const QChar c : text) {
        if (c < '0' || c > '9') return false;
        n = n * 10 + static_cast<std::uint64_t>(c.unicode() - '0');
    }
    if (n > 0xFFFFFFFFULL) return false;
    value = static_cast<std::uint32_t>(n);
    return true;
}

class FileKey final : public Key {
public:
    explicit FileKey(const QString& file) : file_(file) {}

    ReadResult readDWord(const std::string& name, std::uint32_t& value) override {
        QSettings settings(file_, QSettings::IniFormat);
        if (!parsedCleanly(settings, file_)) return ReadResult::Failed;
        const QVariant stored = settings.value(QString::fromStdString(name));
        if (!stored.isValid()) return ReadResult::Missing;
        // A list or other structured value is not a number either.
        if (stored.typeId() != QMetaType::QString) return ReadResult::OtherType;
        return parseDWord(stored.toString(), value) ? ReadResult::Ok : ReadResult::OtherType;
    }

    bool writeDWord(const std::string& name, std::uint32_t value) override {
        QSettings settings(file_, QSettings::IniFormat);
        // A file QSettings cannot parse would be rewritten from the part it
        // understood; leave it alone rather than lose the rest of it.
        if (!parsedCleanly(settings, file_)) return false;
        settings.setValue(QString::fromStdString(name), QString::number(value));
        settings.sync();
        return settings.status() == QSettings::NoError;
    }

private:
    QString file_;
};

}  // namespace

std::string rootFolder(Root root) {
    if (root == Root::LocalMachine) return gLocalMachineFolder.empty() ? "/etc/xdg" : gLocalMachineFolder;
    if (!gCurrentUserFolder.empty()) return gCurrentUserFolder;
    // An XDG_CONFIG_HOME that is not absolute is to be ignored.
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/') return xdg;
    return homeFolder() + "/.config";
}

void setRootFolder(Root root, const std::string& folder) {
    (root == Root::LocalMachine ? gLocalMachineFolder : gCurrentUserFolder) = folder;
}

// "\Software\Kestrane\ZentoraTiming" -> <root>/Kestrane/ZentoraTiming.conf:
// the "Software" level is implied by the configuration folder itself.
std::string keyFile(Root root, const std::string& path) {
    QStringList parts = QString::fromStdString(path).split('\\', Qt::SkipEmptyParts);
    if (!parts.isEmpty() && parts.front().compare("Software", Qt::CaseInsensitive) == 0) parts.pop_front();
    QString file = QString::fromStdString(rootFolder(root));
    for (const QString& part : parts) {
        // A key name never climbs out of the root.
        if (part == "." || part == ".." || part.contains('/')) return {};
        file += '/' + part;
    }
    if (parts.isEmpty()) return {};
    return (file + ".conf").toStdString();
}

bool keyExists(Root root, const std::string& path) {
    const std::string file = keyFile(root, path);
    return !file.empty() && QFileInfo::exists(QString::fromStdString(file));
}

std::unique_ptr<Key> openKey(Root root, const std::string& path, bool create) {
    const std::string file = keyFile(root, path);
    if (file.empty()) return nullptr;
    const QFileInfo info(QString::fromStdString(file));
    if (info.exists()) {
        if (!info.isFile()) return nullptr;
    } else {
        if (!create) return nullptr;
        if (!QDir().mkpath(info.absolutePath())) return nullptr;
    }
    return std::make_unique<FileKey>(info.absoluteFilePath());
}

std::string executablePath() {
    std::array<char, 4096> buffer{};
    const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    return n > 0 ? std::string(buffer.data(), static_cast<std::size_t>(n)) : std::string();
}

}  // namespace platform::registry
