#pragma once
// The interval plot window: records every step of the system file time for
// about 1.5 s, plots the steps in µs, and reports their median, spread and
// "clean" mean.

#include "format/ResultFormat.h"
#include "timing/Measure.h"

#include <QWidget>

class QChart;
class QChartView;
class QCheckBox;
class QLabel;
class QLineSeries;
class QPushButton;
class QValueAxis;

class TFormZentoraIntervalCheck : public QWidget {
    Q_OBJECT

public:
    // The window is centred on `centreOn` the first time it is shown.
    explicit TFormZentoraIntervalCheck(QWidget* centreOn = nullptr);

    QPushButton* ButtonRefresh = nullptr;
    QChartView* ChartDeltas = nullptr;
    QLabel* LabelSysTimeAsFileTimeRes = nullptr;
    QLineSeries* Series1 = nullptr;
    QCheckBox* CheckBoxMMTimer = nullptr;
    QLabel* LabelStats = nullptr;

    QValueAxis* leftAxis() const { return FLeftAxis; }
    QValueAxis* bottomAxis() const { return FBottomAxis; }
    // True once a capture's mean step exceeded 9500 µs: from then on the
    // left axis ends at 20000 µs, whatever later captures show.
    bool leftAxisMaximumFixed() const { return FLeftAxisFixed; }

public slots:
    void ButtonRefreshClick();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void createControls();
    void layOut();
    void placeControls();
    void growToFit();
    int scaled(int designPixels) const;

    QChart* FChart = nullptr;
    QValueAxis* FLeftAxis = nullptr;
    QValueAxis* FBottomAxis = nullptr;
    QWidget* FCentreOn = nullptr;
    bool FShownBefore = false;
    bool FLeftAxisFixed = false;
    double FScale = 1.0;
    format::ResultFormatter FFormat;
    // The raw steps of the last capture. A member rather than a local, so a
    // capture never allocates and the 16 KB list stays off the stack.
    timing::FileTimeSteps FSteps;
};
