#pragma once
// The interval plot window: records every step of the system file time for
// about 1.5 s, plots the steps in µs, and reports their median, spread and
// "clean" mean.

#include "format/ResultFormat.h"
#include "timing/Measure.h"

#include <QString>
#include <QWidget>

class QCPAxis;
class QCPGraph;
class QCheckBox;
class QCustomPlot;
class QLabel;
class QMenu;
class QPushButton;

class TFormZentoraIntervalCheck : public QWidget {
    Q_OBJECT

public:
    // The window is centred on `centreOn` the first time it is shown.
    explicit TFormZentoraIntervalCheck(QWidget* centreOn = nullptr);

    QPushButton* ButtonRefresh = nullptr;
    QCustomPlot* ChartDeltas = nullptr;
    QLabel* LabelSysTimeAsFileTimeRes = nullptr;
    QCPGraph* Series1 = nullptr;
    QCheckBox* CheckBoxMMTimer = nullptr;
    QLabel* LabelStats = nullptr;

    QCPAxis* leftAxis() const;
    QCPAxis* bottomAxis() const;
    // True once a capture's mean step exceeded 9500 µs: from then on the
    // left axis ends at 20000 µs, whatever later captures show.
    bool leftAxisMaximumFixed() const { return FLeftAxisFixed; }

    // The chart's context menu: "Save image…", "Copy data", "Reset view".
    // The caller owns it.
    QMenu* createChartMenu(QWidget* parent);
    // Writes the chart as an image, its format chosen by the file name's
    // extension (.pdf, .jpg/.jpeg, .bmp; PNG otherwise, with ".png" added to
    // a name without one). Returns what went wrong, empty on success.
    QString saveChartImage(const QString& fileName);
    // The plotted steps as CSV: a header line, then "index,step in µs".
    QString chartDataCsv() const;
    // Restores the axes the last capture set, after zooming or panning.
    void resetView();

    // Shows the window and, once it is on the screen and drawn, runs a
    // capture as if "Refresh" had been clicked.
    void showAndCapture();

public slots:
    void ButtonRefreshClick();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void createControls();
    void layOut();
    void placeControls();
    void growToFit();
    int scaled(int designPixels) const;
    void showChartMenu(const QPoint& at);
    void saveImageAsked();
    void copyData();
    void captureWhenDrawn();

    QWidget* FCentreOn = nullptr;
    bool FCaptureWhenExposed = false;
    // The axes as the last capture set them; "Reset view" returns to them.
    double FLeftMax = 0;
    double FLeftTickStep = 0;
    double FBottomMax = 1;
    bool FShownBefore = false;
    bool FLeftAxisFixed = false;
    double FScale = 1.0;
    format::ResultFormatter FFormat;
    // The raw steps of the last capture. A member rather than a local, so a
    // capture never allocates and the 16 KB list stays off the stack.
    timing::FileTimeSteps FSteps;
};
