// The Windows backend against the real Win32 services (run under Wine in
// CI): what the survey and the settings rely on, without timing asserts.

#include "ZentoraVersion.h"
#include "format/ResultFormat.h"
#include "platform/Clocks.h"
#include "platform/SystemFacts.h"
#include "platform/Registry.h"
#include "settings/RegistryVariables.h"
#include "survey/ClockSurvey.h"

#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(WindowsClocks, TickCountsAreUnsigned32BitAndMoveTogether) {
    const std::uint32_t tick0 = platform::tickCount();
    const std::uint32_t mm0 = platform::multimediaTime();
    EXPECT_EQ(tick0, GetTickCount());  // the same service, not a lookalike
    Sleep(100);
    const std::uint32_t tickStep = platform::tickCount() - tick0;
    const std::uint32_t mmStep = platform::multimediaTime() - mm0;
    EXPECT_GE(tickStep, 80U);
    EXPECT_LT(tickStep, 60000U);
    EXPECT_GE(mmStep, 90U);
    EXPECT_LT(mmStep, 60000U);
}

TEST(WindowsClocks, FileTimeCountsHundredNanosecondsSince1601) {
    SYSTEMTIME st;
    GetSystemTime(&st);
    FILETIME ft;
    ASSERT_TRUE(SystemTimeToFileTime(&st, &ft));
    const std::uint64_t fromSystemTime = (static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    const std::uint64_t fileTime = platform::systemFileTime();
    EXPECT_NEAR(static_cast<double>(fileTime), static_cast<double>(fromSystemTime), 2e7);  // within 2 s
    // 2020-01-01 in file time units, as a sanity floor.
    EXPECT_GT(fileTime, 132223104000000000ULL);

    const double days = platform::localDateTime();
    EXPECT_GT(days, 43831.0);  // after 2020-01-01
}

TEST(WindowsClocks, SystemTimeAdjustmentSucceeds) {
    platform::TimeAdjustment adjustment;
    ASSERT_TRUE(platform::systemTimeAdjustment(adjustment)) << platform::lastError();
    EXPECT_GT(adjustment.increment, 0);
}

TEST(WindowsClocks, FailureTextUsesTheSystemMessageTrimmed) {
    // ERROR_INVALID_PARAMETER; the message table writes it with a full stop
    // and a line break.
    const std::string raw = platform::systemErrorMessage(ERROR_INVALID_PARAMETER);
    ASSERT_FALSE(raw.empty());
    const std::string text = survey::timeAdjustmentFailureText(ERROR_INVALID_PARAMETER, format::ResultFormatter());
    EXPECT_EQ(text, "EC=$57, " + survey::trimSystemMessage(raw));
    EXPECT_NE(text.back(), '.');
    EXPECT_GT(static_cast<unsigned char>(text.back()), 32);

    SetLastError(ERROR_ACCESS_DENIED);
    EXPECT_EQ(platform::lastError(), static_cast<std::uint32_t>(ERROR_ACCESS_DENIED));
}

TEST(WindowsClocks, MultimediaTimerRangeAndPeriodPairing) {
    platform::TimerCaps caps;
    ASSERT_EQ(platform::timerDevCaps(caps), 0U);
    EXPECT_GE(caps.periodMin, 1U);
    EXPECT_GE(caps.periodMax, caps.periodMin);
    EXPECT_EQ(platform::timerBeginPeriod(1), static_cast<std::uint32_t>(TIMERR_NOERROR));
    EXPECT_EQ(platform::timerEndPeriod(1), static_cast<std::uint32_t>(TIMERR_NOERROR));
}

TEST(WindowsProgramFile, VersionResourceCarriesTheProjectVersion) {
    EXPECT_EQ(platform::programFileVersion(), ZENTORA_FILE_VERSION);
}

TEST(WindowsProgramFile, ManifestAsksForInvokerRightsAndCommonControls6) {
    HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(resource, nullptr);
    HGLOBAL loaded = LoadResource(nullptr, resource);
    ASSERT_NE(loaded, nullptr);
    const std::string manifest(static_cast<const char*>(LockResource(loaded)), SizeofResource(nullptr, resource));
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
    EXPECT_NE(manifest.find("uiAccess=\"false\""), std::string::npos);
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
}

// The settings on the real registry, in the test's own key.
class WindowsRegistry : public ::testing::Test {
protected:
    void SetUp() override {
        RegistryVariablesStartup(platform::registry::executablePath());
        keyPath_ = L"Software\\Kestrane\\" + baseName();
        RegDeleteKeyW(HKEY_CURRENT_USER, keyPath_.c_str());
    }
    void TearDown() override { RegDeleteKeyW(HKEY_CURRENT_USER, keyPath_.c_str()); }

    static std::wstring baseName() {
        const std::string name = ExeBaseName(platform::registry::executablePath());
        return std::wstring(name.begin(), name.end());
    }

    // The stored value's type and, for a DWORD, its data.
    static bool readRaw(HKEY root, const std::wstring& key, DWORD& type, DWORD& data) {
        DWORD size = sizeof data;
        return RegGetValueW(root, key.c_str(), L"StartWithPlot", RRF_RT_ANY, &type, &data, &size) == ERROR_SUCCESS;
    }

    std::wstring keyPath_;
};

TEST_F(WindowsRegistry, FirstRunCreatesTheKeyWithADWord) {
    {
        TRegistryBoolean setting("StartWithPlot", true);
        EXPECT_TRUE(setting.Value());
        EXPECT_EQ(setting.keyPath(), "\\Software\\Kestrane\\" + ExeBaseName(platform::registry::executablePath()));
        EXPECT_FALSE(platform::registry::keyExists(platform::registry::Root::CurrentUser, setting.keyPath()));
    }
    DWORD type = 0, data = 0;
    ASSERT_TRUE(readRaw(HKEY_CURRENT_USER, keyPath_, type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(data, 1U);
    {
        TRegistryBoolean setting("StartWithPlot", true);
        setting.setValue(false);
    }
    ASSERT_TRUE(readRaw(HKEY_CURRENT_USER, keyPath_, type, data));
    EXPECT_EQ(data, 0U);
}

TEST_F(WindowsRegistry, DWordFiveReadsTrueAndAStringIsIgnored) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, keyPath_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    const DWORD five = 5;
    RegSetValueExW(key, L"StartWithPlot", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&five), sizeof five);
    EXPECT_TRUE(TRegistryBoolean("StartWithPlot", false).Value());
    DWORD type = 0, data = 0;
    ASSERT_TRUE(readRaw(HKEY_CURRENT_USER, keyPath_, type, data));
    EXPECT_EQ(data, 1U);  // written back as 1

    const wchar_t text[] = L"1";
    RegSetValueExW(key, L"StartWithPlot", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text);
    RegCloseKey(key);
    EXPECT_FALSE(TRegistryBoolean("StartWithPlot", false).Value());
    ASSERT_TRUE(readRaw(HKEY_CURRENT_USER, keyPath_, type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));  // overwritten with a DWORD
    EXPECT_EQ(data, 0U);
}

TEST_F(WindowsRegistry, QuillbarKeepsItsSettingsUnderLocalMachine) {
    RegistryVariablesStartup("C:\\Tools\\QuillBar.EXE");
    {
        TRegistryBoolean setting("StartWithPlot", true);
        EXPECT_EQ(setting.keyPath(), "\\Software\\Ferrowyn\\QuillBar");
        EXPECT_EQ(setting.rootKey(), platform::registry::Root::LocalMachine);
    }
    DWORD type = 0, data = 0;
    // Where the user may write there (Wine's user may), the value is there.
    if (readRaw(HKEY_LOCAL_MACHINE, L"Software\\Ferrowyn\\QuillBar", type, data)) {
        EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(data, 1U);
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"Software\\Ferrowyn\\QuillBar");
    }
    EXPECT_FALSE(readRaw(HKEY_CURRENT_USER, L"Software\\Ferrowyn\\QuillBar", type, data));
    RegistryVariablesStartup(platform::registry::executablePath());
}

// The system facts as Windows states them: what it cannot say is unknown.
TEST(WindowsFacts, SayWhatWindowsKnowsAndNothingElse) {
    EXPECT_EQ(platform::currentClocksource(), "unknown");
    EXPECT_EQ(platform::availableClocksources(), "");
    EXPECT_FALSE(platform::kernelTscMHz().has_value());
    EXPECT_EQ(platform::architecture(), "x86_64");
    EXPECT_FALSE(platform::hypervisor().empty());
    // The clock interrupt's period, from GetSystemTimeAdjustment.
    DWORD adjustment = 0, increment = 0;
    BOOL disabled = FALSE;
    ASSERT_TRUE(GetSystemTimeAdjustment(&adjustment, &increment, &disabled));
    EXPECT_EQ(platform::kernelTickNs(), static_cast<std::int64_t>(increment) * 100);
    EXPECT_FALSE(platform::outputIsTerminal());  // ctest reads our output through a pipe
    const auto reference = platform::tscReference();
    ASSERT_TRUE(reference.has_value());
    EXPECT_GT(reference->mhz, 0);
    EXPECT_FALSE(reference->source.empty());
}

}  // namespace
