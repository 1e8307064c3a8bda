#pragma once
// The settings store, with the registry's shape: root keys, key paths such
// as "\Software\Kestrane\ZentoraTiming", and named DWORD values.
//
// On Windows this is the registry itself. On Linux a key is an INI file
// (see RegistryLinux.cpp). Every operation reports failure by its result
// and never throws.

#include <cstdint>
#include <memory>
#include <string>

namespace platform::registry {

enum class Root : std::uint32_t {
    CurrentUser = 0x80000001,   // HKEY_CURRENT_USER
    LocalMachine = 0x80000002,  // HKEY_LOCAL_MACHINE
};

// An open key. Closing it (destroying the object) releases it.
class Key {
public:
    virtual ~Key() = default;

    enum class ReadResult { Ok, Missing, OtherType, Failed };
    // Reads a DWORD value. OtherType: a value of that name exists but is not
    // a DWORD.
    virtual ReadResult readDWord(const std::string& name, std::uint32_t& value) = 0;
    // Writes a DWORD value, replacing a value of any type of that name.
    virtual bool writeDWord(const std::string& name, std::uint32_t value) = 0;
};

// Whether the key exists (tested with read access only).
bool keyExists(Root root, const std::string& path);

// Opens the key for reading and writing; with `create`, creates it and any
// missing parent keys first. Null when that is refused or fails.
std::unique_ptr<Key> openKey(Root root, const std::string& path, bool create);

// The full path of the running program's file.
std::string executablePath();

}  // namespace platform::registry
