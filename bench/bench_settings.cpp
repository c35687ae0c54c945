// Reading the settings file as start-up and reconnection do.
#include "mduINI.h"
#include "mduPaths.h"
#include "qvBench.h"

#include <QCoreApplication>
#include <QTemporaryDir>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    SetProgramFolder(dir.path());
    WriteIniString("DATABASE", "SERVER", "db01", SetupIniPath());
    WriteIniString("DATABASE", "DATABASENAME", "wty", SetupIniPath());
    const double ms = qvbench::bestOf(5, [] {
        QString s, d, u, p;
        for (int i = 0; i < 1000; ++i)
            ReadDatabaseSettings(s, d, u, p);
    });
    qvbench::report("settings.read_database_1000", ms);
    return 0;
}
