#pragma once
// Linux only: the folders that stand for the registry's root keys.
//
// HKEY_CURRENT_USER is $XDG_CONFIG_HOME (or ~/.config), HKEY_LOCAL_MACHINE
// is /etc/xdg. A key "\Software\<Company>\<Program>" is the file
// <root>/<Company>/<Program>.conf; its values are name=value lines, and a
// DWORD is an unsigned 32-bit decimal number.

#include "platform/Registry.h"

#include <string>

namespace platform::registry {

// The folder that stands for `root`.
std::string rootFolder(Root root);
// Points `root` at another folder (empty: back to the default), so tests
// never touch the real home or /etc.
void setRootFolder(Root root, const std::string& folder);
// The file that holds the key `path` under `root`.
std::string keyFile(Root root, const std::string& path);

}  // namespace platform::registry
