// The interval plot window on the simulated clock layer, headless.

#include "platform/SimulatedClocks.h"
#include "plot/ZentoraIntervalPlotForm.h"
#include "support/QtPrinters.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QValueAxis>

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
    QChart* chart = form->ChartDeltas->chart();
    EXPECT_EQ(chart->title(), "Difference in sucessive calls to GetSystemTimeAsFileTime");
    EXPECT_FALSE(chart->legend()->isVisible());
    EXPECT_EQ(form->leftAxis()->titleText(), QString::fromUtf8("Time difference in µs"));
    EXPECT_DOUBLE_EQ(form->leftAxis()->min(), 37.5);
    EXPECT_EQ(form->Series1->color(), QColor(Qt::red));
    EXPECT_FALSE(form->Series1->pointsVisible());
    EXPECT_EQ(form->Series1->count(), 0);
    EXPECT_EQ(platform::sim::now(), 0);  // nothing measured on creation

    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    QApplication::setActiveWindow(form.get());
    EXPECT_TRUE(form->ButtonRefresh->hasFocus());
}

TEST_F(PlotWindow, WindowsTickFixesTheAxisAtTwentyThousandForGood) {
    QSignalSpy replaced(form->Series1, &QXYSeries::pointsReplaced);
    QSignalSpy added(form->Series1, &QXYSeries::pointAdded);
    capture();
    EXPECT_EQ(form->Series1->count(), 100);
    for (const QPointF& p : form->Series1->points()) EXPECT_DOUBLE_EQ(p.y(), 15625);
    EXPECT_DOUBLE_EQ(form->Series1->at(0).x(), 0);
    EXPECT_DOUBLE_EQ(form->Series1->at(99).x(), 99);
    EXPECT_EQ(result(),
              QString::fromUtf8("GSTAFT mean resolution: 15625.0 µs  (median = 15625.0 µs, std.dev = 0.0 µs)"));
    EXPECT_EQ(stats(), "Mean from 100 \"clean\" intervals, median & std. dev. over 100 intervals");
    EXPECT_TRUE(form->leftAxisMaximumFixed());
    EXPECT_DOUBLE_EQ(form->leftAxis()->max(), 20000);
    EXPECT_DOUBLE_EQ(form->leftAxis()->min(), 37.5);
    // The chart got the whole capture in one go.
    EXPECT_EQ(replaced.count(), 1);
    EXPECT_EQ(added.count(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // A later 1 ms capture keeps the fixed maximum.
    fileTimeStepsEvery(1000000);
    capture();
    EXPECT_GT(form->Series1->count(), 1500);
    EXPECT_TRUE(form->leftAxisMaximumFixed());
    EXPECT_DOUBLE_EQ(form->leftAxis()->max(), 20000);
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
        ASSERT_GT(form->Series1->count(), 100);
        EXPECT_EQ(form->leftAxisMaximumFixed(), c.fixed);
        if (c.fixed) {
            EXPECT_DOUBLE_EQ(form->leftAxis()->max(), 20000);
        }
    }
}

TEST_F(PlotWindow, MillisecondStepsKeepTheAxisAutomatic) {
    fileTimeStepsEvery(1000000);
    capture();
    EXPECT_EQ(form->Series1->count(), 1563);
    EXPECT_EQ(result(),
              QString::fromUtf8("GSTAFT mean resolution: 1000.0 µs  (median = 1000.0 µs, std.dev = 0.0 µs)"));
    EXPECT_EQ(stats(), "Mean from 1563 \"clean\" intervals, median & std. dev. over 1563 intervals");
    EXPECT_FALSE(form->leftAxisMaximumFixed());
    EXPECT_GE(form->leftAxis()->max(), 1050);
    EXPECT_LE(form->leftAxis()->max(), 1300);
    EXPECT_DOUBLE_EQ(form->bottomAxis()->max(), 1562);
}

TEST_F(PlotWindow, StepsOfOneAndAHalfOrHalfTheMedianAreNotClean) {
    for (const std::int64_t jump : {5000, -5000}) {  // 100 ns units: +0.5 ms, -0.5 ms
        SCOPED_TRACE(jump);
        platform::sim::reset(config);
        fileTimeStepsEvery(1000000);
        platform::sim::config().fileTimeJumpAt = 500000000;  // on a step, so it changes that step
        platform::sim::config().fileTimeJump = jump;
        capture();
        EXPECT_EQ(form->Series1->count(), 1563);
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
    for (const QPointF& p : form->Series1->points()) negative += p.y() < 0 ? 1 : 0;
    EXPECT_EQ(negative, 1);
    EXPECT_EQ(stats(), "Mean from 1562 \"clean\" intervals, median & std. dev. over 1563 intervals");
    EXPECT_EQ(result(),
              QString::fromUtf8("GSTAFT mean resolution: 1000.0 µs  (median = 1000.0 µs, std.dev = 50.6 µs)"));
}

TEST_F(PlotWindow, FileTimeChangingOnEveryCallFillsTwoThousandSteps) {
    fileTimeStepsEvery(100);
    capture();
    EXPECT_EQ(form->Series1->count(), 2000);
    EXPECT_TRUE(stats().endsWith("over 2000 intervals")) << stats().toStdString();
}

TEST_F(PlotWindow, NoChangeLeavesEverythingAndStillReleasesThePeriod) {
    capture();
    const QString before = result();
    const QString statsBefore = stats();
    const double axisMax = form->leftAxis()->max();

    fileTimeStepsEvery(0);
    form->CheckBoxMMTimer->setChecked(true);
    capture();
    EXPECT_EQ(form->Series1->count(), 100);
    EXPECT_EQ(result(), before);
    EXPECT_EQ(stats(), statsBefore);
    EXPECT_DOUBLE_EQ(form->leftAxis()->max(), axisMax);
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
    EXPECT_EQ(form->Series1->count(), 100);
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

}  // namespace
