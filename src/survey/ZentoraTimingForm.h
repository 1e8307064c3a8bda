#pragma once
// The survey window: the program's main window. It shows the performance
// counter frequency at once and fills its other lines when "Refresh" runs
// the clock survey.

#include "format/ResultFormat.h"
#include "survey/ClockSurvey.h"

#include <QWidget>

#include <cstdint>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

class TFormShowClocks : public QWidget {
    Q_OBJECT

public:
    explicit TFormShowClocks(QWidget* parent = nullptr);

    // The controls, named as in the window design. Public so the program
    // entry and the tests can reach them, as a form's published fields.
    QLabel* LabelFrequency;
    QPushButton* ButtonClose;
    QTimer* Timer1;
    QLabel* LabelClock;
    QLabel* LabelTickCount;
    QLabel* LabelGetCPUSpeed;
    QLineEdit* EditStaticTextSystemTimeAdjustment;
    QLabel* LabelTimerCapabilities;
    QLabel* LabelTimerResolution;
    QLabel* LabelTimeGetTime;
    QLabel* LabelTimeQPC;
    QLabel* LabelNowTime;
    QLabel* LabelGetTickCountResolution;
    QLabel* LabelSysTimeAsFileTimeRes;
    QPushButton* ButtonRefresh;
    QPushButton* ButtonPlot;
    QCheckBox* CheckBoxStartWithPlot;
    QTimer* Timer2;

    // Performance counter counts per second, read once at creation; 0 when
    // the system has none.
    std::int64_t frequency() const { return FFrequency; }

    // The window "Plot" shows. Set by the program entry after creating it.
    void setPlotWindow(QWidget* plotWindow) { FPlotWindow = plotWindow; }

public slots:
    void ButtonRefreshClick();
    void ButtonCloseClick();
    void Timer1Timer();
    void ButtonPlotClick();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void FormCreate();
    void createControls();
    void layOut();
    void placeBottomRow();
    void growToFit();
    int scaled(int designPixels) const;
    QWidget* lineWidget(survey::Line line) const;

    // The survey run writes into the window's lines through this.
    class Lines : public survey::SurveyDisplay {
    public:
        explicit Lines(TFormShowClocks& form) : form_(form) {}
        void setText(survey::Line line, const std::string& text) override;
        void setHint(survey::Line line, const std::string& hint) override;
        void setEnabled(survey::Line line, bool enabled) override;
        void repaint(survey::Line line) override;

    private:
        TFormShowClocks& form_;
    };

    std::int64_t FFrequency = 0;
    format::ResultFormatter FFormat;
    QWidget* FPlotWindow = nullptr;
    double FScale = 1.0;  // design pixels to screen pixels, for larger fonts
};
