#include "mduFileDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <optional>

namespace {
std::optional<QString>& nextAnswer() {
    static std::optional<QString> answer;
    return answer;
}
QString& lastFolder() {
    static QString folder = QDir::homePath();
    return folder;
}
} // namespace

void SetNextSaveFileName(const QString& path) { nextAnswer() = path; }

QString AskSaveFileName(QWidget* parent, const QString& caption, const QString& defaultName,
                        const QString& filter) {
    if (nextAnswer()) {
        const QString answer = *nextAnswer();
        nextAnswer().reset();
        return answer;
    }
    const QString path =
        QFileDialog::getSaveFileName(parent, caption, QDir(lastFolder()).filePath(defaultName), filter);
    if (!path.isEmpty())
        lastFolder() = QFileInfo(path).absolutePath();
    return path;
}
