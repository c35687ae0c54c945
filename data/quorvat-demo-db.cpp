// quorvat-demo-db [--reset] DIR: creates DIR/demo.db with the demo data when
// there is none, and DIR/setup.ini selecting it when there is none, so that
// Quorvat started from DIR opens the demo database without its settings
// dialog. What a user entered in an existing demo database is kept; only
// --reset replaces the database (and its settings) with fresh demo data.
#include "dbBackend.h"
#include "dbEmbeddedSchema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    const bool reset = args.removeAll(QStringLiteral("--reset")) > 0;
    if (args.size() != 1 || args.first().startsWith(QLatin1String("--"))) {
        std::fprintf(stderr, "usage: quorvat-demo-db [--reset] DIR\n");
        return 2;
    }
    const QDir dir(args.first());
    if (!dir.exists()) {
        std::fprintf(stderr, "quorvat-demo-db: no such folder: %s\n", qPrintable(args.first()));
        return 1;
    }
    const QString db = dir.filePath(QStringLiteral("demo.db"));
    const QString ini = dir.filePath(QStringLiteral("setup.ini"));
    const bool exists = QFile::exists(db);
    if (reset || !exists) {
        try {
            CreateEmbeddedDatabase(db, true);
        } catch (const DbError& e) {
            std::fprintf(stderr, "quorvat-demo-db: %s\n", qPrintable(e.description));
            return 1;
        }
    }
    if (reset || !QFile::exists(ini))
        SelectEmbeddedDatabase(ini, QStringLiteral("demo"));
    std::printf("%s%s\n", qPrintable(db),
                reset ? " (reset)" : exists ? " (kept)" : " (created)");
    return 0;
}
