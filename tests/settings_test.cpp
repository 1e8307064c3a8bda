// Remembered settings on the Linux settings store, with its root folders in
// a temporary folder.

#include "support/QtPrinters.h"
#include "support/TempSettingsRoots.h"

#include "platform/RegistryFiles.h"
#include "settings/KestraneCheckBox.h"
#include "settings/RegistryVariables.h"

#include <QFileInfo>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <unistd.h>

#include <memory>

namespace {

using platform::registry::Root;
using testsupport::TempSettingsRoots;

class Settings : public ::testing::Test {
protected:
    Settings() { RegistryVariablesStartup("/opt/zentora/bin/ZentoraTiming"); }
    ~Settings() override { RegistryVariablesStartup("/opt/zentora/bin/ZentoraTiming"); }

    QString userFile() const { return roots.userRoot() + "/Kestrane/ZentoraTiming.conf"; }

    // Creates a setting, reads its value, lets it save on destruction.
    static bool loadThenSave(bool defaultValue) { return TRegistryBoolean("StartWithPlot", defaultValue).Value(); }

    TempSettingsRoots roots;
};

TEST_F(Settings, FirstRunUsesTheDefaultAndCreatesKeyAndValueAtTheEnd) {
    for (const bool defaultValue : {false, true}) {
        SCOPED_TRACE(defaultValue);
        QFile::remove(userFile());
        {
            TRegistryBoolean setting("StartWithPlot", defaultValue);
            EXPECT_EQ(setting.Value(), defaultValue);
            EXPECT_EQ(setting.keyPath(), "\\Software\\Kestrane\\ZentoraTiming");
            EXPECT_FALSE(QFileInfo::exists(userFile()));  // nothing written before the end
        }
        EXPECT_EQ(TempSettingsRoots::read(userFile()),
                  QByteArray("[General]\nStartWithPlot=") + (defaultValue ? "1" : "0") + "\n");
    }
}

TEST_F(Settings, StoredDWordsReadAsBooleansAndAreWrittenBackAsOneOrZero) {
    struct Case {
        const char* stored;
        bool expected;
        const char* writtenBack;
    };
    for (const Case& c : {Case{"5", true, "1"}, Case{"1", true, "1"}, Case{"0", false, "0"},
                          Case{"4294967295", true, "1"}}) {
        SCOPED_TRACE(c.stored);
        TempSettingsRoots::write(userFile(), QByteArray("[General]\nStartWithPlot=") + c.stored + "\n");
        EXPECT_EQ(loadThenSave(!c.expected), c.expected);
        EXPECT_EQ(TempSettingsRoots::read(userFile()),
                  QByteArray("[General]\nStartWithPlot=") + c.writtenBack + "\n");
    }
}

TEST_F(Settings, ValueOfAnotherTypeIsIgnoredAndOverwritten) {
    for (const char* stored : {"yes", "true", "-1", "4294967296", "0x1", "1.0", "\"\"", "a, b"}) {
        SCOPED_TRACE(stored);
        TempSettingsRoots::write(userFile(), QByteArray("[General]\nStartWithPlot=") + stored + "\n");
        EXPECT_TRUE(loadThenSave(true));
        EXPECT_EQ(TempSettingsRoots::read(userFile()), "[General]\nStartWithPlot=1\n");
    }
}

TEST_F(Settings, SavingKeepsEverythingElseInTheFile) {
    TempSettingsRoots::write(userFile(),
                             "[General]\nOther=keep me\nStartWithPlot=0\n\n[Window]\nleft=192\n");
    {
        TRegistryBoolean setting("StartWithPlot", false);
        setting.setValue(true);
    }
    const QByteArray saved = TempSettingsRoots::read(userFile());
    EXPECT_TRUE(saved.contains("Other=keep me")) << saved.toStdString();
    EXPECT_TRUE(saved.contains("StartWithPlot=1")) << saved.toStdString();
    EXPECT_TRUE(saved.contains("[Window]\nleft=192")) << saved.toStdString();
}

TEST_F(Settings, ValueChangesStayInMemoryUntilDestruction) {
    TempSettingsRoots::write(userFile(), "[General]\nStartWithPlot=0\n");
    auto setting = std::make_unique<TRegistryBoolean>("StartWithPlot", false);
    setting->setValue(true);
    EXPECT_EQ(TempSettingsRoots::read(userFile()), "[General]\nStartWithPlot=0\n");
    setting.reset();
    EXPECT_EQ(TempSettingsRoots::read(userFile()), "[General]\nStartWithPlot=1\n");
}

TEST_F(Settings, BrokenStoresAreSilentAndKeepTheDefault) {
    // The folder that should hold the file is a file.
    TempSettingsRoots::write(roots.userRoot() + "/Kestrane", "not a folder");
    EXPECT_TRUE(loadThenSave(true));
    EXPECT_FALSE(loadThenSave(false));
    EXPECT_EQ(TempSettingsRoots::read(roots.userRoot() + "/Kestrane"), "not a folder");
    QFile::remove(roots.userRoot() + "/Kestrane");

    // A folder stands where the file should be.
    QDir().mkpath(userFile());
    EXPECT_TRUE(loadThenSave(true));
    EXPECT_TRUE(QFileInfo(userFile()).isDir());
    QDir(userFile()).removeRecursively();

    // A damaged file: nothing read, and a save does not replace it with the
    // part that could be parsed.
    const QByteArray damaged("\x00\x01garbage\n[Gen\nStartWithPlot=1\n\xff\xfe", 30);
    TempSettingsRoots::write(userFile(), damaged);
    EXPECT_FALSE(loadThenSave(false));
    EXPECT_EQ(TempSettingsRoots::read(userFile()), damaged);
}

TEST_F(Settings, FilePermissionsAreRespectedSilently) {
    if (geteuid() == 0) GTEST_SKIP() << "root reads and writes whatever the permissions say";
    TempSettingsRoots::write(userFile(), "[General]\nStartWithPlot=1\n");
    QFile::setPermissions(userFile(), QFileDevice::WriteOwner);  // unreadable
    EXPECT_FALSE(loadThenSave(false));
    QFile::setPermissions(userFile(), QFileDevice::ReadOwner);  // read-only
    {
        TRegistryBoolean setting("StartWithPlot", false);
        EXPECT_TRUE(setting.Value());
        setting.setValue(false);
    }
    EXPECT_EQ(TempSettingsRoots::read(userFile()), "[General]\nStartWithPlot=1\n");
}

TEST_F(Settings, RenamedProgramFileUsesAnotherKey) {
    TempSettingsRoots::write(userFile(), "[General]\nStartWithPlot=1\n");
    RegistryVariablesStartup("/home/me/bin/Zentora.Copy");
    TRegistryBoolean setting("StartWithPlot", false);
    EXPECT_EQ(setting.keyPath(), "\\Software\\Kestrane\\Zentora");
    EXPECT_FALSE(setting.Value());
}

TEST_F(Settings, QuillbarInAnyCaseKeepsItsSettingsMachineWide) {
    for (const char* path : {"/usr/bin/quillbar", "C:\\Tools\\QuillBar.exe", "/opt/QUILLBAR.EXE"}) {
        SCOPED_TRACE(path);
        RegistryVariablesStartup(path);
        EXPECT_EQ(RegistryCompanyKey, "Ferrowyn");
        EXPECT_EQ(RegistryRootKey, Root::LocalMachine);
        TRegistryBoolean setting("StartWithPlot", false);
        EXPECT_EQ(setting.rootKey(), Root::LocalMachine);
        EXPECT_EQ(setting.keyPath(), "\\Software\\Ferrowyn\\" + ExeBaseName(path));
    }
    // Stored in the machine-wide folder, with the case of the file name.
    QFile::remove(roots.machineRoot() + "/Ferrowyn/QuillBar.conf");
    RegistryVariablesStartup("/usr/bin/QuillBar");
    EXPECT_FALSE(loadThenSave(false));
    EXPECT_TRUE(QFileInfo::exists(roots.machineRoot() + "/Ferrowyn/QuillBar.conf"));
    EXPECT_FALSE(QFileInfo::exists(roots.userRoot() + "/Ferrowyn"));

    // Where the machine-wide store cannot be written, the default every
    // time, and no complaint.
    platform::registry::setRootFolder(Root::LocalMachine, (roots.machineRoot() + "/blocked/etc").toStdString());
    TempSettingsRoots::write(roots.machineRoot() + "/blocked", "a file, not a folder");
    for (int run = 0; run < 2; ++run) {
        TRegistryBoolean setting("StartWithPlot", false);
        EXPECT_FALSE(setting.Value());
        setting.setValue(true);
    }
    RegistryVariablesStartup("/usr/bin/ZentoraTiming");
    EXPECT_EQ(RegistryCompanyKey, "Kestrane");
    EXPECT_EQ(RegistryRootKey, Root::CurrentUser);
}

TEST(ExeBaseName, DropsFolderAndLastExtensionKeepingCase) {
    EXPECT_EQ(ExeBaseName("/usr/bin/ZentoraTiming"), "ZentoraTiming");
    EXPECT_EQ(ExeBaseName("C:\\Program Files\\Zentora\\ZentoraTiming.exe"), "ZentoraTiming");
    EXPECT_EQ(ExeBaseName("QuillBar.EXE"), "QuillBar");
    EXPECT_EQ(ExeBaseName("/opt/my.tool.bin"), "my.tool");
}

TEST(KeyFile, MapsKeysOntoFilesUnderTheRoot) {
    TempSettingsRoots roots;
    EXPECT_EQ(platform::registry::keyFile(Root::CurrentUser, "\\Software\\Kestrane\\ZentoraTiming"),
              (roots.userRoot() + "/Kestrane/ZentoraTiming.conf").toStdString());
    EXPECT_EQ(platform::registry::keyFile(Root::LocalMachine, "\\Software\\Ferrowyn\\quillbar"),
              (roots.machineRoot() + "/Ferrowyn/quillbar.conf").toStdString());
    // A key name cannot lead out of the root folder.
    EXPECT_EQ(platform::registry::keyFile(Root::CurrentUser, "\\Software\\..\\..\\etc\\passwd"), "");
    EXPECT_EQ(platform::registry::openKey(Root::CurrentUser, "\\Software\\..\\x", true), nullptr);
}

// The remembered check box.
class RememberedCheckBox : public Settings {};

TEST_F(RememberedCheckBox, RestoringAStoredTrueRunsNoClickHandler) {
    TempSettingsRoots::write(userFile(), "[General]\nStartWithPlot=1\n");
    TKestraneCheckBox box("Start with plot");
    box.setObjectName("CheckBoxStartWithPlot");
    box.setNamedAs("StartWithPlot");
    // A handler may listen on any of the signals a user's click emits; a
    // change of state alone emits toggled and stateChanged.
    QSignalSpy clicked(&box, &QCheckBox::clicked);
    QSignalSpy toggled(&box, &QCheckBox::toggled);
    QSignalSpy stateChanged(&box, &QCheckBox::stateChanged);
    box.Loaded();
    EXPECT_TRUE(box.isChecked());
    EXPECT_EQ(clicked.count(), 0);
    EXPECT_EQ(toggled.count(), 0);
    EXPECT_EQ(stateChanged.count(), 0);

    // The handlers stay attached: the user's click reaches them.
    box.click();
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(toggled.count(), 1);
    EXPECT_EQ(stateChanged.count(), 1);
}

TEST_F(RememberedCheckBox, EmptyNamedAsUsesTheObjectName) {
    {
        TKestraneCheckBox box("Start with plot");
        box.setObjectName("CheckBoxStartWithPlot");
        box.Loaded();
        EXPECT_EQ(box.NamedAs(), "CheckBoxStartWithPlot");
        box.setChecked(true);
    }
    EXPECT_EQ(TempSettingsRoots::read(userFile()), "[General]\nCheckBoxStartWithPlot=1\n");
}

TEST_F(RememberedCheckBox, LoadsOnceAndWritesOnlyWhenDestroyed) {
    TempSettingsRoots::write(userFile(), "[General]\nStartWithPlot=0\n");
    auto box = std::make_unique<TKestraneCheckBox>("Start with plot");
    box->setNamedAs("StartWithPlot");
    box->setChecked(true);  // the design-time state, overridden by the stored 0
    box->Loaded();
    EXPECT_FALSE(box->isChecked());
    const TRegistryBoolean* setting = box->registryBoolean();

    // A second notification reads nothing again.
    TempSettingsRoots::write(userFile(), "[General]\nStartWithPlot=1\n");
    box->Loaded();
    EXPECT_EQ(box->registryBoolean(), setting);
    EXPECT_FALSE(box->isChecked());

    TempSettingsRoots::write(userFile(), "[General]\nStartWithPlot=0\n");
    box->click();
    EXPECT_TRUE(box->isChecked());
    EXPECT_EQ(TempSettingsRoots::read(userFile()), "[General]\nStartWithPlot=0\n");
    box.reset();
    EXPECT_EQ(TempSettingsRoots::read(userFile()), "[General]\nStartWithPlot=1\n");
}

TEST_F(RememberedCheckBox, DesignTimeStateIsTheDefault) {
    {
        TKestraneCheckBox box("x");
        box.setNamedAs("StartWithPlot");
        box.setChecked(true);
        box.Loaded();
        EXPECT_TRUE(box.isChecked());
    }
    EXPECT_EQ(TempSettingsRoots::read(userFile()), "[General]\nStartWithPlot=1\n");
}

TEST_F(RememberedCheckBox, NeverLoadedSavesNothing) {
    { TKestraneCheckBox box("x"); }
    EXPECT_FALSE(QFileInfo::exists(roots.userRoot() + "/Kestrane"));
}

}  // namespace
