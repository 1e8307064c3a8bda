// zentora-survey on the simulated clocks: the whole text of a run, its
// JSON, the comparison of two reports, and the command line's errors.

#include "support/SimulatedSurveyText.h"
#include "support/QtPrinters.h"

#include "platform/SimulatedClocks.h"
#include "report/ReportCli.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

namespace {

report::SystemContext fixedContext() {
    report::SystemContext c;
    c.os = "Test OS";
    c.architecture = "x86_64";
    c.clocksource = "kvm-clock";
    c.availableClocksources = "kvm-clock tsc acpi_pm";
    c.tsc.known = true;
    c.tsc.constant = true;
    c.tsc.nonstop = false;
    c.hypervisor = "KVM";
    c.tickHz = 250;
    c.kernelTscMHz = 3000.0;
    c.backing = {{"QueryPerformanceCounter", "the simulated clock"}, {"GetTickCount", "the simulated clock"}};
    return c;
}

struct Result {
    int status;
    QString out;
    QString err;
};

class SurveyCommand : public ::testing::Test {
protected:
    SurveyCommand() {
        QLocale::setDefault(QLocale::c());
        config.tickPeriod = 1000000;
        config.fileTimePeriod = 4000000;
    }

    Result run(QStringList arguments, bool interactive = false) {
        platform::sim::reset(config);
        QString out;
        QString err;
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        report::CliEnvironment env;
        env.interactive = interactive;
        env.context = fixedContext;
        env.now = [] { return QString("2026-12-11T12:00:00Z"); };
        arguments.prepend("zentora-survey");
        const int status = report::surveyMain(arguments, outStream, errStream, env);
        return {status, out, err};
    }

    QString path(const QString& name) const { return dir.filePath(name); }
    static void write(const QString& file, const QByteArray& content) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    static QJsonObject readJson(const QString& file) {
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return QJsonDocument::fromJson(f.readAll()).object();
    }

    platform::sim::Config config;
    QTemporaryDir dir;
};

const char* const kExpectedRun =
    ZENTORA_SIMULATED_SURVEY_LINES
    "GSTAFT mean resolution: 4000.0 µs  (median = 4000.0 µs, std.dev = 0.0 µs)\n"
    "Mean from 391 \"clean\" intervals, median & std. dev. over 391 intervals\n"
    "\n"
    "What each clock is on this system:\n"
    "  QueryPerformanceCounter  the simulated clock\n"
    "  GetTickCount             the simulated clock\n"
    "Kernel clocksource: kvm-clock (available: kvm-clock tsc acpi_pm)\n"
    "TSC: not invariant (constant_tsc yes, nonstop_tsc no)\n"
    "Kernel's TSC rate: 3000.000 MHz\n"
    "Hypervisor: KVM\n"
    "Kernel tick: 250 Hz (the coarse clocks step every 4 ms)\n"
    "System: Test OS, x86_64\n"
    "Warning: the kernel reads the time from \"kvm-clock\", not the TSC: every clock read is slower and coarser "
    "(common in VMs, or where the kernel found the TSC unstable)\n"
    "Warning: the TSC is not invariant (no nonstop_tsc): its rate may change with power states, so cycle "
    "counts are not times\n"
    "Warning: a QueryPerformanceCounter call takes 399.6 ns: clock reads probably go through a system call "
    "rather than the vDSO\n";

TEST_F(SurveyCommand, PrintsTheWholeSurveyThenTheContext) {
    const Result r = run({});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, QString::fromUtf8(kExpectedRun));
    EXPECT_EQ(r.err, "");
}

TEST_F(SurveyCommand, OnATerminalSaysWhatIsBeingMeasured) {
    const Result r = run({}, true);
    EXPECT_TRUE(r.out.contains("\r\033[Kmeasuring: Time for QueryPerformanceCounter() call ...\r\033[K"
                               "Time for QueryPerformanceCounter call ~399.6 ns\n"))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("measuring: every GetSystemTimeAsFileTime step for 1.563 s\r\033[KGSTAFT"));
}

TEST_F(SurveyCommand, JsonHoldsFiguresWithUnitsRawStepsAndContext) {
    const Result r = run({"--json", path("a.json")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.endsWith("Report written to " + path("a.json") + "\n"));
    const QJsonObject json = readJson(path("a.json"));
    EXPECT_EQ(json["schema"].toString(), "zentora-survey-report");
    EXPECT_EQ(json["schemaVersion"].toInt(), 1);
    EXPECT_EQ(json["program"].toObject()["version"].toString(), "1.2.3.4");
    EXPECT_EQ(json["time"].toString(), "2026-12-11T12:00:00Z");

    QMap<QString, QJsonObject> figures;
    for (const QJsonValue& v : json["figures"].toArray()) figures.insert(v["key"].toString(), v.toObject());
    const std::pair<const char*, const char*> expectedUnits[] = {
        {"performanceCounterFrequency", "Hz"}, {"rdtscClockSpeed", "MHz"},    {"getTickCountCallCost", "ns"},
        {"queryPerformanceCounterCallCost", "ns"}, {"getCPUSpeed", "MHz"}, {"timeAdjustment", "100 ns"},
        {"timeIncrement", "100 ns"},           {"timeAdjustmentDisabled", "flag"}, {"timerPeriodMin", "ms"},
        {"timerPeriodMax", "ms"},              {"timeGetTimeCallCost", "ns"}, {"timeGetTimeResolution", "µs"},
        {"nowCallCost", "ns"},                 {"getTickCountResolution", "ms"}, {"getTickCountSteps", "count"},
        {"fileTimeResolution", "µs"},          {"fileTimeStdDev", "µs"},     {"fileTimeIntervals", "count"},
        {"captureIntervals", "count"},         {"captureMedian", "µs"},      {"captureStdDev", "µs"},
        {"captureCleanMean", "µs"}};
    for (const auto& [key, unit] : expectedUnits) {
        ASSERT_TRUE(figures.contains(key)) << key;
        EXPECT_EQ(figures[key]["unit"].toString(), QString::fromUtf8(unit)) << key;
        EXPECT_TRUE(figures[key]["value"].isDouble()) << key;
    }
    EXPECT_DOUBLE_EQ(figures["performanceCounterFrequency"]["value"].toDouble(), 1e7);
    EXPECT_NEAR(figures["queryPerformanceCounterCallCost"]["value"].toDouble(), 399.6, 0.05);
    EXPECT_DOUBLE_EQ(figures["fileTimeResolution"]["value"].toDouble(), 4000);
    EXPECT_DOUBLE_EQ(figures["timeAdjustmentDisabled"]["value"].toDouble(), 1);

    const QJsonObject capture = json["capture"].toObject();
    EXPECT_FALSE(capture["multimediaPeriod"].toBool());
    EXPECT_EQ(capture["count"].toInt(), 391);
    const QJsonArray steps = capture["stepsUs"].toArray();
    ASSERT_EQ(steps.size(), 391);
    for (const QJsonValue& s : steps) EXPECT_DOUBLE_EQ(s.toDouble(), 4000);
    EXPECT_EQ(capture["cleanCount"].toInt(), 391);

    const QJsonObject context = json["context"].toObject();
    EXPECT_EQ(context["clocksource"].toString(), "kvm-clock");
    EXPECT_EQ(context["availableClocksources"].toArray().size(), 3);
    EXPECT_FALSE(context["tsc"].toObject()["invariant"].toBool());
    EXPECT_DOUBLE_EQ(context["tickHz"].toDouble(), 250);
    EXPECT_EQ(json["warnings"].toArray().size(), 3);
    EXPECT_EQ(json["lines"].toArray().size(), 14);
}

TEST_F(SurveyCommand, JsonAloneGoesToStdoutWithTheLinesOnStderr) {
    const Result r = run({"--json"});
    ASSERT_EQ(r.status, 0);
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(r.out.toUtf8(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << r.out.toStdString();
    EXPECT_EQ(doc.object()["schema"].toString(), "zentora-survey-report");
    EXPECT_TRUE(r.err.startsWith("Performance counter frequency: 10 MHz\n"));
}

TEST_F(SurveyCommand, MultimediaTimerBracketsTheCapture) {
    const Result r = run({"--mm-timer"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(platform::sim::counts().beginPeriods, 1);
    EXPECT_EQ(platform::sim::counts().endPeriods, 1);
    EXPECT_TRUE(r.out.contains(QString::fromUtf8("std.dev = 0.0 µs) [with a 1 ms timer period]\n")));
}

TEST_F(SurveyCommand, ComparesTwoReportsFigureByFigure) {
    ASSERT_EQ(run({"--json", path("a.json")}).status, 0);
    config.performanceCounterCost = 800;
    ASSERT_EQ(run({"--json", path("b.json")}).status, 0);
    const Result r = run({"--compare", path("a.json"), path("b.json")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList lines = r.out.split('\n');
    EXPECT_TRUE(lines[0].startsWith("A: " + path("a.json") + "  (")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith("B: " + path("b.json") + "  ("));
    auto row = [&](const QString& label) {
        for (const QString& line : lines) {
            if (line.startsWith(label)) return line.simplified();
        }
        return QString();
    };
    EXPECT_EQ(row("Performance counter frequency"), "Performance counter frequency 10000000 Hz 10000000 Hz 1.000");
    EXPECT_EQ(row("Time for a QueryPerformanceCounter call"),
              QString::fromUtf8("Time for a QueryPerformanceCounter call 399.5999779 ns 799.2000657 ns 2.000"));
    EXPECT_TRUE(row("Median file-time step").endsWith("4000 µs 4000 µs 1.000"));
}

TEST_F(SurveyCommand, RefusesToCompareWhatIsNotAReport) {
    ASSERT_EQ(run({"--json", path("good.json")}).status, 0);
    write(path("text.json"), "GetTickCount resolution: 4.00 ms\n");
    write(path("other.json"), R"({"schema": "something-else", "figures": []})");
    write(path("future.json"), R"({"schema": "zentora-survey-report", "schemaVersion": 2, "figures": []})");
    write(path("damaged.json"),
          R"({"schema": "zentora-survey-report", "schemaVersion": 1, "figures": [{"key": "x", "value": "fast"}]})");
    const std::pair<QString, QString> cases[] = {
        {path("missing.json"), "cannot read it"},
        {path("text.json"), "not JSON"},
        {path("other.json"), "not a zentora-survey report"},
        {path("future.json"), "report schema version 2; this program reads version 1"},
        {path("damaged.json"), "damaged report: figure 0 has no key or no numeric value"},
    };
    for (const auto& [bad, problem] : cases) {
        SCOPED_TRACE(bad.toStdString());
        for (const QStringList& order : {QStringList{path("good.json"), bad}, QStringList{bad, path("good.json")}}) {
            const Result r = run(QStringList{"--compare"} + order);
            EXPECT_EQ(r.status, 2);
            EXPECT_EQ(r.out, "");  // nothing half-printed
            EXPECT_TRUE(r.err.startsWith("zentora-survey: " + bad + ": " + problem)) << r.err.toStdString();
            EXPECT_EQ(r.err.count('\n'), 1);
        }
    }
}

TEST_F(SurveyCommand, ArgumentErrorsGiveOneLineAndTheUsage) {
    const std::pair<QStringList, QString> cases[] = {
        {{"--bogus"}, "zentora-survey: Unknown option 'bogus'."},
        {{"--compare", "a.json"}, "zentora-survey: --compare needs two report files"},
        {{"--compare", "a.json", "b.json", "c.json"}, "zentora-survey: --compare needs two report files"},
        {{"--compare", "--json", "a.json", "b.json"}, "zentora-survey: --compare takes no other options"},
        {{"stray"}, "zentora-survey: unexpected argument 'stray'"},
        {{"--json", "a.json", "b.json"}, "zentora-survey: unexpected argument 'b.json'"},
    };
    for (const auto& [arguments, message] : cases) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const Result r = run(arguments);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        const QStringList lines = r.err.split('\n');
        EXPECT_EQ(lines[0], message);
        EXPECT_TRUE(lines[1].startsWith("Usage: zentora-survey"));
    }
    EXPECT_EQ(platform::sim::now(), 0);  // nothing was measured
}

TEST_F(SurveyCommand, HelpAndVersion) {
    const Result help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: zentora-survey"));
    EXPECT_TRUE(help.out.contains("--compare A B"));
    const Result version = run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "zentora-survey 1.2.3.4\n");
}

TEST_F(SurveyCommand, UnwritableJsonFileIsAnErrorAfterTheReport) {
    const Result r = run({"--json", path("no/such/folder/a.json")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.startsWith("Performance counter frequency"));
    EXPECT_TRUE(r.err.startsWith("zentora-survey: cannot write " + path("no/such/folder/a.json")));
}

}  // namespace
