#include "report/ReportCli.h"

#include "platform/SystemFacts.h"

#include "platform/Clocks.h"

#include <QCommandLineParser>
#include <QJsonDocument>
#include <QSaveFile>
#include <QTextStream>

namespace report {
namespace {

constexpr const char* kUsage =
    "Usage: zentora-survey [--mm-timer] [--json [FILE]]\n"
    "       zentora-survey --compare A.json B.json\n"
    "       zentora-survey --help | --version\n";

int usageError(QTextStream& err, const QString& message) {
    err << "zentora-survey: " << message << '\n' << kUsage << Qt::flush;
    return 2;
}

QString helpText() {
    return QString(kUsage) +
           "\n"
           "Surveys this machine's clocks and timers as the Zentora Timing window does: the cost of\n"
           "each clock call, each clock's resolution, the time adjustment, the timer range, then\n"
           "every step of the system file time for about 1.5 s. Each line is printed as soon as it\n"
           "is measured (about ten seconds in all), followed by what backs each clock here and\n"
           "warnings where the figures point at a known trap.\n"
           "\n"
           "Options:\n"
           "  --mm-timer         hold a 1 ms multimedia timer period during the file-time capture\n"
           "  --json             print the report as JSON instead (the lines go to stderr)\n"
           "  --json FILE        also write the report as JSON to FILE\n"
           "  --compare A B      compare two JSON reports figure by figure (B / A)\n"
           "  -h, --help         show this help\n"
           "  -v, --version      show the program's version\n";
}

}  // namespace

int surveyMain(const QStringList& arguments, QTextStream& out, QTextStream& err, const CliEnvironment& env) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({"h", "help"}, "Show this help.");
    const QCommandLineOption version({"v", "version"}, "Show the version.");
    const QCommandLineOption json("json", "Write the report as JSON.");
    const QCommandLineOption compare("compare", "Compare two reports.");
    const QCommandLineOption mmTimer("mm-timer", "Hold a 1 ms timer period during the capture.");
    parser.addOptions({help, version, json, compare, mmTimer});
    parser.addPositionalArgument("files", "The JSON file, or the two reports to compare.");

    if (!parser.parse(arguments)) return usageError(err, parser.errorText());
    const QStringList files = parser.positionalArguments();

    if (parser.isSet(help)) {
        out << helpText() << Qt::flush;
        return 0;
    }
    if (parser.isSet(version)) {
        out << "zentora-survey " << QString::fromStdString(platform::programFileVersion()) << '\n' << Qt::flush;
        return 0;
    }
    if (parser.isSet(compare)) {
        if (parser.isSet(json) || parser.isSet(mmTimer)) {
            return usageError(err, "--compare takes no other options");
        }
        if (files.size() != 2) return usageError(err, "--compare needs two report files");
        // Both files are checked before anything is printed.
        std::optional<LoadedReport> reports[2];
        for (int i = 0; i < 2; ++i) {
            QString problem;
            reports[i] = loadReport(files[i], problem);
            if (!reports[i]) {
                err << "zentora-survey: " << files[i] << ": " << problem << '\n' << Qt::flush;
                return 2;
            }
        }
        printComparison(*reports[0], *reports[1], out);
        return 0;
    }
    if (files.size() > 1 || (files.size() == 1 && !parser.isSet(json))) {
        return usageError(err, "unexpected argument '" + files.value(parser.isSet(json) ? 1 : 0) + "'");
    }

    // With --json and no file, stdout carries the JSON alone and the lines
    // go to stderr.
    const bool jsonToStdout = parser.isSet(json) && files.isEmpty();
    QTextStream& lines = jsonToStdout ? err : out;
    RunOptions options;
    options.multimediaPeriod = parser.isSet(mmTimer);
    options.interactive = env.interactive && !jsonToStdout;
    const SurveyReport r = runReport(options, env.context(), env.now(), lines);
    printContext(r, lines);

    if (parser.isSet(json)) {
        if (jsonToStdout) {
            out << QString::fromUtf8(jsonDocument(r)) << Qt::flush;
        } else {
            QString error;
            if (!writeReportFile(r, files[0], error)) {
                err << "zentora-survey: cannot write " << files[0] << ": " << error << '\n' << Qt::flush;
                return 1;
            }
            out << "Report written to " << files[0] << '\n' << Qt::flush;
        }
    }
    return 0;
}

}  // namespace report
