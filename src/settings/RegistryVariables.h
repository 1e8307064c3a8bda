#pragma once
// Settings that outlive a run: each is a small object bound to one named
// value in the settings store. It reads its value when created and writes it
// back when destroyed; in between, changes stay in memory.
//
// Every setting of a program lives in the key
// <RegistryRootKey>\Software\<RegistryCompanyKey>\<ExeBaseName>, where
// ExeBaseName is the program file's name without folder and extension, as
// it is on disk. Renaming the program file therefore starts from fresh
// settings, and the old ones stay under the old name.

#include "platform/Registry.h"

#include <string>

// Chosen once by RegistryVariablesStartup() before any setting is created.
extern std::string RegistryCompanyKey;           // "Kestrane"
extern platform::registry::Root RegistryRootKey;  // HKEY_CURRENT_USER

// Picks the company and root key from the program file's name: a program
// file named quillbar(.exe), in any case, keeps its settings machine-wide
// under "Ferrowyn"; every other name per user under "Kestrane".
void RegistryVariablesStartup(const std::string& executablePath);

// The program file's name without folder and extension.
std::string ExeBaseName(const std::string& executablePath);

class TRegistryVariable {
public:
    explicit TRegistryVariable(const std::string& valueName);
    virtual ~TRegistryVariable() = default;
    TRegistryVariable(const TRegistryVariable&) = delete;
    TRegistryVariable& operator=(const TRegistryVariable&) = delete;

    virtual void Save() = 0;

    const std::string& valueName() const { return FValueName; }
    const std::string& keyPath() const { return FKeyPath; }
    platform::registry::Root rootKey() const { return FRootKey; }

protected:
    std::string FValueName;
    std::string FKeyPath;
    platform::registry::Root FRootKey;
};

// A Boolean setting, stored as a DWORD: 1 for true, 0 for false; any
// non-zero DWORD reads as true. Every failure of the store is silent: a
// missing, unreadable or wrongly typed value leaves the default, and a
// refused write loses the new value without a word.
class TRegistryBoolean : public TRegistryVariable {
public:
    // Bound to the value and loaded from the store, `defaultValue` where the
    // store has nothing usable. There is no unloaded form: destroying one
    // writes its value, so every instance holds the stored or default one.
    TRegistryBoolean(const std::string& valueName, bool defaultValue);
    // Saves the value.
    ~TRegistryBoolean() override;

    bool Value() const { return FValue; }
    void setValue(bool value) { FValue = value; }

    void Save() override;

private:
    void Load();

    bool FValue = false;
};
