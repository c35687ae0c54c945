#include "mduMain.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvat"));
    QApplication::setQuitOnLastWindowClosed(true);
    if (!Main())
        return 0;
    return QApplication::exec();
}
