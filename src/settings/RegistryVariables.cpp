#include "settings/RegistryVariables.h"

#include <algorithm>
#include <cctype>
#include <memory>

std::string RegistryCompanyKey = "Kestrane";
platform::registry::Root RegistryRootKey = platform::registry::Root::CurrentUser;

namespace {

// The program file set at start-up; until then, the running program's.
std::string gExecutablePath;

const std::string& executablePath() {
    if (gExecutablePath.empty()) gExecutablePath = platform::registry::executablePath();
    return gExecutablePath;
}

std::string fileName(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string upperCase(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::toupper(c); });
    return s;
}

}  // namespace

std::string ExeBaseName(const std::string& path) {
    std::string name = fileName(path);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return name;
}

void RegistryVariablesStartup(const std::string& path) {
    gExecutablePath = path;
    const std::string name = upperCase(fileName(path));
    if (name == "QUILLBAR.EXE" || name == "QUILLBAR") {
        RegistryCompanyKey = "Ferrowyn";
        RegistryRootKey = platform::registry::Root::LocalMachine;
    } else {
        RegistryCompanyKey = "Kestrane";
        RegistryRootKey = platform::registry::Root::CurrentUser;
    }
}

TRegistryVariable::TRegistryVariable(const std::string& valueName)
    : FValueName(valueName),
      FKeyPath("\\Software\\" + RegistryCompanyKey + "\\" + ExeBaseName(executablePath())),
      FRootKey(RegistryRootKey) {}

TRegistryBoolean::TRegistryBoolean(const std::string& valueName, bool defaultValue)
    : TRegistryVariable(valueName), FValue(defaultValue) {
    Load();
}

TRegistryBoolean::~TRegistryBoolean() { Save(); }

void TRegistryBoolean::Load() {
    using platform::registry::Key;
    if (!platform::registry::keyExists(FRootKey, FKeyPath)) return;
    const std::unique_ptr<Key> key = platform::registry::openKey(FRootKey, FKeyPath, false);
    if (!key) return;
    std::uint32_t stored = 0;
    if (key->readDWord(FValueName, stored) == Key::ReadResult::Ok) FValue = stored != 0;
}

void TRegistryBoolean::Save() {
    const auto key = platform::registry::openKey(FRootKey, FKeyPath, true);
    if (key) key->writeDWord(FValueName, FValue ? 1 : 0);
}
