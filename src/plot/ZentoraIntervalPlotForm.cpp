#include "plot/ZentoraIntervalPlotForm.h"

#include "capture/IntervalCapture.h"
#include "format/LocaleFormat.h"
#include "plot/ChartAxes.h"
#include "ui/DesignScale.h"
#include "ui/Message.h"

#include <qcustomplot.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>
#include <QWindow>

#include <algorithm>

namespace {

// The window as designed for an 8-point Tahoma; see ui::designScale.
constexpr int kDesignWidth = 735;
constexpr int kDesignHeight = 341;

}  // namespace

TFormZentoraIntervalCheck::TFormZentoraIntervalCheck(QWidget* centreOn)
    : QWidget(nullptr, Qt::Window), FCentreOn(centreOn), FFormat(format::localeFormatter()) {
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

    ChartDeltas = new QCustomPlot(this);
    ChartDeltas->setObjectName("ChartDeltas");
    ChartDeltas->setFocusPolicy(Qt::StrongFocus);  // in the tab order, as designed
    ChartDeltas->plotLayout()->insertRow(0);
    QFont titleFont = ChartDeltas->font();
    titleFont.setBold(true);
    ChartDeltas->plotLayout()->addElement(
        0, 0, new QCPTextElement(ChartDeltas, "Difference in sucessive calls to GetSystemTimeAsFileTime", titleFont));
    ChartDeltas->legend->setVisible(false);
    Series1 = ChartDeltas->addGraph();
    Series1->setName("Series1");
    Series1->setPen(QPen(Qt::red));
    Series1->setLineStyle(QCPGraph::lsLine);
    Series1->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssNone));
    Series1->removeFromLegend();
    // Whole-number labels: the left axis counts µs, the bottom axis steps.
    QCPAxis* left = leftAxis();
    left->setLabel(QString::fromUtf8("Time difference in µs"));
    left->setNumberFormat("f");
    left->setNumberPrecision(0);
    auto leftTicker = QSharedPointer<QCPAxisTickerFixed>::create();
    leftTicker->setScaleStrategy(QCPAxisTickerFixed::ssNone);
    left->setTicker(leftTicker);
    const plot::AxisRange initial = plot::automaticAxis(plot::kAxisMinUs, 100);
    FLeftMax = initial.max;
    FLeftTickStep = initial.tickInterval;
    QCPAxis* bottom = bottomAxis();
    bottom->setNumberFormat("f");
    bottom->setNumberPrecision(0);
    resetView();
    // The wheel zooms and dragging pans along the steps only: the left axis
    // stays as the capture set it, so a fixed 20000 µs stays fixed.
    ChartDeltas->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    ChartDeltas->axisRect()->setRangeDrag(Qt::Horizontal);
    ChartDeltas->axisRect()->setRangeZoom(Qt::Horizontal);
    ChartDeltas->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ChartDeltas, &QWidget::customContextMenuRequested, this, &TFormZentoraIntervalCheck::showChartMenu);

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

QCPAxis* TFormZentoraIntervalCheck::leftAxis() const { return ChartDeltas->yAxis; }
QCPAxis* TFormZentoraIntervalCheck::bottomAxis() const { return ChartDeltas->xAxis; }

void TFormZentoraIntervalCheck::ButtonRefreshClick() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The box is read once, so the period's end always matches its begin.
    const std::size_t count = capture::captureIntervalsUs(CheckBoxMMTimer->isChecked(), FSteps);
    if (count > 0) {
        const double* steps = FSteps.steps.data();
        const capture::IntervalAnalysis a = capture::analyseIntervals(steps, count, FFormat);

        if (a.mean > plot::kFixAxisAboveMeanUs) FLeftAxisFixed = true;
        QVector<double> keys(static_cast<qsizetype>(count));
        QVector<double> values(static_cast<qsizetype>(count));
        double highest = steps[0];
        for (std::size_t i = 0; i < count; ++i) {
            keys[static_cast<qsizetype>(i)] = static_cast<double>(i);
            values[static_cast<qsizetype>(i)] = steps[i];
            highest = std::max(highest, steps[i]);
        }
        // The whole capture in one call, drawn once below: appending point
        // by point would redraw two thousand times.
        Series1->setData(keys, values, true);
        const plot::AxisRange range = FLeftAxisFixed
                                          ? plot::fixedAxis(plot::kAxisMinUs, plot::kFixedAxisMaxUs)
                                          : plot::automaticAxis(plot::kAxisMinUs, highest);
        FLeftMax = range.max;
        FLeftTickStep = range.tickInterval;
        // The bottom axis spans exactly the points.
        FBottomMax = std::max<double>(1, static_cast<double>(count - 1));
        resetView();

        LabelSysTimeAsFileTimeRes->setText(QString::fromStdString(a.resultLine));
        LabelSysTimeAsFileTimeRes->adjustSize();
        LabelStats->setText(QString::fromStdString(a.statsLine));
        LabelStats->adjustSize();
        growToFit();
    }
    QApplication::restoreOverrideCursor();
}

void TFormZentoraIntervalCheck::resetView() {
    leftAxis()->setRange(plot::kAxisMinUs, FLeftMax);
    qSharedPointerCast<QCPAxisTickerFixed>(leftAxis()->ticker())->setTickStep(FLeftTickStep);
    bottomAxis()->setRange(0, FBottomMax);
    ChartDeltas->replot();
}

void TFormZentoraIntervalCheck::showAndCapture() {
    show();
    // The capture blocks the event loop for about 1.6 s, so the window must
    // be on the screen and drawn before it starts; a window the window
    // system has not exposed yet draws nothing and would stay blank (or
    // black) for the whole capture.
    if (windowHandle()->isExposed()) {
        captureWhenDrawn();
        return;
    }
    if (!FCaptureWhenExposed) {
        FCaptureWhenExposed = true;
        windowHandle()->installEventFilter(this);
    }
}

bool TFormZentoraIntervalCheck::eventFilter(QObject* watched, QEvent* event) {
    if (FCaptureWhenExposed && watched == windowHandle() && event->type() == QEvent::Expose) {
        // Qt draws the window while it handles this event; look again once
        // it has (an expose event may also say the window went hidden).
        QTimer::singleShot(0, this, [this] {
            if (!FCaptureWhenExposed || !windowHandle()->isExposed()) return;
            FCaptureWhenExposed = false;
            windowHandle()->removeEventFilter(this);
            captureWhenDrawn();
        });
    }
    return QWidget::eventFilter(watched, event);
}

void TFormZentoraIntervalCheck::captureWhenDrawn() {
    repaint();
    // Hands what was drawn to the window system before the thread blocks.
    QGuiApplication::sync();
    ButtonRefresh->click();
}

QMenu* TFormZentoraIntervalCheck::createChartMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->addAction(QString::fromUtf8("Save image…"), this, &TFormZentoraIntervalCheck::saveImageAsked);
    QAction* copy = menu->addAction("Copy data", this, &TFormZentoraIntervalCheck::copyData);
    copy->setEnabled(!Series1->data()->isEmpty());
    menu->addAction("Reset view", this, &TFormZentoraIntervalCheck::resetView);
    return menu;
}

void TFormZentoraIntervalCheck::showChartMenu(const QPoint& at) {
    QMenu* menu = createChartMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(ChartDeltas->mapToGlobal(at));
}

void TFormZentoraIntervalCheck::saveImageAsked() {
    const QString file = QFileDialog::getSaveFileName(
        this, "Save image", "intervals.png",
        "PNG image (*.png);;PDF document (*.pdf);;JPEG image (*.jpg *.jpeg);;BMP image (*.bmp)");
    if (file.isEmpty()) return;
    const QString error = saveChartImage(file);
    if (!error.isEmpty()) ui::showMessage(this, QMessageBox::Warning, "Save image", error);
}

QString TFormZentoraIntervalCheck::saveChartImage(const QString& fileName) {
    QString file = fileName;
    if (QFileInfo(file).suffix().isEmpty()) file += ".png";
    {
        // The chart's own writers say only whether they failed; opening the
        // file first gives the reason a user can act on.
        QFile probe(file);
        if (!probe.open(QIODevice::WriteOnly)) {
            return QString("Could not write the image to %1: %2").arg(QDir::toNativeSeparators(file),
                                                                      probe.errorString());
        }
    }
    const QString suffix = QFileInfo(file).suffix().toLower();
    bool saved = false;
    if (suffix == "pdf") {
        saved = ChartDeltas->savePdf(file);
    } else if (suffix == "jpg" || suffix == "jpeg") {
        saved = ChartDeltas->saveJpg(file);
    } else if (suffix == "bmp") {
        saved = ChartDeltas->saveBmp(file);
    } else {
        saved = ChartDeltas->savePng(file);
    }
    if (!saved) return QString("Could not write the image to %1").arg(QDir::toNativeSeparators(file));
    return {};
}

QString TFormZentoraIntervalCheck::chartDataCsv() const {
    // The C locale's decimal point, so any spreadsheet reads it; the
    // shortest text that reads back as the same number.
    QString csv = QString::fromUtf8("index,step in µs\n");
    for (const QCPGraphData& d : *Series1->data()) {
        csv += QString::number(static_cast<qint64>(d.key)) + ',' +
               QString::number(d.value, 'g', QLocale::FloatingPointShortest) + '\n';
    }
    return csv;
}

void TFormZentoraIntervalCheck::copyData() { QGuiApplication::clipboard()->setText(chartDataCsv()); }

