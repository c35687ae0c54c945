#include "mduMain.h"

#include "mduDataUi.h"
#include "qvApplication.h"

int main(int argc, char* argv[]) {
    qvApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvat"));
    QApplication::setQuitOnLastWindowClosed(true);
    // The data layer's boxes, busy pointer and kept error text are the program's.
    InstallFormDataUserInterface();
    if (!Main())
        return 0;
    return QApplication::exec();
}
