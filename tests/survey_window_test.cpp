// The survey window on the simulated clock layer, headless.

#include "platform/SimulatedClocks.h"
#include "plot/ZentoraIntervalPlotForm.h"
#include "settings/KestraneCheckBox.h"
#include "support/SimulatedSurveyText.h"
#include "support/TempSettingsRoots.h"
#include "survey/ZentoraTimingForm.h"
#include "support/QtPrinters.h"

#include <qcustomplot.h>

#include "report/ReportCli.h"
#include "report/SurveyReport.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTextStream>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace {

class SurveyWindow : public ::testing::Test {
protected:
    SurveyWindow() {
        config.tickPeriod = 1000000;
        config.fileTimePeriod = 4000000;
    }
    ~SurveyWindow() override {
        QLocale::setDefault(QLocale::c());
        QApplication::setFont(originalFont);  // QFont() is not the platform's font
    }

    // Creates both windows as the program does. `startWithPlot`, if given,
    // stands in for the box's state as loaded before the first show.
    TFormShowClocks& open(std::optional<bool> startWithPlot = std::nullopt,
                          const std::function<void()>& beforeShow = {}) {
        platform::sim::reset(config);
        form = std::make_unique<TFormShowClocks>();
        plotForm = std::make_unique<TFormZentoraIntervalCheck>(form.get());
        form->setPlotWindow(plotForm.get());
        if (beforeShow) beforeShow();
        if (startWithPlot) form->CheckBoxStartWithPlot->setChecked(*startWithPlot);
        form->show();
        // The show handler has run inside show(); what it did is taken down
        // before the event loop runs, which may fire its timer at any time.
        atShow = {form->Timer2->isActive(), form->Timer2->interval(), plotForm->isVisible()};
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        return *form;
    }

    // Waits for the event, never for a length of time: a loaded machine
    // may take long to get there.
    static constexpr int kPatienceMs = 60000;

    // Presses "Refresh" and waits (in real time) for the survey, which runs
    // in virtual time, to finish.
    void refreshAndWait() {
        QTest::mouseClick(form->ButtonRefresh, Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([this] { return form->ButtonRefresh->isEnabled(); }, kPatienceMs));
    }

    QList<QLabel*> resultLabels() const {
        return {form->LabelClock,       form->LabelTickCount,          form->LabelGetCPUSpeed,
                form->LabelTimerCapabilities, form->LabelTimerResolution, form->LabelTimeGetTime,
                form->LabelTimeQPC,     form->LabelNowTime,            form->LabelGetTickCountResolution,
                form->LabelSysTimeAsFileTimeRes};
    }

    // Every control lies inside the window and is as large as its text needs.
    void expectNothingClipped() {
        const QRect client = form->rect();
        for (QWidget* w : form->findChildren<QWidget*>()) {
            if (!w->isVisible()) continue;
            EXPECT_TRUE(client.contains(w->geometry())) << w->objectName().toStdString();
        }
        for (QLabel* l : form->findChildren<QLabel*>()) {
            EXPECT_GE(l->width(), l->sizeHint().width()) << l->text().toStdString();
            EXPECT_GE(l->height(), l->fontMetrics().height()) << l->text().toStdString();
        }
        const QLineEdit* edit = form->EditStaticTextSystemTimeAdjustment;
        EXPECT_GE(edit->width(), edit->fontMetrics().horizontalAdvance(edit->text()));
        for (QPushButton* b : form->findChildren<QPushButton*>()) {
            EXPECT_GE(b->width(), b->fontMetrics().horizontalAdvance(b->text().remove('&')));
        }
        // Rows do not overlap one another.
        QList<QWidget*> rows;
        for (QLabel* l : form->findChildren<QLabel*>()) rows.append(l);
        rows.append(form->EditStaticTextSystemTimeAdjustment);
        for (QWidget* a : rows) {
            for (QWidget* b : rows) {
                if (a == b) continue;
                EXPECT_FALSE(a->geometry().intersects(b->geometry()))
                    << a->objectName().toStdString() << " / " << b->objectName().toStdString();
            }
        }
    }

    // Ends the "program": destroys the windows as main() does.
    void closeProgram() {
        form->close();
        plotForm.reset();
        form.reset();
    }

    struct {
        bool timer2Active = false;
        int timer2Interval = 0;
        bool plotVisible = false;
    } atShow;
    const QFont originalFont = QApplication::font();
    testsupport::TempSettingsRoots settingsRoots;  // declared first: outlives the windows
    platform::sim::Config config;
    std::unique_ptr<TFormShowClocks> form;
    std::unique_ptr<TFormZentoraIntervalCheck> plotForm;
};

TEST_F(SurveyWindow, StartsWithTheFrequencyMeasuredAndPlaceholdersElsewhere) {
    open();
    EXPECT_EQ(form->windowTitle(), "Zentora Frequencies - V1.2.3.4");
    EXPECT_EQ(form->LabelFrequency->text(), "Performance counter frequency: 10 MHz");
    EXPECT_EQ(form->frequency(), 10000000);
    EXPECT_EQ(form->LabelClock->text(), "Clock speed from RDTSC ...");
    EXPECT_EQ(form->LabelTickCount->text(), "Time for GetTickCount() call ...");
    EXPECT_EQ(form->LabelTimeQPC->text(), "Time for QueryPerformanceCounter() call ...");
    EXPECT_EQ(form->LabelGetCPUSpeed->text(), "GetCPUSpeed value ...");
    EXPECT_EQ(form->EditStaticTextSystemTimeAdjustment->text(), "SystemTimeAdjustment values ...");
    EXPECT_EQ(form->LabelTimerCapabilities->text(), "Timer resolution range ...");
    EXPECT_EQ(form->LabelTimeGetTime->text(), "Time for timeGetTime() call ...");
    EXPECT_EQ(form->LabelTimerResolution->text(), "timeGetTime resolution ...");
    EXPECT_EQ(form->LabelNowTime->text(), "Time for Now() call");
    EXPECT_EQ(form->LabelGetTickCountResolution->text(), "GetTickCount resolution ...");
    EXPECT_EQ(form->LabelSysTimeAsFileTimeRes->text(), "GetSystemTimeAsFileTime resolution ...");
    EXPECT_EQ(form->ButtonClose->text(), "&Close");
    EXPECT_EQ(form->CheckBoxStartWithPlot->text(), "Start with plot");
    EXPECT_FALSE(form->CheckBoxStartWithPlot->isChecked());
    EXPECT_EQ(form->LabelGetCPUSpeed->toolTip(), "From: CPUSpeed routine");
    EXPECT_EQ(form->EditStaticTextSystemTimeAdjustment->toolTip(), "From: System Time Adjustment");
    EXPECT_TRUE(form->EditStaticTextSystemTimeAdjustment->isReadOnly());
    EXPECT_FALSE(form->Timer1->isActive());
    EXPECT_FALSE(form->Timer2->isActive());
    // Nothing but the frequency query ran: no virtual time spent sleeping.
    EXPECT_EQ(platform::sim::counts().sleeps, 0);
    expectNothingClipped();
}

TEST_F(SurveyWindow, CloseHasTheFocusAndTabOrderFollowsTheDesign) {
    open();
    QApplication::setActiveWindow(form.get());
    EXPECT_TRUE(form->ButtonClose->hasFocus());
    const QList<QWidget*> order{form->EditStaticTextSystemTimeAdjustment, form->ButtonRefresh,
                                form->ButtonPlot, form->CheckBoxStartWithPlot, form->ButtonClose};
    for (QWidget* expected : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), expected) << expected->objectName().toStdString();
    }
}

TEST_F(SurveyWindow, DesignGeometryWithTheDesignFontSize) {
    QFont small = QApplication::font();
    small.setPixelSize(11);
    QApplication::setFont(small);
    open();
    EXPECT_EQ(form->LabelFrequency->pos(), QPoint(16, 16));
    EXPECT_EQ(form->LabelSysTimeAsFileTimeRes->pos(), QPoint(16, 280));
    EXPECT_EQ(form->EditStaticTextSystemTimeAdjustment->pos(), QPoint(16, 136));
    EXPECT_EQ(form->ButtonRefresh->geometry().topLeft(), QPoint(8, 336));
    EXPECT_EQ(form->ButtonClose->geometry().topLeft(), QPoint(322, 336));
    EXPECT_EQ(form->height(), 371);
    EXPECT_GE(form->width(), 403);
}

TEST_F(SurveyWindow, RefreshGreysButtonsThenRunsTheSurveyAfterHalfASecond) {
    open();
    QTest::mouseClick(form->ButtonRefresh, Qt::LeftButton);
    EXPECT_FALSE(form->ButtonRefresh->isEnabled());
    EXPECT_FALSE(form->ButtonPlot->isEnabled());
    EXPECT_TRUE(form->ButtonClose->isEnabled());
    EXPECT_TRUE(form->Timer1->isActive());
    EXPECT_EQ(form->Timer1->interval(), 500);
    EXPECT_EQ(platform::sim::now(), 0);  // pending: nothing measured yet

    ASSERT_TRUE(QTest::qWaitFor([this] { return form->ButtonRefresh->isEnabled(); }, kPatienceMs));
    EXPECT_TRUE(form->ButtonPlot->isEnabled());
    EXPECT_FALSE(form->Timer1->isActive());
    EXPECT_TRUE(form->ButtonRefresh->hasFocus());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);  // busy cursor gone

    EXPECT_EQ(form->LabelClock->text(), "Clock speed from RDTSC: ~3000 MHz");
    EXPECT_EQ(form->LabelTickCount->text(), "Time for GetTickCount call ~249.8 ns");
    EXPECT_EQ(form->EditStaticTextSystemTimeAdjustment->text(), "TimeAdj=156250, TimeIncr=156250, disabled");
    EXPECT_EQ(form->LabelTimerResolution->text(), QString::fromUtf8("timeGetTime resolution: 1000.0 µs"));
    EXPECT_EQ(form->LabelGetTickCountResolution->toolTip(), "1500 calls");
    EXPECT_EQ(form->LabelSysTimeAsFileTimeRes->text(),
              QString::fromUtf8("GetSystemTimeAsFileTime resolution: 4000.0 µs  (std.dev=0.0 µs)"));
    EXPECT_EQ(form->LabelSysTimeAsFileTimeRes->toolTip(), "median & std. dev. over 391 intervals");
    for (QLabel* l : resultLabels()) {
        EXPECT_TRUE(l->isEnabled()) << l->text().toStdString();
        EXPECT_FALSE(l->text().endsWith("...")) << l->text().toStdString();
    }
    expectNothingClipped();
}

TEST_F(SurveyWindow, SecondRefreshOverwritesTextsButNotTheCaption) {
    open();
    refreshAndWait();
    const QString caption = form->windowTitle();
    const QString frequency = form->LabelFrequency->text();
    const QString firstCost = form->LabelTimeQPC->text();

    platform::sim::config().performanceCounterCost = 900;
    refreshAndWait();
    EXPECT_EQ(form->windowTitle(), caption);
    EXPECT_EQ(form->LabelFrequency->text(), frequency);
    EXPECT_NE(form->LabelTimeQPC->text(), firstCost);
    EXPECT_EQ(form->LabelTimeQPC->text(), "Time for QueryPerformanceCounter call ~899.1 ns");
}

TEST_F(SurveyWindow, NoPerformanceCounterShowsZeroMegahertz) {
    config.hasPerformanceCounter = false;
    open();
    EXPECT_EQ(form->LabelFrequency->text(), "Performance counter frequency: 0 MHz");
    refreshAndWait();
    EXPECT_EQ(form->LabelTimerResolution->text(), "timeGetTime resolution: n/a (no performance counter)");
    EXPECT_EQ(form->LabelGetCPUSpeed->text(), "GetCPUspeed gives: 0.00 MHz");
}

TEST_F(SurveyWindow, MissingVersionLeavesTheCaptionEndingInV) {
    config.fileVersion = "";
    open();
    EXPECT_EQ(form->windowTitle(), "Zentora Frequencies - V");
}

TEST_F(SurveyWindow, FiguresFollowTheLocaleDecimalSeparator) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    config.performanceFrequency = 3579545;
    open();
    EXPECT_EQ(form->LabelFrequency->text(), "Performance counter frequency: 3,579545 MHz");
    refreshAndWait();
    EXPECT_EQ(form->LabelGetTickCountResolution->text(), "GetTickCount resolution: 1,00 ms");
}

TEST_F(SurveyWindow, GrowsInsteadOfClippingWithALargeFont) {
    QFont large = QApplication::font();
    large.setPixelSize(24);
    QApplication::setFont(large);
    config.timeAdjustmentSucceeds = false;
    config.errorMessage = "A rather long system message that needs far more room than the design gave it.";
    open();
    expectNothingClipped();
    refreshAndWait();
    expectNothingClipped();
    EXPECT_GT(form->height(), 371);
}

TEST_F(SurveyWindow, PlotShowsThePlotWindowCentredWithoutCapturing) {
    open();
    QTest::mouseClick(form->ButtonPlot, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(plotForm.get()));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_FALSE(plotForm->isModal());
    // Centred, to the pixel that odd sizes allow.
    EXPECT_LE((plotForm->frameGeometry().center() - form->frameGeometry().center()).manhattanLength(), 2);
    EXPECT_EQ(plotForm->Series1->dataCount(), 0);
    EXPECT_EQ(plotForm->LabelSysTimeAsFileTimeRes->text(), "SystemTimeAsFileTimeResolution");
    EXPECT_EQ(platform::sim::now(), 0);
    EXPECT_FALSE(form->Timer2->isActive());
}

TEST_F(SurveyWindow, StartWithPlotOpensThePlotAndCapturesOnce) {
    open(true);
    EXPECT_TRUE(atShow.timer2Active);
    EXPECT_EQ(atShow.timer2Interval, 100);
    EXPECT_FALSE(atShow.plotVisible);
    ASSERT_TRUE(QTest::qWaitFor([this] { return plotForm->Series1->dataCount() > 0; }, kPatienceMs));
    EXPECT_TRUE(plotForm->isVisible());
    EXPECT_FALSE(form->Timer2->isActive());
    EXPECT_EQ(plotForm->LabelStats->text(),
              "Mean from 390 \"clean\" intervals, median & std. dev. over 390 intervals");
    // The survey itself waits for "Refresh".
    EXPECT_EQ(form->LabelClock->text(), "Clock speed from RDTSC ...");

    // Minimising and restoring the window shows it again: no new capture.
    const std::int64_t afterCapture = platform::sim::now();
    form->showMinimized();
    form->showNormal();
    // A show handler would have started the timer by now; let any event
    // that is due run, then nothing may have been measured.
    EXPECT_FALSE(form->Timer2->isActive());
    QCoreApplication::processEvents();
    EXPECT_FALSE(form->Timer2->isActive());
    EXPECT_EQ(platform::sim::now(), afterCapture);
}

// Counts the paint events each watched widget receives.
class PaintCounter : public QObject {
public:
    void watch(QWidget* w) {
        w->installEventFilter(this);
        paints[w] = 0;
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints[watched];
        return false;
    }
    std::map<QObject*, int> paints;
};

TEST_F(SurveyWindow, StartWithPlotDrawsThePlotWindowBeforeItsCaptureBlocks) {
    // The capture blocks the event loop: whatever the window has not drawn
    // by then stays blank on the screen until the capture ends.
    PaintCounter counter;
    bool exposedAtCapture = false;
    std::map<QObject*, int> paintsAtCapture;
    open(true, [&] {
        for (QWidget* w : {static_cast<QWidget*>(plotForm.get()), static_cast<QWidget*>(plotForm->ChartDeltas),
                           static_cast<QWidget*>(plotForm->LabelSysTimeAsFileTimeRes),
                           static_cast<QWidget*>(plotForm->LabelStats),
                           static_cast<QWidget*>(plotForm->ButtonRefresh)}) {
            counter.watch(w);
        }
        // pressed comes before clicked, which runs the capture.
        QObject::connect(plotForm->ButtonRefresh, &QPushButton::pressed, [&] {
            exposedAtCapture = plotForm->windowHandle() != nullptr && plotForm->windowHandle()->isExposed();
            paintsAtCapture = counter.paints;
        });
    });
    ASSERT_TRUE(QTest::qWaitFor([this] { return plotForm->Series1->dataCount() > 0; }, kPatienceMs));
    EXPECT_TRUE(exposedAtCapture);
    for (const auto& [widget, paints] : paintsAtCapture) {
        EXPECT_GE(paints, 1) << widget->objectName().toStdString() << " not drawn before the capture";
    }
    EXPECT_EQ(paintsAtCapture.size(), 5U);
}

TEST_F(SurveyWindow, StartWithPlotIsRememberedAcrossRuns) {
    open();
    EXPECT_FALSE(form->CheckBoxStartWithPlot->isChecked());
    QTest::mouseClick(form->CheckBoxStartWithPlot, Qt::LeftButton);
    ASSERT_TRUE(form->CheckBoxStartWithPlot->isChecked());
    closeProgram();
    EXPECT_EQ(testsupport::TempSettingsRoots::read(settingsRoots.userRoot() + "/Kestrane/survey_window_test.conf"),
              "[General]\nStartWithPlot=1\n");

    // The next start opens the plot and captures without being asked.
    open();
    EXPECT_TRUE(form->CheckBoxStartWithPlot->isChecked());
    ASSERT_TRUE(QTest::qWaitFor([this] { return plotForm->Series1->dataCount() > 0; }, kPatienceMs));
    EXPECT_TRUE(plotForm->isVisible());

    // Unchecked at the end of that run: the start after it stays quiet.
    QTest::mouseClick(form->CheckBoxStartWithPlot, Qt::LeftButton);
    closeProgram();
    open();
    EXPECT_FALSE(form->CheckBoxStartWithPlot->isChecked());
    EXPECT_FALSE(atShow.timer2Active);
}

// Keeping the figures: the lines on the clipboard, the report in a file.
class SurveyWindowKeeps : public SurveyWindow {
protected:
    void openWithContext() {
        open();
        report::SystemContext context;
        context.os = "Simulated OS";
        context.architecture = "x86_64";
        context.clocksource = "tsc";
        context.hypervisor = "none";
        form->setReportContext([context] { return context; });
    }
    QMessageBox* message() const { return form->findChild<QMessageBox*>(); }
    QTemporaryDir folder;
};

TEST_F(SurveyWindowKeeps, CtrlCCopiesEveryLineAsShownWithItsHint) {
    openWithContext();
    refreshAndWait();
    QApplication::setActiveWindow(form.get());
    QTest::keyClick(form.get(), Qt::Key_C, Qt::ControlModifier);
    const QString expected = QString::fromUtf8(ZENTORA_SIMULATED_SURVEY_LINES);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), expected);
    EXPECT_EQ(message(), nullptr);
}

TEST_F(SurveyWindowKeeps, AStepWithoutResultIsCopiedAsTheReportPrintsIt) {
    config.devCapsResult = 97;
    openWithContext();
    refreshAndWait();
    form->copyResults();
    EXPECT_TRUE(QGuiApplication::clipboard()->text().contains("\nTimer resolution range ... (no result)\n"));
}

TEST_F(SurveyWindowKeeps, BeforeTheFirstSurveyNothingIsCopiedOrSaved) {
    openWithContext();
    QGuiApplication::clipboard()->setText("what the user had");
    QApplication::setActiveWindow(form.get());
    QTest::keyClick(form.get(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "what the user had");
    ASSERT_NE(message(), nullptr);
    EXPECT_EQ(message()->text(), "Nothing measured yet: click Refresh to run the survey first.");
    EXPECT_NE(message()->windowModality(), Qt::ApplicationModal);  // the other window stays usable

    const QString file = folder.filePath("early.json");
    EXPECT_EQ(form->saveReport(file), "Nothing measured yet: click Refresh to run the survey first.");
    EXPECT_FALSE(QFileInfo::exists(file));
}

TEST_F(SurveyWindowKeeps, ContextMenuOffersCopyAndSave) {
    openWithContext();
    EXPECT_EQ(form->contextMenuPolicy(), Qt::CustomContextMenu);
    std::unique_ptr<QMenu> menu(form->createContextMenu(form.get()));
    QStringList texts;
    for (const QAction* a : menu->actions()) texts << a->text();
    EXPECT_EQ(texts, (QStringList{"Copy results", QString::fromUtf8("Save report…")}));
    EXPECT_EQ(menu->actions()[0]->shortcut(), QKeySequence(QKeySequence::Copy));
}

TEST_F(SurveyWindowKeeps, SavedReportIsTheTerminalReportsSchemaAndCompares) {
    openWithContext();
    refreshAndWait();
    const QString file = folder.filePath("window.json");
    ASSERT_EQ(form->saveReport(file), "");

    QString error;
    const auto loaded = report::loadReport(file, error);
    ASSERT_TRUE(loaded) << error.toStdString();
    ASSERT_FALSE(loaded->figures.empty());
    EXPECT_EQ(loaded->figures[0].key, "performanceCounterFrequency");
    EXPECT_DOUBLE_EQ(loaded->figures[0].value, 10000000);
    const auto qpc = std::find_if(loaded->figures.begin(), loaded->figures.end(),
                                  [](const survey::Figure& f) { return f.key == "queryPerformanceCounterCallCost"; });
    ASSERT_NE(qpc, loaded->figures.end());
    EXPECT_NEAR(qpc->value, 399.6, 0.05);

    QFile json(file);
    ASSERT_TRUE(json.open(QIODevice::ReadOnly));
    const QJsonObject root = QJsonDocument::fromJson(json.readAll()).object();
    form->copyResults();
    EXPECT_EQ(root.value("lines").toVariant().toStringList(),
              QGuiApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts));
    EXPECT_EQ(root.value("context").toObject().value("os").toString(), "Simulated OS");

    // zentora-survey --compare reads it.
    QString outText;
    QString errText;
    QTextStream out(&outText);
    QTextStream err(&errText);
    EXPECT_EQ(report::surveyMain({"zentora-survey", "--compare", file, file}, out, err, report::CliEnvironment{}), 0)
        << errText.toStdString();
    EXPECT_TRUE(outText.contains("Time for a QueryPerformanceCounter call")) << outText.toStdString();

    // A folder that is not there: the reason, and no file.
    const QString bad = folder.filePath("missing/window.json");
    EXPECT_TRUE(form->saveReport(bad).startsWith("Could not write the report to ")) << form->saveReport(bad).toStdString();
    EXPECT_FALSE(QFileInfo::exists(bad));
}

TEST_F(SurveyWindow, CloseEndsTheProgram) {
    open();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));

    QTest::keyClick(form->windowHandle(), Qt::Key_C, Qt::AltModifier);
    // A mnemonic animates the press before it clicks.
    EXPECT_TRUE(QTest::qWaitFor([this] { return !form->isVisible(); }, kPatienceMs));
    // Closing the last window that quits on close ends the event loop.
    EXPECT_TRUE(form->testAttribute(Qt::WA_QuitOnClose));
    EXPECT_TRUE(QApplication::quitOnLastWindowClosed());
}

}  // namespace
