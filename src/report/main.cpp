// zentora-survey: the clock survey in a terminal.

#include "platform/SystemFacts.h"
#include "report/ReportCli.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QTextStream>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    report::CliEnvironment env;
    env.interactive = platform::outputIsTerminal();
    env.context = report::gatherContext;
    env.now = [] { return QDateTime::currentDateTimeUtc().toString(Qt::ISODate); };
    return report::surveyMain(QCoreApplication::arguments(), out, err, env);
}
