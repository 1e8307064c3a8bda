#include "survey/ZentoraTimingForm.h"

#include "format/LocaleFormat.h"
#include "platform/Clocks.h"
#include "platform/SystemFacts.h"
#include "plot/ZentoraIntervalPlotForm.h"
#include "settings/KestraneCheckBox.h"
#include "ui/DesignScale.h"
#include "ui/Message.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {

// The window as designed, in pixels for an 8-point "MS Sans Serif". Larger
// desktop fonts scale it up; see ui::designScale.
constexpr int kDesignWidth = 403;
constexpr int kDesignHeight = 371;
constexpr int kDesignLeft = 192;
constexpr int kDesignTop = 107;
constexpr int kRightMargin = 8;


}  // namespace

TFormShowClocks::TFormShowClocks(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      FFormat(format::localeFormatter()) {
    setObjectName("FormShowClocks");
    setWindowTitle("Zentora Frequencies");
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    createControls();
    placeAtDesignPosition();
    FormCreate();
}

void TFormShowClocks::createControls() {
    using survey::Line;
    auto label = [this](const char* name, const char* text) {
        auto* l = new QLabel(QString::fromUtf8(text), this);
        l->setObjectName(name);
        l->setTextFormat(Qt::PlainText);
        return l;
    };
    // A label for one of the survey's lines, kept as that line's control.
    auto lineLabel = [this, &label](Line line, const char* name) {
        QLabel* l = label(name, survey::placeholderText(line));
        FLineWidgets[static_cast<std::size_t>(line)] = l;
        return l;
    };
    auto button = [this](const char* name, const char* text) {
        auto* b = new QPushButton(QString::fromUtf8(text), this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };

    LabelFrequency = label("LabelFrequency", "Performance counter frequency ...");
    ButtonClose = button("ButtonClose", "&Close");
    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(500);
    LabelClock = lineLabel(Line::Clock, "LabelClock");
    LabelTickCount = lineLabel(Line::TickCount, "LabelTickCount");
    LabelGetCPUSpeed = lineLabel(Line::GetCPUSpeed, "LabelGetCPUSpeed");
    LabelGetCPUSpeed->setToolTip("From: CPUSpeed routine");
    EditStaticTextSystemTimeAdjustment =
        new QLineEdit(QString::fromUtf8(survey::placeholderText(Line::SystemTimeAdjustment)), this);
    EditStaticTextSystemTimeAdjustment->setObjectName("EditStaticTextSystemTimeAdjustment");
    FLineWidgets[static_cast<std::size_t>(Line::SystemTimeAdjustment)] = EditStaticTextSystemTimeAdjustment;
    EditStaticTextSystemTimeAdjustment->setReadOnly(true);
    EditStaticTextSystemTimeAdjustment->setFrame(false);
    EditStaticTextSystemTimeAdjustment->setToolTip("From: System Time Adjustment");
    // A line edit indents its text by two pixels even without a frame; take
    // them back so the text lines up with the labels above and below.
    EditStaticTextSystemTimeAdjustment->setTextMargins(-2, 0, 0, 0);
    // Read-only, borderless and in the window's colour, it reads as a label
    // whose text can still be selected and copied.
    {
        QPalette p = EditStaticTextSystemTimeAdjustment->palette();
        p.setColor(QPalette::Base, p.color(QPalette::Button));
        EditStaticTextSystemTimeAdjustment->setPalette(p);
    }
    LabelTimerCapabilities = lineLabel(Line::TimerCapabilities, "LabelTimerCapabilities");
    LabelTimerResolution = lineLabel(Line::TimerResolution, "LabelTimerResolution");
    LabelTimeGetTime = lineLabel(Line::TimeGetTime, "LabelTimeGetTime");
    LabelTimeQPC = lineLabel(Line::TimeQPC, "LabelTimeQPC");
    LabelNowTime = lineLabel(Line::NowTime, "LabelNowTime");
    LabelGetTickCountResolution = lineLabel(Line::GetTickCountResolution, "LabelGetTickCountResolution");
    LabelSysTimeAsFileTimeRes = lineLabel(Line::SysTimeAsFileTimeRes, "LabelSysTimeAsFileTimeRes");
    ButtonRefresh = button("ButtonRefresh", "Refresh");
    ButtonPlot = button("ButtonPlot", "Plot");
    CheckBoxStartWithPlot = new TKestraneCheckBox("Start with plot", this);
    CheckBoxStartWithPlot->setObjectName("CheckBoxStartWithPlot");
    CheckBoxStartWithPlot->setNamedAs("StartWithPlot");
    Timer2 = new QTimer(this);
    Timer2->setObjectName("Timer2");
    Timer2->setInterval(100);

    // Only the buttons, the check box and the copyable edit take the focus;
    // "&Close" comes first, so it holds the focus when the window opens.
    for (QLabel* l : findChildren<QLabel*>()) l->setFocusPolicy(Qt::NoFocus);
    setTabOrder(ButtonClose, EditStaticTextSystemTimeAdjustment);
    setTabOrder(EditStaticTextSystemTimeAdjustment, ButtonRefresh);
    setTabOrder(ButtonRefresh, ButtonPlot);
    setTabOrder(ButtonPlot, CheckBoxStartWithPlot);
    ButtonClose->setFocus();

    connect(ButtonClose, &QPushButton::clicked, this, &TFormShowClocks::ButtonCloseClick);
    connect(ButtonRefresh, &QPushButton::clicked, this, &TFormShowClocks::ButtonRefreshClick);
    connect(ButtonPlot, &QPushButton::clicked, this, &TFormShowClocks::ButtonPlotClick);
    connect(Timer1, &QTimer::timeout, this, &TFormShowClocks::Timer1Timer);
    connect(Timer2, &QTimer::timeout, this, &TFormShowClocks::Timer2Timer);

    // Keeping the figures: Ctrl+C anywhere in the window, and a context menu.
    FCopyAction = new QAction("Copy results", this);
    FCopyAction->setShortcut(QKeySequence::Copy);
    FCopyAction->setShortcutContext(Qt::WindowShortcut);
    connect(FCopyAction, &QAction::triggered, this, &TFormShowClocks::copyResults);
    addAction(FCopyAction);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu* menu = createContextMenu(this);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(mapToGlobal(at));
    });

    // The window is set up: the remembered box takes its stored state now,
    // before the creation and show handlers look at it.
    CheckBoxStartWithPlot->Loaded();
}

void TFormShowClocks::FormCreate() {
    // The desktop's icon-title font where the system has one replaces the
    // design font everywhere. Elsewhere the window keeps the application
    // font, which Qt takes from the desktop's general font.
    if (const auto iconFont = platform::desktopIconTitleFont()) {
        QFont font(QString::fromStdString(iconFont->family));
        if (iconFont->pixelHeight > 0) font.setPixelSize(iconFont->pixelHeight);
        setFont(font);  // lays the window out again
    }
    layOut();

    // Success is not examined: on failure the frequency stays 0 and the
    // label says 0 MHz.
    platform::queryPerformanceFrequency(FFrequency);
    LabelFrequency->setText(QString::fromStdString(survey::frequencyLine(FFrequency, FFormat)));
    LabelFrequency->adjustSize();

    setWindowTitle(windowTitle() + " - V" + QString::fromStdString(platform::programFileVersion()));
    growToFit();
}

int TFormShowClocks::scaled(int designPixels) const { return ui::scaled(designPixels, FScale); }

// Places every control at its design position, scaled up when the font
// needs more room than the design's rows give, and sizes the window.
void TFormShowClocks::layOut() {
    const QFontMetrics metrics(font());
    FScale = ui::designScale(font());

    // The frequency in the first row, then the survey's lines in their
    // order, one a row; the edit keeps its designed size.
    auto placeRow = [this](QWidget* w, int row) {
        w->move(scaled(16), scaled(16 + row * ui::kDesignRowPitch));
        if (auto* l = qobject_cast<QLabel*>(w)) l->adjustSize();
    };
    placeRow(LabelFrequency, 0);
    for (int i = 0; i < survey::kLineCount; ++i) placeRow(FLineWidgets[static_cast<std::size_t>(i)], i + 1);
    EditStaticTextSystemTimeAdjustment->setGeometry(scaled(16), scaled(136), scaled(289),
                                                    std::max(scaled(17), metrics.height() + 2));

    const int buttonHeight = ui::buttonHeight(font(), FScale);
    auto sizeButton = [&](QPushButton* b, int designWidth) {
        b->resize(std::max(scaled(designWidth), b->sizeHint().width()), buttonHeight);
    };
    sizeButton(ButtonRefresh, 65);
    sizeButton(ButtonPlot, 65);
    sizeButton(ButtonClose, 73);
    CheckBoxStartWithPlot->resize(std::max(scaled(105), CheckBoxStartWithPlot->sizeHint().width()),
                                  std::max(scaled(17), CheckBoxStartWithPlot->sizeHint().height()));
    // Plot is not anchored to the bottom: it keeps its place from the top.
    ButtonRefresh->move(scaled(8), 0);
    ButtonPlot->move(std::max(scaled(79), ButtonRefresh->geometry().right() + 1 + scaled(6)),
                     scaled(336));
    CheckBoxStartWithPlot->move(std::max(scaled(168), ButtonPlot->geometry().right() + 1 + scaled(16)), 0);
    ButtonClose->move(std::max(scaled(322), CheckBoxStartWithPlot->geometry().right() + 1 + scaled(8)), 0);
    resize(scaled(kDesignWidth), scaled(kDesignHeight));
    setMinimumHeight(height());
    placeBottomRow();
}

void TFormShowClocks::placeAtDesignPosition() {
    move(kDesignLeft, kDesignTop);
}

// Refresh, the check box and Close are anchored to the bottom edge: they
// keep their design distance from it when the window changes height.
void TFormShowClocks::placeBottomRow() {
    const int buttonTop = height() - scaled(kDesignHeight - 336);
    ButtonRefresh->move(ButtonRefresh->x(), buttonTop);
    ButtonClose->move(ButtonClose->x(), buttonTop);
    CheckBoxStartWithPlot->move(CheckBoxStartWithPlot->x(),
                                buttonTop + (ButtonRefresh->height() - CheckBoxStartWithPlot->height()) / 2);
}

// Widens the window (never narrows it) so that every control's text fits.
void TFormShowClocks::growToFit() {
    const QFontMetrics metrics(EditStaticTextSystemTimeAdjustment->font());
    const int editWidth = metrics.horizontalAdvance(EditStaticTextSystemTimeAdjustment->text()) + 8;
    if (editWidth > EditStaticTextSystemTimeAdjustment->width()) {
        EditStaticTextSystemTimeAdjustment->resize(editWidth, EditStaticTextSystemTimeAdjustment->height());
    }
    ui::growToFit(*this, scaled(kRightMargin));
}

void TFormShowClocks::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeBottomRow();
}

void TFormShowClocks::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        layOut();
        growToFit();
    }
}

void TFormShowClocks::ButtonRefreshClick() {
    ButtonRefresh->setEnabled(false);
    ButtonPlot->setEnabled(false);
    Timer1->start();
}

void TFormShowClocks::ButtonCloseClick() { close(); }

void TFormShowClocks::ButtonPlotClick() {
    if (FPlotWindow != nullptr) FPlotWindow->show();  // not modal: both windows stay usable
}

void TFormShowClocks::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Only the window's first real show counts: restoring it from the
    // taskbar shows it again, and must not start another capture.
    if (!FShownBefore && !event->spontaneous()) {
        FShownBefore = true;
        FormShow();
    }
}

void TFormShowClocks::FormShow() {
    if (CheckBoxStartWithPlot->isChecked()) Timer2->start();
}

void TFormShowClocks::Timer2Timer() {
    Timer2->stop();
    if (FPlotWindow == nullptr) return;
    // Shown and drawn first, then "Refresh" clicked as the user would.
    FPlotWindow->showAndCapture();
}

void TFormShowClocks::Timer1Timer() {
    Timer1->stop();  // one run per "Refresh"
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Lines lines(*this);
    FRecords = {};
    FFigures = survey::runClockSurvey(lines, FFrequency, FFormat);
    ButtonRefresh->setEnabled(true);
    ButtonPlot->setEnabled(true);
    QApplication::restoreOverrideCursor();
    ButtonRefresh->setFocus();
}

QWidget* TFormShowClocks::lineWidget(survey::Line line) const {
    return FLineWidgets[static_cast<std::size_t>(line)];
}

namespace {
constexpr const char* kNothingMeasured = "Nothing measured yet: click Refresh to run the survey first.";
}  // namespace

QStringList TFormShowClocks::resultLines() const {
    if (!FFigures) return {};
    QStringList lines{LabelFrequency->text()};
    for (int i = 0; i < survey::kLineCount; ++i) {
        const auto line = static_cast<survey::Line>(i);
        lines.append(QString::fromStdString(survey::printedLine(line, FRecords[static_cast<std::size_t>(i)])));
    }
    return lines;
}

QString TFormShowClocks::resultsText() const {
    const QStringList lines = resultLines();
    return lines.isEmpty() ? QString() : lines.join('\n') + '\n';
}

void TFormShowClocks::copyResults() {
    if (!FFigures) {
        tell("Copy results", kNothingMeasured);
        return;
    }
    QGuiApplication::clipboard()->setText(resultsText());
}

QString TFormShowClocks::saveReport(const QString& fileName) const {
    if (!FFigures) return kNothingMeasured;
    const report::SurveyReport r =
        report::surveyReport(FFrequency, *FFigures, resultLines(),
                             FReportContext(), QDateTime::currentDateTimeUtc().toString(Qt::ISODate));
    QString error;
    if (!report::writeReportFile(r, fileName, error)) {
        return QString("Could not write the report to %1: %2").arg(QDir::toNativeSeparators(fileName), error);
    }
    return {};
}

void TFormShowClocks::saveReportAsked() {
    if (!FFigures) {
        tell("Save report", kNothingMeasured);
        return;
    }
    const QString file = QFileDialog::getSaveFileName(this, "Save report", "zentora-survey-report.json",
                                                      "Survey report (*.json)");
    if (file.isEmpty()) return;
    const QString error = saveReport(file);
    if (!error.isEmpty()) tell("Save report", error);
}

QMenu* TFormShowClocks::createContextMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->addAction(FCopyAction);
    menu->addAction(QString::fromUtf8("Save report…"), this, &TFormShowClocks::saveReportAsked);
    return menu;
}

void TFormShowClocks::tell(const QString& title, const QString& text) {
    ui::showMessage(this, QMessageBox::Information, title, text);
}

void TFormShowClocks::Lines::setText(survey::Line line, const std::string& text) {
    form_.FRecords[static_cast<std::size_t>(line)].text = text;
    QWidget* w = form_.lineWidget(line);
    if (auto* l = qobject_cast<QLabel*>(w)) {
        l->setText(QString::fromStdString(text));
        l->adjustSize();
    } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
        e->setText(QString::fromStdString(text));
        e->setCursorPosition(0);
    }
    form_.growToFit();
}

void TFormShowClocks::Lines::setHint(survey::Line line, const std::string& hint) {
    form_.FRecords[static_cast<std::size_t>(line)].hint = hint;
    form_.lineWidget(line)->setToolTip(QString::fromStdString(hint));
}

void TFormShowClocks::Lines::setEnabled(survey::Line line, bool enabled) {
    form_.lineWidget(line)->setEnabled(enabled);
}

void TFormShowClocks::Lines::repaint(survey::Line line) { form_.lineWidget(line)->repaint(); }
