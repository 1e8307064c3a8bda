#pragma once
// The survey window: the program's main window. It shows the performance
// counter frequency at once and fills its other lines when "Refresh" runs
// the clock survey.

#include "format/ResultFormat.h"
#include "report/SurveyReport.h"
#include "survey/ClockSurvey.h"

#include <QStringList>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QLineEdit;
class QPushButton;
class QTimer;
class TFormZentoraIntervalCheck;
class TKestraneCheckBox;

class TFormShowClocks : public QWidget {
    Q_OBJECT

public:
    explicit TFormShowClocks(QWidget* parent = nullptr);

    // The controls, named as in the window design. Public so the program
    // entry and the tests can reach them, as a form's published fields.
    QLabel* LabelFrequency = nullptr;
    QPushButton* ButtonClose = nullptr;
    QTimer* Timer1 = nullptr;
    QLabel* LabelClock = nullptr;
    QLabel* LabelTickCount = nullptr;
    QLabel* LabelGetCPUSpeed = nullptr;
    QLineEdit* EditStaticTextSystemTimeAdjustment = nullptr;
    QLabel* LabelTimerCapabilities = nullptr;
    QLabel* LabelTimerResolution = nullptr;
    QLabel* LabelTimeGetTime = nullptr;
    QLabel* LabelTimeQPC = nullptr;
    QLabel* LabelNowTime = nullptr;
    QLabel* LabelGetTickCountResolution = nullptr;
    QLabel* LabelSysTimeAsFileTimeRes = nullptr;
    QPushButton* ButtonRefresh = nullptr;
    QPushButton* ButtonPlot = nullptr;
    TKestraneCheckBox* CheckBoxStartWithPlot = nullptr;  // remembered between runs
    QTimer* Timer2 = nullptr;

    // Performance counter counts per second, read once at creation; 0 when
    // the system has none.
    std::int64_t frequency() const { return FFrequency; }

    // The interval plot window that "Plot" and "Start with plot" open. Set
    // by the program entry after creating it, before the first show.
    void setPlotWindow(TFormZentoraIntervalCheck* plotWindow) { FPlotWindow = plotWindow; }

    // What the user keeps of a survey. Before the first survey both say
    // there is nothing measured yet.
    // Every line as shown, hints in brackets, one a line, as the terminal
    // report prints them; empty before the first survey.
    QString resultsText() const;
    // The same lines one by one, as the saved report holds them.
    QStringList resultLines() const;
    // Ctrl+C and "Copy results": resultsText() onto the clipboard.
    void copyResults();
    // The survey as the JSON report zentora-survey --json writes. Returns
    // what went wrong, empty on success.
    QString saveReport(const QString& fileName) const;
    // The window's context menu: "Copy results", "Save report…". The
    // caller owns it.
    QMenu* createContextMenu(QWidget* parent);
    // Where a saved report's system context comes from (this machine's
    // facts unless a test says otherwise).
    void setReportContext(std::function<report::SystemContext()> context) { FReportContext = std::move(context); }

public slots:
    void ButtonRefreshClick();
    void ButtonCloseClick();
    void Timer1Timer();
    void ButtonPlotClick();
    void Timer2Timer();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void createControls();
    void layOut();
    void placeBottomRow();
    void placeAtDesignPosition();
    void growToFit();
    int scaled(int designPixels) const;
    QWidget* lineWidget(survey::Line line) const;
    void saveReportAsked();
    void tell(const QString& title, const QString& text);

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
    TFormZentoraIntervalCheck* FPlotWindow = nullptr;
    bool FShownBefore = false;
    // The last survey as the run reported it: each line's text and hint,
    // and its figures. Empty until a survey has run.
    std::array<survey::LineRecord, survey::kLineCount> FRecords{};
    // Each survey line's control, in line order.
    std::array<QWidget*, survey::kLineCount> FLineWidgets{};
    std::optional<std::vector<survey::Figure>> FFigures;
    std::function<report::SystemContext()> FReportContext = report::gatherContext;
    QAction* FCopyAction = nullptr;
    double FScale = 1.0;  // design pixels to screen pixels, for larger fonts
};
