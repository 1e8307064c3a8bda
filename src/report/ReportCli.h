#pragma once
// The zentora-survey command line, apart from main() so tests can run it
// with their own streams, clock and system context.

#include "report/SurveyReport.h"

#include <QString>
#include <QStringList>

#include <functional>

class QTextStream;

namespace report {

struct CliEnvironment {
    bool interactive = false;                // stdout is a terminal
    std::function<SystemContext()> context;  // this machine's facts
    std::function<QString()> now;            // the run's time, ISO 8601 UTC
};

// Runs zentora-survey with `arguments` (the program name first). Returns
// the exit status: 0 done, 1 the report could not be written, 2 a usage
// error or a report file that cannot be compared.
int surveyMain(const QStringList& arguments, QTextStream& out, QTextStream& err, const CliEnvironment& env);

}  // namespace report
