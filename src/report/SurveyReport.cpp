#include "report/SurveyReport.h"

#include "format/ResultFormat.h"
#include "platform/Clocks.h"
#include "format/LocaleFormat.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QLocale>
#include <QSaveFile>
#include <QSysInfo>
#include <QTextStream>

#include <array>
#include <cmath>

namespace report {
namespace {


// Prints the survey's lines in survey order as they become final. A line is
// final when the run moves on to a later one; a line the run never wrote
// (a failed step) is printed with its placeholder and "(no result)".
class TerminalLines : public survey::SurveyDisplay {
public:
    TerminalLines(QTextStream& out, bool interactive) : out_(out), interactive_(interactive) {}

    void setText(survey::Line line, const std::string& text) override {
        advanceTo(line);
        state(line).text = text;
    }
    void setHint(survey::Line line, const std::string& hint) override {
        advanceTo(line);
        state(line).hint = hint;
    }
    void setEnabled(survey::Line line, bool enabled) override {
        advanceTo(line);
        if (!enabled && interactive_) {
            out_ << "\r\033[K" << "measuring: " << survey::placeholderText(line) << Qt::flush;
            showingProgress_ = true;
        }
    }
    void repaint(survey::Line line) override { advanceTo(line); }

    // Prints what is left; returns every printed line.
    QStringList finish() {
        while (next_ < survey::kLineCount) print(next_++);
        return printed_;
    }

private:
    survey::LineRecord& state(survey::Line line) { return states_[static_cast<std::size_t>(line)]; }

    void advanceTo(survey::Line line) {
        while (next_ < static_cast<int>(line)) print(next_++);
    }

    void print(int index) {
        const auto line = static_cast<survey::Line>(index);
        const QString text = QString::fromStdString(survey::printedLine(line, states_[static_cast<std::size_t>(index)]));
        if (showingProgress_) out_ << "\r\033[K";
        showingProgress_ = false;
        out_ << text << '\n' << Qt::flush;
        printed_.append(text);
    }

    QTextStream& out_;
    bool interactive_;
    bool showingProgress_ = false;
    int next_ = 0;
    std::array<survey::LineRecord, survey::kLineCount> states_{};
    QStringList printed_;
};

const survey::Figure* findFigure(const std::vector<survey::Figure>& figures, const char* key) {
    for (const auto& f : figures) {
        if (f.key == key) return &f;
    }
    return nullptr;
}

}  // namespace

SystemContext gatherContext() {
    SystemContext c;
    c.os = QSysInfo::prettyProductName() + " (kernel " + QSysInfo::kernelVersion() + ")";
    c.architecture = QString::fromStdString(platform::architecture());
    c.clocksource = QString::fromStdString(platform::currentClocksource());
    c.availableClocksources = QString::fromStdString(platform::availableClocksources());
    c.tsc = platform::tscFlags();
    c.hypervisor = QString::fromStdString(platform::hypervisor());
    const std::int64_t tickNs = platform::kernelTickNs();
    c.tickHz = tickNs > 0 ? 1e9 / static_cast<double>(tickNs) : 0;
    c.kernelTscMHz = platform::kernelTscMHz();
    for (const platform::ClockBacking& b : platform::clockBacking()) {
        c.backing.emplace_back(QString::fromUtf8(b.windowsName), QString::fromUtf8(b.backing));
    }
    return c;
}

SurveyReport surveyReport(std::int64_t frequency, std::vector<survey::Figure> measured, QStringList lines,
                          SystemContext context, QString time) {
    SurveyReport r;
    r.programVersion = QString::fromStdString(platform::programFileVersion());
    r.time = std::move(time);
    r.context = std::move(context);
    r.figures.push_back({"performanceCounterFrequency", "Performance counter frequency",
                         static_cast<double>(frequency), "Hz"});
    r.figures.insert(r.figures.end(), std::make_move_iterator(measured.begin()),
                     std::make_move_iterator(measured.end()));
    r.lines = std::move(lines);
    r.warnings = warningsFor(r.figures, r.context);
    return r;
}

SurveyReport runReport(const RunOptions& options, SystemContext context, QString time, QTextStream& out) {
    const format::ResultFormatter format = format::localeFormatter();
    std::int64_t frequency = 0;
    platform::queryPerformanceFrequency(frequency);
    const QString frequencyText = QString::fromStdString(survey::frequencyLine(frequency, format));
    out << frequencyText << '\n' << Qt::flush;

    TerminalLines lines(out, options.interactive);
    std::vector<survey::Figure> measured = survey::runClockSurvey(lines, frequency, format);
    QStringList printed{frequencyText};
    printed.append(lines.finish());
    SurveyReport r =
        surveyReport(frequency, std::move(measured), std::move(printed), std::move(context), std::move(time));

    if (options.interactive) {
        out << "measuring: every GetSystemTimeAsFileTime step for "
            << QString::fromStdString(capture::captureSpan()) << Qt::flush;
    }
    timing::FileTimeSteps steps;
    const std::size_t count = capture::captureIntervalsUs(options.multimediaPeriod, steps);
    if (options.interactive) out << "\r\033[K";
    Capture& c = r.capture;
    c.multimediaPeriod = options.multimediaPeriod;
    c.stepsUs.assign(steps.steps.begin(), steps.steps.begin() + static_cast<std::ptrdiff_t>(count));
    if (count > 0) {
        c.analysis = capture::analyseIntervals(steps.steps.data(), count, format);
        const capture::IntervalAnalysis& a = c.analysis;
        r.figures.push_back({"captureIntervals", "File-time steps captured", static_cast<double>(count), "count"});
        r.figures.push_back({"captureMedian", "Median file-time step", a.median, "µs"});
        r.figures.push_back(
            {"captureStdDev", "Standard deviation of the file-time steps", static_cast<double>(a.deviation), "µs"});
        if (a.cleanCount > 0) {
            r.figures.push_back({"captureCleanMean", "Mean of the clean file-time steps", a.cleanMean, "µs"});
        }
        const QString mm = options.multimediaPeriod ? " [with a 1 ms timer period]" : "";
        const QString result = QString::fromStdString(a.resultLine) + mm;
        const QString stats = QString::fromStdString(a.statsLine);
        out << result << '\n' << stats << '\n';
        r.lines.append(result);
        r.lines.append(stats);
    } else {
        const QString line = QString::fromStdString(capture::noChangeLine());
        out << line << '\n';
        r.lines.append(line);
    }
    out << Qt::flush;
    r.warnings = warningsFor(r.figures, r.context);
    return r;
}

QStringList warningsFor(const std::vector<survey::Figure>& figures, const SystemContext& context) {
    QStringList w;
    const bool x86 = context.architecture == "x86_64" || context.architecture == "x86";
    if (x86 && context.clocksource != "unknown" && context.clocksource != "tsc") {
        w << QString("the kernel reads the time from \"%1\", not the TSC: every clock read is slower and "
                     "coarser (common in VMs, or where the kernel found the TSC unstable)")
                 .arg(context.clocksource);
    }
    if (x86 && context.tsc.known && !context.tsc.invariant()) {
        w << QString("the TSC is not invariant (%1): its rate may change with power states, so cycle counts "
                     "are not times")
                 .arg(!context.tsc.constant ? "no constant_tsc" : "no nonstop_tsc");
    }
    if (const survey::Figure* qpc = findFigure(figures, "queryPerformanceCounterCallCost");
        qpc != nullptr && qpc->value > 100) {
        w << QString("a QueryPerformanceCounter call takes %1 ns: clock reads probably go through a system "
                     "call rather than the vDSO")
                 .arg(qpc->value, 0, 'f', 1);
    }
    if (const survey::Figure* cpu = findFigure(figures, "getCPUSpeed");
        cpu != nullptr && context.kernelTscMHz && *context.kernelTscMHz > 0) {
        const double off = (cpu->value - *context.kernelTscMHz) / *context.kernelTscMHz;
        if (std::fabs(off) > 0.001) {
            w << QString("GetCPUspeed (%1 MHz) disagrees with the kernel's TSC rate (%2 MHz) by %3 %: the TSC "
                         "may be scaled or unstable here")
                     .arg(cpu->value, 0, 'f', 2)
                     .arg(*context.kernelTscMHz, 0, 'f', 3)
                     .arg(off * 100, 0, 'f', 2);
        }
    }
    return w;
}

void printContext(const SurveyReport& report, QTextStream& out) {
    const SystemContext& c = report.context;
    out << "\nWhat each clock is on this system:\n";
    for (const auto& [name, backing] : c.backing) out << "  " << name.leftJustified(24) << ' ' << backing << '\n';
    out << "Kernel clocksource: " << c.clocksource;
    if (!c.availableClocksources.isEmpty()) out << " (available: " << c.availableClocksources << ")";
    out << '\n';
    out << "TSC: ";
    if (!c.tsc.known) {
        out << "flags unknown\n";
    } else {
        out << (c.tsc.invariant() ? "invariant" : "not invariant") << " (constant_tsc "
            << (c.tsc.constant ? "yes" : "no") << ", nonstop_tsc " << (c.tsc.nonstop ? "yes" : "no") << ")\n";
    }
    if (c.kernelTscMHz) out << "Kernel's TSC rate: " << QString::number(*c.kernelTscMHz, 'f', 3) << " MHz\n";
    out << "Hypervisor: " << c.hypervisor << '\n';
    if (c.tickHz > 0) {
        out << "Kernel tick: " << QString::number(c.tickHz, 'g', 6) << " Hz (the coarse clocks step every "
            << QString::number(1000.0 / c.tickHz, 'g', 6) << " ms)\n";
    }
    out << "System: " << c.os << ", " << c.architecture << '\n';
    for (const QString& warning : report.warnings) out << "Warning: " << warning << '\n';
    out << Qt::flush;
}

QJsonObject toJson(const SurveyReport& r) {
    QJsonArray figures;
    for (const survey::Figure& f : r.figures) {
        figures.append(QJsonObject{{"key", QString::fromStdString(f.key)},
                                   {"label", QString::fromStdString(f.label)},
                                   {"value", f.value},
                                   {"unit", QString::fromStdString(f.unit)}});
    }
    QJsonArray steps;
    for (const double s : r.capture.stepsUs) steps.append(s);
    const Capture& c = r.capture;
    QJsonObject capture{{"multimediaPeriod", c.multimediaPeriod}, {"count", static_cast<int>(c.stepsUs.size())},
                        {"stepsUs", steps}};
    if (!c.stepsUs.empty()) {
        const capture::IntervalAnalysis& a = c.analysis;
        capture.insert("medianUs", a.median);
        capture.insert("meanUs", static_cast<double>(a.mean));
        capture.insert("stdDevUs", static_cast<double>(a.deviation));
        capture.insert("cleanCount", static_cast<int>(a.cleanCount));
        if (a.cleanCount > 0) capture.insert("cleanMeanUs", a.cleanMean);
        capture.insert("resultLine", QString::fromStdString(a.resultLine));
        capture.insert("statsLine", QString::fromStdString(a.statsLine));
    }
    const SystemContext& x = r.context;
    QJsonObject backing;
    for (const auto& [name, what] : x.backing) backing.insert(name, what);
    QJsonObject context{{"os", x.os},
                        {"architecture", x.architecture},
                        {"clocksource", x.clocksource},
                        {"availableClocksources", QJsonArray::fromStringList(x.availableClocksources.split(
                                                      ' ', Qt::SkipEmptyParts))},
                        {"hypervisor", x.hypervisor},
                        {"tickHz", x.tickHz},
                        {"backing", backing}};
    if (x.tsc.known) {
        context.insert("tsc", QJsonObject{{"constant", x.tsc.constant},
                                          {"nonstop", x.tsc.nonstop},
                                          {"invariant", x.tsc.invariant()}});
    }
    if (x.kernelTscMHz) context.insert("kernelTscMHz", *x.kernelTscMHz);
    return QJsonObject{{"schema", kSchemaName},
                       {"schemaVersion", kSchemaVersion},
                       {"program", QJsonObject{{"name", "zentora-survey"}, {"version", r.programVersion}}},
                       {"time", r.time},
                       {"host", QSysInfo::machineHostName()},
                       {"figures", figures},
                       {"lines", QJsonArray::fromStringList(r.lines)},
                       {"capture", capture},
                       {"context", context},
                       {"warnings", QJsonArray::fromStringList(r.warnings)}};
}

QByteArray jsonDocument(const SurveyReport& report) {
    return QJsonDocument(toJson(report)).toJson(QJsonDocument::Indented);
}

bool writeReportFile(const SurveyReport& report, const QString& file, QString& error) {
    const QByteArray document = jsonDocument(report);
    QSaveFile out(file);  // all or nothing: an old report is never left half overwritten
    if (!out.open(QIODevice::WriteOnly) || out.write(document) != document.size() || !out.commit()) {
        error = out.errorString();
        return false;
    }
    return true;
}

std::optional<LoadedReport> loadReport(const QString& file, QString& error) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        error = "cannot read it: " + f.errorString();
        return std::nullopt;
    }
    QJsonParseError parseError{};
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        error = QString("not JSON: %1 at byte %2").arg(parseError.errorString()).arg(parseError.offset);
        return std::nullopt;
    }
    const QJsonObject root = doc.object();
    if (!doc.isObject() || root.value("schema").toString() != kSchemaName) {
        error = "not a zentora-survey report (no \"schema\": \"" + QString(kSchemaName) + "\")";
        return std::nullopt;
    }
    if (root.value("schemaVersion").toInt(-1) != kSchemaVersion) {
        error = QString("report schema version %1; this program reads version %2")
                    .arg(root.value("schemaVersion").toVariant().toString())
                    .arg(kSchemaVersion);
        return std::nullopt;
    }
    const QJsonValue figures = root.value("figures");
    if (!figures.isArray()) {
        error = "damaged report: no \"figures\" list";
        return std::nullopt;
    }
    LoadedReport loaded;
    loaded.file = file;
    loaded.time = root.value("time").toString();
    loaded.version = root.value("program").toObject().value("version").toString();
    loaded.host = root.value("host").toString();
    int index = 0;
    for (const QJsonValue& v : figures.toArray()) {
        const QJsonObject o = v.toObject();
        if (!o.value("key").isString() || !o.value("value").isDouble()) {
            error = QString("damaged report: figure %1 has no key or no numeric value").arg(index);
            return std::nullopt;
        }
        loaded.figures.push_back({o.value("key").toString().toStdString(), o.value("label").toString().toStdString(),
                                  o.value("value").toDouble(), o.value("unit").toString().toStdString()});
        ++index;
    }
    return loaded;
}

void printComparison(const LoadedReport& a, const LoadedReport& b, QTextStream& out) {
    auto describe = [](const LoadedReport& r) {
        return r.file + "  (" + (r.host.isEmpty() ? "?" : r.host) + ", " + r.time + ", version " + r.version + ")";
    };
    out << "A: " << describe(a) << '\n' << "B: " << describe(b) << "\n\n";
    auto value = [](const survey::Figure* f) {
        if (f == nullptr) return QString("-");
        return QString::number(f->value, 'g', 10) + ' ' + QString::fromStdString(f->unit);
    };
    out << QString("figure").leftJustified(58) << QString("A").rightJustified(20) << QString("B").rightJustified(20)
        << QString("B/A").rightJustified(10) << '\n';
    std::vector<std::string> keys;
    for (const auto& f : a.figures) keys.push_back(f.key);
    for (const auto& f : b.figures) {
        if (findFigure(a.figures, f.key.c_str()) == nullptr) keys.push_back(f.key);
    }
    for (const std::string& key : keys) {
        const survey::Figure* fa = findFigure(a.figures, key.c_str());
        const survey::Figure* fb = findFigure(b.figures, key.c_str());
        const survey::Figure* named = fa != nullptr ? fa : fb;
        QString ratio = "-";
        if (fa != nullptr && fb != nullptr && fa->value != 0 && fa->unit == fb->unit) {
            ratio = QString::number(fb->value / fa->value, 'f', 3);
        }
        out << QString::fromStdString(named->label).leftJustified(58, ' ', true) << value(fa).rightJustified(20)
            << value(fb).rightJustified(20) << ratio.rightJustified(10) << '\n';
    }
    out << Qt::flush;
}

}  // namespace report
