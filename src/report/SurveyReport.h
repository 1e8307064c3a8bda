#pragma once
// The survey as a terminal report: the same survey run and interval capture
// as the windows, their lines printed as they arrive, the figures kept as
// numbers, and the system facts that explain them.

#include "capture/IntervalCapture.h"
#include "platform/SystemFacts.h"
#include "survey/ClockSurvey.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

class QTextStream;

namespace report {

inline constexpr const char* kSchemaName = "zentora-survey-report";
inline constexpr int kSchemaVersion = 1;

// What the system says about its clocks, gathered before the run.
struct SystemContext {
    QString os;
    QString architecture;
    QString clocksource;            // "tsc", "kvm-clock", ... or "unknown"
    QString availableClocksources;  // as the kernel lists them
    platform::TscFlags tsc;
    QString hypervisor;             // "none", "KVM", ... or "unknown"
    double tickHz = 0;              // the kernel tick; 0 if unknown
    std::optional<double> kernelTscMHz;
    // Windows name -> what this program reads for it on this OS.
    std::vector<std::pair<QString, QString>> backing;
};

// This machine's context, from the OS layer's system facts.
SystemContext gatherContext();

struct Capture {
    bool multimediaPeriod = false;
    std::vector<double> stepsUs;
    // What the capture says; valid when the file time moved (stepsUs not
    // empty).
    capture::IntervalAnalysis analysis;
};

struct SurveyReport {
    QString programVersion;
    QString time;  // ISO 8601, UTC
    std::vector<survey::Figure> figures;  // the performance counter frequency first
    QStringList lines;                    // the survey's texts, as printed
    Capture capture;
    SystemContext context;
    QStringList warnings;
};

struct RunOptions {
    bool multimediaPeriod = false;
    bool interactive = false;  // say which line is being measured, in place
};

// Runs the survey and the interval capture, printing each line to `out` as
// soon as it is known, and returns the whole report (not yet printing the
// context: see printContext).
SurveyReport runReport(const RunOptions& options, SystemContext context, QString time, QTextStream& out);

// The report of a survey run elsewhere (the survey window's): the
// performance counter frequency as the first figure, then `measured`, the
// lines as printed, the warnings the figures call for, and no capture.
SurveyReport surveyReport(std::int64_t frequency, std::vector<survey::Figure> measured, QStringList lines,
                          SystemContext context, QString time);

// The context and warning lines that follow the figures.
void printContext(const SurveyReport& report, QTextStream& out);

// What the figures and the context say about known traps.
QStringList warningsFor(const std::vector<survey::Figure>& figures, const SystemContext& context);

QJsonObject toJson(const SurveyReport& report);
// The report as the JSON file zentora-survey --json writes.
QByteArray jsonDocument(const SurveyReport& report);
// Writes that file whole or not at all; on failure `error` says why.
bool writeReportFile(const SurveyReport& report, const QString& file, QString& error);

// A report read back from a file: its figures (key -> value, unit, label)
// and what identifies the run. Fails with a message naming the problem.
struct LoadedReport {
    QString file;
    QString time;
    QString version;
    QString host;
    std::vector<survey::Figure> figures;
};
std::optional<LoadedReport> loadReport(const QString& file, QString& error);

// The two reports side by side, figure by figure, with B / A.
void printComparison(const LoadedReport& a, const LoadedReport& b, QTextStream& out);

}  // namespace report
