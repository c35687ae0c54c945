// quorvat-demo-db DIR: creates or resets DIR/demo.db with the demo data and
// writes DIR/setup.ini selecting it, so that Quorvat started from DIR opens
// the demo database without its settings dialog.
#include "dbBackend.h"
#include "dbEmbeddedSchema.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: quorvat-demo-db DIR\n");
        return 2;
    }
    const QDir dir(args[1]);
    if (!dir.exists()) {
        std::fprintf(stderr, "quorvat-demo-db: no such folder: %s\n", qPrintable(args[1]));
        return 1;
    }
    try {
        CreateEmbeddedDatabase(dir.filePath(QStringLiteral("demo.db")), true);
    } catch (const DbError& e) {
        std::fprintf(stderr, "quorvat-demo-db: %s\n", qPrintable(e.description));
        return 1;
    }
    SelectEmbeddedDatabase(dir.filePath(QStringLiteral("setup.ini")), QStringLiteral("demo"));
    std::printf("%s\n", qPrintable(dir.filePath(QStringLiteral("demo.db"))));
    return 0;
}
