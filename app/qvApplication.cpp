#include "qvApplication.h"

#include "mduMessage.h"
#include "mduToolkitLanguage.h"

#include <exception>

qvApplication::qvApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // The dialogs the toolkit draws speak the program's language.
    InstallToolkitChinese();
}

void ReportUnhandledException(const QString& what) {
    MessageRequest r;
    r.text = QStringLiteral("操作未能完成：") + what;
    r.title = QStringLiteral("系统提示！");
    r.icon = MsgIcon::Critical;
    PresentMessage(r);
}

bool qvApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ReportUnhandledException(QString::fromUtf8(e.what()));
    } catch (...) {
        ReportUnhandledException(QStringLiteral("未知错误"));
    }
    return false;
}
