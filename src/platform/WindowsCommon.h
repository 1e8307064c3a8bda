#pragma once
// Windows only: what the Windows backends share — the Windows headers with
// their min/max macros off, UTF-8 <-> UTF-16 conversion (the layer speaks
// UTF-8, the wide Win32 API UTF-16), and the program file's own path.

#if !defined(_WIN32)
#error "This header is for the Windows backends only."
#endif

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>
#include <vector>

namespace platform::win {

inline std::string toUtf8(const wchar_t* text, int length) {
    if (length <= 0) return {};
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, utf8.data(), bytes, nullptr, nullptr);
    return utf8;
}

inline std::wstring toWide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

// The full path of the running program's file; empty if it cannot be had.
inline std::wstring moduleFileName() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) return std::wstring(path.data(), n);
        path.resize(path.size() * 2);  // truncated: try a larger buffer
    }
}

}  // namespace platform::win
