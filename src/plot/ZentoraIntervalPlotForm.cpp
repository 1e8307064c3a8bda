#include "plot/ZentoraIntervalPlotForm.h"

#include "plot/IntervalAnalysis.h"
#include "ui/DesignScale.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QLabel>
#include <QLineSeries>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QValueAxis>

#include <algorithm>

namespace {

// The window as designed for an 8-point Tahoma; see ui::designScale.
constexpr int kDesignWidth = 735;
constexpr int kDesignHeight = 341;

}  // namespace

TFormZentoraIntervalCheck::TFormZentoraIntervalCheck(QWidget* centreOn)
    : QWidget(nullptr, Qt::Window), FCentreOn(centreOn), FFormat(QLocale().decimalPoint().toStdString()) {
    setObjectName("FormZentoraIntervalCheck");
    setWindowTitle("Intervals from GetSystemTime AsFileTime");
    // The survey window is the main window: closing it ends the program even
    // while this one is open.
    setAttribute(Qt::WA_QuitOnClose, false);
    createControls();
    // The design font; where Tahoma is missing the font system picks its
    // nearest match.
    QFont font("Tahoma");
    font.setPointSize(8);
    setFont(font);
    layOut();
}

void TFormZentoraIntervalCheck::createControls() {
    ButtonRefresh = new QPushButton("Refresh", this);
    ButtonRefresh->setObjectName("ButtonRefresh");
    ButtonRefresh->setAutoDefault(false);

    FChart = new QChart();
    FChart->setTitle("Difference in sucessive calls to GetSystemTimeAsFileTime");
    FChart->legend()->hide();
    FChart->setBackgroundRoundness(0);
    Series1 = new QLineSeries(FChart);
    Series1->setObjectName("Series1");
    Series1->setColor(Qt::red);
    Series1->setPointsVisible(false);
    FChart->addSeries(Series1);
    FLeftAxis = new QValueAxis(FChart);
    FLeftAxis->setTitleText(QString::fromUtf8("Time difference in µs"));
    FLeftAxis->setTickType(QValueAxis::TicksDynamic);
    FLeftAxis->setTickAnchor(0);
    FLeftAxis->setLabelFormat("%.0f");
    const plot::AxisRange initial = plot::automaticAxis(plot::kAxisMinUs, 100);
    FLeftAxis->setRange(plot::kAxisMinUs, initial.max);
    FLeftAxis->setTickInterval(initial.tickInterval);
    FBottomAxis = new QValueAxis(FChart);
    FBottomAxis->setLabelFormat("%.0f");
    FBottomAxis->setTickType(QValueAxis::TicksDynamic);
    FBottomAxis->setTickAnchor(0);
    FBottomAxis->setRange(0, 1);
    FBottomAxis->setTickInterval(1);
    FChart->addAxis(FLeftAxis, Qt::AlignLeft);
    FChart->addAxis(FBottomAxis, Qt::AlignBottom);
    Series1->attachAxis(FLeftAxis);
    Series1->attachAxis(FBottomAxis);
    ChartDeltas = new QChartView(FChart, this);
    ChartDeltas->setObjectName("ChartDeltas");
    ChartDeltas->setRenderHint(QPainter::Antialiasing, false);

    LabelSysTimeAsFileTimeRes = new QLabel("SystemTimeAsFileTimeResolution", this);
    LabelSysTimeAsFileTimeRes->setObjectName("LabelSysTimeAsFileTimeRes");
    LabelSysTimeAsFileTimeRes->setTextFormat(Qt::PlainText);  // "&" stays literal
    LabelStats = new QLabel("Measurement counts", this);
    LabelStats->setObjectName("LabelStats");
    LabelStats->setTextFormat(Qt::PlainText);

    CheckBoxMMTimer = new QCheckBox("MM Timer", this);
    CheckBoxMMTimer->setObjectName("CheckBoxMMTimer");
    CheckBoxMMTimer->setToolTip("Enable to run with the Multi Media Timer enabled");

    setTabOrder(ButtonRefresh, ChartDeltas);
    setTabOrder(ChartDeltas, CheckBoxMMTimer);
    ButtonRefresh->setFocus();

    connect(ButtonRefresh, &QPushButton::clicked, this, &TFormZentoraIntervalCheck::ButtonRefreshClick);
}

int TFormZentoraIntervalCheck::scaled(int designPixels) const { return ui::scaled(designPixels, FScale); }

void TFormZentoraIntervalCheck::layOut() {
    FScale = ui::designScale(font());
    const int buttonHeight = ui::buttonHeight(font(), FScale);
    ButtonRefresh->resize(std::max(scaled(65), ButtonRefresh->sizeHint().width()), buttonHeight);
    CheckBoxMMTimer->resize(std::max(scaled(89), CheckBoxMMTimer->sizeHint().width()),
                            std::max(scaled(17), CheckBoxMMTimer->sizeHint().height()));
    LabelSysTimeAsFileTimeRes->adjustSize();
    LabelStats->adjustSize();
    resize(scaled(kDesignWidth), scaled(kDesignHeight));
    setMinimumHeight(height());
    placeControls();
    growToFit();
}

// The chart is anchored on all four sides; the row below it keeps its
// distance from the bottom edge.
void TFormZentoraIntervalCheck::placeControls() {
    const int bottom = height();
    ChartDeltas->setGeometry(scaled(8), scaled(8), width() - scaled(16),
                             bottom - scaled(kDesignHeight - 289) - scaled(8));
    ButtonRefresh->move(scaled(8), bottom - scaled(kDesignHeight - 308));
    CheckBoxMMTimer->move(std::max(scaled(88), ButtonRefresh->geometry().right() + 1 + scaled(12)),
                          bottom - scaled(kDesignHeight - 312) -
                              (CheckBoxMMTimer->height() - scaled(17)) / 2);
    const int textLeft = std::max(scaled(208), CheckBoxMMTimer->geometry().right() + 1 + scaled(16));
    const int statsTop = bottom - scaled(kDesignHeight - 316);
    const int resultTop = std::min(bottom - scaled(kDesignHeight - 297), statsTop - LabelStats->height());
    LabelSysTimeAsFileTimeRes->move(textLeft, resultTop);
    LabelStats->move(textLeft, statsTop);
}

void TFormZentoraIntervalCheck::growToFit() {
    ui::growToFit(*this, scaled(8));
}

void TFormZentoraIntervalCheck::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeControls();
}

void TFormZentoraIntervalCheck::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) layOut();
}

void TFormZentoraIntervalCheck::showEvent(QShowEvent* event) {
    if (!FShownBefore && !event->spontaneous()) {
        FShownBefore = true;
        if (FCentreOn != nullptr) {
            QRect frame = frameGeometry();
            frame.moveCenter(FCentreOn->frameGeometry().center());
            // Centred, but never pushed off the screen by a small window
            // near its edge.
            if (const QScreen* screen = FCentreOn->screen()) {
                const QRect available = screen->availableGeometry();
                frame.moveLeft(std::clamp(frame.left(), available.left(),
                                          std::max(available.left(), available.right() + 1 - frame.width())));
                frame.moveTop(std::clamp(frame.top(), available.top(),
                                         std::max(available.top(), available.bottom() + 1 - frame.height())));
            }
            move(frame.topLeft());
        }
    }
    QWidget::showEvent(event);
}

void TFormZentoraIntervalCheck::ButtonRefreshClick() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The box is read once, so the period's end always matches its begin.
    const std::size_t count = plot::captureIntervalsUs(CheckBoxMMTimer->isChecked(), FSteps);
    if (count > 0) {
        const double* steps = FSteps.steps.data();
        const plot::IntervalAnalysis a = plot::analyseIntervals(steps, count, FFormat);

        if (a.mean > plot::kFixAxisAboveMeanUs) FLeftAxisFixed = true;
        QList<QPointF> points;
        points.reserve(static_cast<qsizetype>(count));
        double highest = steps[0];
        for (std::size_t i = 0; i < count; ++i) {
            points.append(QPointF(static_cast<double>(i), steps[i]));
            highest = std::max(highest, steps[i]);
        }
        // One replace() redraws once, where an append per point would
        // redraw two thousand times.
        Series1->replace(points);
        const plot::AxisRange range = FLeftAxisFixed
                                          ? plot::fixedAxis(plot::kAxisMinUs, plot::kFixedAxisMaxUs)
                                          : plot::automaticAxis(plot::kAxisMinUs, highest);
        FLeftAxis->setRange(plot::kAxisMinUs, range.max);
        FLeftAxis->setTickInterval(range.tickInterval);
        // The bottom axis spans exactly the points, labelled at round counts.
        const double lastIndex = std::max<double>(1, static_cast<double>(count - 1));
        FBottomAxis->setRange(0, lastIndex);
        FBottomAxis->setTickInterval(std::max(1.0, plot::automaticAxis(0, lastIndex).tickInterval));

        LabelSysTimeAsFileTimeRes->setText(QString::fromStdString(a.resultLine));
        LabelSysTimeAsFileTimeRes->adjustSize();
        LabelStats->setText(QString::fromStdString(a.statsLine));
        LabelStats->adjustSize();
        growToFit();
    }
    QApplication::restoreOverrideCursor();
}
