// Program entry: the application, the survey window (the main window) and
// the message loop.

#include "platform/Registry.h"
#include "plot/ZentoraIntervalPlotForm.h"
#include "settings/RegistryVariables.h"
#include "ui/AppIcon.h"
#include "survey/ZentoraTimingForm.h"

#include <QApplication>
#include <QByteArray>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

namespace {

// Qt reports a window system it cannot reach with several warnings and then
// a fatal error that aborts (and dumps core). A user who started the program
// without a display needs one line saying so, and an exit status. Warnings
// from start-up are held back until it is clear whether start-up worked.
QStringList* gHeldWarnings = nullptr;

void startupMessageHandler(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg) {
        const QByteArray display = qgetenv("DISPLAY");
        const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
        std::fprintf(stderr,
                     "ZentoraTiming: cannot open a window: no display could be reached "
                     "(DISPLAY=%s, WAYLAND_DISPLAY=%s)\n",
                     display.isEmpty() ? "unset" : display.constData(),
                     wayland.isEmpty() ? "unset" : wayland.constData());
        std::fflush(stderr);
        std::_Exit(2);
    }
    if (gHeldWarnings != nullptr) gHeldWarnings->append(message);
}

}  // namespace

int main(int argc, char* argv[]) {
    // Where the settings live is settled before any window exists.
    RegistryVariablesStartup(platform::registry::executablePath());

    QStringList heldWarnings;
    gHeldWarnings = &heldWarnings;
    qInstallMessageHandler(startupMessageHandler);
    QApplication application(argc, argv);
    qInstallMessageHandler(nullptr);
    gHeldWarnings = nullptr;
    for (const QString& warning : heldWarnings) std::fprintf(stderr, "%s\n", qPrintable(warning));
    QApplication::setApplicationName("Zentora Test");
    QApplication::setWindowIcon(ui::applicationIcon());
    // Lets desktops match the windows to the installed desktop entry.
    QGuiApplication::setDesktopFileName("com.kestrane.ZentoraTiming");

    TFormShowClocks FormShowClocks;
    TFormZentoraIntervalCheck FormZentoraIntervalCheck(&FormShowClocks);  // hidden until asked for
    FormShowClocks.setPlotWindow(&FormZentoraIntervalCheck);
    FormShowClocks.show();
    // The windows are destroyed on the way out of main(); the remembered
    // check box saves its state then.
    return QApplication::exec();
}
