#include "mduMain.h"

#include "qvApplication.h"

int main(int argc, char* argv[]) {
    qvApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvat"));
    QApplication::setQuitOnLastWindowClosed(true);
    if (!Main())
        return 0;
    return QApplication::exec();
}
