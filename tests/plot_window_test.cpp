// The interval plot window on the simulated clock layer, headless.

#include "platform/SimulatedClocks.h"
#include "plot/ZentoraIntervalPlotForm.h"
#include "support/QtPrinters.h"

#include <qcustomplot.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <memory>

namespace {

class PlotWindow : public ::testing::Test {
protected:
    PlotWindow() {
        config.tickPeriod = 1000000;  // the capture's time limit, 1563 ms, to the ms
        config.fileTimePeriod = 15625000;
        platform::sim::reset(config);
        form = std::make_unique<TFormZentoraIntervalCheck>();
    }

    void capture() { QTest::mouseClick(form->ButtonRefresh, Qt::LeftButton); }

    // Changes the simulated file time from now on, keeping virtual time.
    static void fileTimeStepsEvery(std::int64_t ns) {
        platform::sim::config().fileTimePeriod = ns;
    }

    int points() const { return form->Series1->dataCount(); }
    double y(int i) const { return form->Series1->dataMainValue(i); }
    double x(int i) const { return form->Series1->dataMainKey(i); }
    double leftMax() const { return form->leftAxis()->range().upper; }
    double leftMin() const { return form->leftAxis()->range().lower; }

    QString result() const { return form->LabelSysTimeAsFileTimeRes->text(); }
    QString stats() const { return form->LabelStats->text(); }

    platform::sim::Config config;
    std::unique_ptr<TFormZentoraIntervalCheck> form;
};

TEST_F(PlotWindow, StartsHiddenWithItsDesignTexts) {
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->windowTitle(), "Intervals from GetSystemTime AsFileTime");
    EXPECT_EQ(result(), "SystemTimeAsFileTimeResolution");
    EXPECT_EQ(stats(), "Measurement counts");
    EXPECT_EQ(form->ButtonRefresh->text(), "Refresh");
    EXPECT_EQ(form->CheckBoxMMTimer->text(), "MM Timer");
    EXPECT_FALSE(form->CheckBoxMMTimer->isChecked());
    EXPECT_EQ(form->CheckBoxMMTimer->toolTip(), "Enable to run with the Multi Media Timer enabled");
    QCustomPlot* chart = form->ChartDeltas;
    auto* title = qobject_cast<QCPTextElement*>(chart->plotLayout()->element(0, 0));
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->text(), "Difference in sucessive calls to GetSystemTimeAsFileTime");
    EXPECT_EQ(chart->graphCount(), 1);
    EXPECT_FALSE(chart->legend->visible());
    EXPECT_FALSE(chart->legend->hasItemWithPlottable(form->Series1));
    EXPECT_EQ(form->leftAxis()->label(), QString::fromUtf8("Time difference in µs"));
    EXPECT_DOUBLE_EQ(leftMin(), 37.5);
    EXPECT_EQ(form->Series1->pen().color(), QColor(Qt::red));
    EXPECT_EQ(form->Series1->lineStyle(), QCPGraph::lsLine);
    EXPECT_TRUE(form->Series1->scatterStyle().isNone());
    EXPECT_EQ(points(), 0);
    EXPECT_EQ(platform::sim::now(), 0);  // nothing measured on creation

    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    QApplication::setActiveWindow(form.get());
    EXPECT_TRUE(form->ButtonRefresh->hasFocus());
}

TEST_F(PlotWindow, WindowsTickFixesTheAxisAtTwentyThousandForGood) {
    QSignalSpy drawn(form->ChartDeltas, &QCustomPlot::afterReplot);
    capture();
    EXPECT_EQ(points(), 100);
    for (int i = 0; i < points(); ++i) {
        EXPECT_DOUBLE_EQ(y(i), 15625);
        EXPECT_DOUBLE_EQ(x(i), i);
    }
    EXPECT_EQ(result(),
              QString::fromUtf8("GSTAFT mean resolution: 15625.0 µs  (median = 15625.0 µs, std.dev = 0.0 µs)"));
    EXPECT_EQ(stats(), "Mean from 100 \"clean\" intervals, median & std. dev. over 100 intervals");
    EXPECT_TRUE(form->leftAxisMaximumFixed());
    EXPECT_DOUBLE_EQ(leftMax(), 20000);
    EXPECT_DOUBLE_EQ(leftMin(), 37.5);
    // The chart got the whole capture in one go and drew it once.
    EXPECT_EQ(drawn.count(), 1);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // A later 1 ms capture keeps the fixed maximum.
    fileTimeStepsEvery(1000000);
    capture();
    EXPECT_GT(points(), 1500);
    EXPECT_TRUE(form->leftAxisMaximumFixed());
    EXPECT_DOUBLE_EQ(leftMax(), 20000);
}

// The axis is fixed by the mean of every step, strictly above 9500 µs: not
// by the median, and not at exactly 9500.
TEST_F(PlotWindow, OnlyAMeanStepAboveNineAndAHalfMillisecondsFixesTheAxis) {
    struct Case {
        const char* name;
        std::int64_t periodNs;
        std::int64_t jump;  // 100 ns units, at 0.5 s into the capture
        bool fixed;
    };
    const Case cases[] = {
        {"every step exactly 9500 µs", 9500000, 0, false},
        {"every step 9501 µs", 9501000, 0, true},
        {"median 9000 µs, mean above 9500 µs (clock set forward)", 9000000, 10000000, true},
        {"median 10000 µs, mean below 9500 µs (clock set back)", 10000000, -10000000, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform::sim::reset(config);
        form = std::make_unique<TFormZentoraIntervalCheck>();
        fileTimeStepsEvery(c.periodNs);
        platform::sim::config().fileTimeJumpAt = c.jump != 0 ? 500000000 : 0;
        platform::sim::config().fileTimeJump = c.jump;
        capture();
        ASSERT_GT(points(), 100);
        EXPECT_EQ(form->leftAxisMaximumFixed(), c.fixed);
        if (c.fixed) {
            EXPECT_DOUBLE_EQ(leftMax(), 20000);
        }
    }
}

TEST_F(PlotWindow, MillisecondStepsKeepTheAxisAutomatic) {
    fileTimeStepsEvery(1000000);
    capture();
    EXPECT_EQ(points(), 1563);
    EXPECT_EQ(result(),
              QString::fromUtf8("GSTAFT mean resolution: 1000.0 µs  (median = 1000.0 µs, std.dev = 0.0 µs)"));
    EXPECT_EQ(stats(), "Mean from 1563 \"clean\" intervals, median & std. dev. over 1563 intervals");
    EXPECT_FALSE(form->leftAxisMaximumFixed());
    EXPECT_GE(leftMax(), 1050);
    EXPECT_LE(leftMax(), 1300);
    EXPECT_DOUBLE_EQ(form->bottomAxis()->range().lower, 0);
    EXPECT_DOUBLE_EQ(form->bottomAxis()->range().upper, 1562);
}

TEST_F(PlotWindow, StepsOfOneAndAHalfOrHalfTheMedianAreNotClean) {
    for (const std::int64_t jump : {5000, -5000}) {  // 100 ns units: +0.5 ms, -0.5 ms
        SCOPED_TRACE(jump);
        platform::sim::reset(config);
        fileTimeStepsEvery(1000000);
        platform::sim::config().fileTimeJumpAt = 500000000;  // on a step, so it changes that step
        platform::sim::config().fileTimeJump = jump;
        capture();
        EXPECT_EQ(points(), 1563);
        EXPECT_EQ(stats(), "Mean from 1562 \"clean\" intervals, median & std. dev. over 1563 intervals");
        EXPECT_EQ(result(),
                  QString::fromUtf8("GSTAFT mean resolution: 1000.0 µs  (median = 1000.0 µs, std.dev = 12.6 µs)"));
    }
}

TEST_F(PlotWindow, BackwardStepIsPlottedAndCounted) {
    fileTimeStepsEvery(1000000);
    platform::sim::config().fileTimeJumpAt = 500000000;  // on a step, so it changes that step
    platform::sim::config().fileTimeJump = -20000;  // set back by 2 ms
    capture();
    int negative = 0;
    for (int i = 0; i < points(); ++i) negative += y(i) < 0 ? 1 : 0;
    EXPECT_EQ(negative, 1);
    EXPECT_EQ(stats(), "Mean from 1562 \"clean\" intervals, median & std. dev. over 1563 intervals");
    EXPECT_EQ(result(),
              QString::fromUtf8("GSTAFT mean resolution: 1000.0 µs  (median = 1000.0 µs, std.dev = 50.6 µs)"));
}

TEST_F(PlotWindow, FileTimeChangingOnEveryCallFillsTwoThousandSteps) {
    fileTimeStepsEvery(100);
    capture();
    EXPECT_EQ(points(), 2000);
    EXPECT_TRUE(stats().endsWith("over 2000 intervals")) << stats().toStdString();
}

TEST_F(PlotWindow, NoChangeLeavesEverythingAndStillReleasesThePeriod) {
    capture();
    const QString before = result();
    const QString statsBefore = stats();
    const double axisMax = leftMax();

    fileTimeStepsEvery(0);
    form->CheckBoxMMTimer->setChecked(true);
    capture();
    EXPECT_EQ(points(), 100);
    EXPECT_EQ(result(), before);
    EXPECT_EQ(stats(), statsBefore);
    EXPECT_DOUBLE_EQ(leftMax(), axisMax);
    EXPECT_EQ(platform::sim::counts().beginPeriods, 1);
    EXPECT_EQ(platform::sim::counts().endPeriods, 1);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(PlotWindow, MultimediaTimerPeriodBracketsEachCaptureOnlyWhenChecked) {
    capture();
    EXPECT_EQ(platform::sim::counts().beginPeriods, 0);
    form->CheckBoxMMTimer->setChecked(true);
    capture();
    capture();
    EXPECT_EQ(platform::sim::counts().beginPeriods, 2);
    EXPECT_EQ(platform::sim::counts().endPeriods, 2);
    EXPECT_EQ(platform::sim::counts().openPeriods, 0);
    EXPECT_FALSE(platform::sim::counts().endBeforeBegin);
}

TEST_F(PlotWindow, ClosingOnlyHidesAndKeepsThePlot) {
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    capture();
    const QString text = result();
    form->close();
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->testAttribute(Qt::WA_DeleteOnClose));
    form->show();
    EXPECT_EQ(points(), 100);
    EXPECT_EQ(result(), text);
}

TEST_F(PlotWindow, TextsFitWithALargeFont) {
    QFont large("Tahoma");
    large.setPixelSize(22);
    form = std::make_unique<TFormZentoraIntervalCheck>();
    form->setFont(large);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    platform::sim::config().fileTimeJumpAt = 500000000;  // on a step, so it changes that step
    platform::sim::config().fileTimeJump = -10000000;
    capture();
    for (QWidget* w : {static_cast<QWidget*>(form->LabelSysTimeAsFileTimeRes),
                       static_cast<QWidget*>(form->LabelStats)}) {
        EXPECT_TRUE(form->rect().contains(w->geometry())) << w->objectName().toStdString();
        EXPECT_GE(w->width(), w->sizeHint().width());
        EXPECT_FALSE(w->geometry().intersects(form->ChartDeltas->geometry()));
    }
    EXPECT_FALSE(form->LabelSysTimeAsFileTimeRes->geometry().intersects(form->LabelStats->geometry()));
}

// What a user keeps of a capture: the chart as an image, the steps as CSV.
class PlotWindowKeeps : public PlotWindow {
protected:
    PlotWindowKeeps() {
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        capture();
    }
    QString path(const QString& name) const { return folder.filePath(name); }
    QAction* menuAction(QMenu& menu, const QString& text) {
        for (QAction* a : menu.actions()) {
            if (a->text() == text) return a;
        }
        ADD_FAILURE() << "no menu entry " << text.toStdString();
        return nullptr;
    }
    QTemporaryDir folder;
};

TEST_F(PlotWindowKeeps, ContextMenuOffersSaveCopyAndReset) {
    std::unique_ptr<QMenu> menu(form->createChartMenu(form.get()));
    QStringList texts;
    for (const QAction* a : menu->actions()) texts << a->text();
    EXPECT_EQ(texts, (QStringList{QString::fromUtf8("Save image…"), "Copy data", "Reset view"}));
    EXPECT_EQ(form->ChartDeltas->contextMenuPolicy(), Qt::CustomContextMenu);

    QAction* copy = menuAction(*menu, "Copy data");
    ASSERT_NE(copy, nullptr);
    copy->trigger();
    const QStringList csv = QGuiApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(csv.size(), 101);  // the header and one line per step
    EXPECT_EQ(csv[0], QString::fromUtf8("index,step in µs"));
    EXPECT_EQ(csv[1], "0,15625");
    EXPECT_EQ(csv[100], "99,15625");

    // Nothing to copy from a window that has captured nothing yet.
    TFormZentoraIntervalCheck empty;
    std::unique_ptr<QMenu> emptyMenu(empty.createChartMenu(&empty));
    EXPECT_FALSE(menuAction(*emptyMenu, "Copy data")->isEnabled());
}

TEST_F(PlotWindowKeeps, CsvKeepsEveryStepExactlyInCaptureOrder) {
    fileTimeStepsEvery(1000000);
    platform::sim::config().fileTimeJumpAt = platform::sim::now() / 1000000 * 1000000 + 500000000;  // on a step
    platform::sim::config().fileTimeJump = -20001;  // 2.0001 ms back: a step of -1000.1 µs
    capture();
    const QStringList csv = form->chartDataCsv().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(csv.size(), points() + 1);
    int backwards = 0;
    for (int i = 0; i < points(); ++i) {
        const QStringList fields = csv[i + 1].split(',');
        ASSERT_EQ(fields.size(), 2);
        EXPECT_EQ(fields[0].toInt(), i);
        EXPECT_EQ(fields[1].toDouble(), y(i));
        if (fields[1] == "-1000.1") ++backwards;
    }
    EXPECT_EQ(backwards, 1);
}

TEST_F(PlotWindowKeeps, SavesTheChartInTheFormatItsNameAsksFor) {
    struct Case {
        const char* name;
        const char* written;  // the file that appears
        QByteArray magic;     // how the file starts
    };
    const Case cases[] = {
        {"chart.png", "chart.png", "\x89PNG"},
        {"chart", "chart.png", "\x89PNG"},
        {"chart.PDF", "chart.PDF", "%PDF"},
        {"chart.jpg", "chart.jpg", "\xff\xd8\xff"},
        {"chart.jpeg", "chart.jpeg", "\xff\xd8\xff"},
        {"chart.bmp", "chart.bmp", "BM"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(form->saveChartImage(path(c.name)), "");
        QFile file(path(c.written));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(file.read(c.magic.size()) == c.magic);
    }
    // A picture of the chart as it stands in the window.
    EXPECT_EQ(QImage(path("chart.png")).size(), form->ChartDeltas->size());
}

TEST_F(PlotWindowKeeps, AFileThatCannotBeWrittenSaysWhy) {
    const QString error = form->saveChartImage(path("no such folder/chart.png"));
    EXPECT_TRUE(error.startsWith("Could not write the image to ")) << error.toStdString();
    EXPECT_TRUE(error.contains("chart.png")) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path("no such folder/chart.png")));
}

TEST_F(PlotWindowKeeps, WheelAndDragMoveOnlyTheStepsAxisAndResetRestoresIt) {
    QCustomPlot* chart = form->ChartDeltas;
    EXPECT_TRUE(chart->interactions().testFlag(QCP::iRangeZoom));
    EXPECT_TRUE(chart->interactions().testFlag(QCP::iRangeDrag));
    const QString resultBefore = result();
    const QString statsBefore = stats();
    ASSERT_TRUE(form->leftAxisMaximumFixed());

    // Zoom in around the middle of the plot, as the wheel does.
    const QPoint centre = chart->axisRect()->rect().center();
    QWheelEvent wheel(centre, chart->mapToGlobal(centre), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(chart, &wheel);
    const QCPRange zoomed = form->bottomAxis()->range();
    EXPECT_LT(zoomed.size(), 99);
    // Pan along the steps.
    QTest::mousePress(chart, Qt::LeftButton, Qt::NoModifier, centre);
    QTest::mouseMove(chart, centre + QPoint(60, 40));
    QTest::mouseRelease(chart, Qt::LeftButton, Qt::NoModifier, centre + QPoint(60, 40));
    EXPECT_LT(form->bottomAxis()->range().lower, zoomed.lower);
    // The left axis and the figures stay as the capture set them.
    EXPECT_DOUBLE_EQ(leftMin(), 37.5);
    EXPECT_DOUBLE_EQ(leftMax(), 20000);
    EXPECT_EQ(result(), resultBefore);
    EXPECT_EQ(stats(), statsBefore);
    EXPECT_EQ(points(), 100);

    form->resetView();
    EXPECT_DOUBLE_EQ(form->bottomAxis()->range().lower, 0);
    EXPECT_DOUBLE_EQ(form->bottomAxis()->range().upper, 99);
    EXPECT_DOUBLE_EQ(leftMax(), 20000);
}

}  // namespace
