#include "mduFileDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QAbstractFileIconProvider>
#include <QFileInfo>
#include <memory>
#include <optional>

namespace {
std::optional<QString>& nextAnswer() {
    static std::optional<QString> answer;
    return answer;
}
std::optional<QString>& nextOpenAnswer() {
    static std::optional<QString> answer;
    return answer;
}
QString& lastFolder() {
    static QString folder = QDir::homePath();
    return folder;
}
// Icons and types from the name alone. The standard provider reads a file
// whose name says too little to guess its type; opening and closing the
// embedded database that way would drop the program's locks on it.
class NameOnlyIconProvider final : public QAbstractFileIconProvider {
public:
    QIcon icon(IconType type) const override { return QAbstractFileIconProvider::icon(type); }
    QIcon icon(const QFileInfo& info) const override {
        return QAbstractFileIconProvider::icon(info.isDir() ? Folder : File);
    }
    QString type(const QFileInfo& info) const override {
        if (info.isDir())
            return QStringLiteral("文件夹");
        const QString suffix = info.suffix().toUpper();
        return suffix.isEmpty() ? QStringLiteral("文件") : suffix + QStringLiteral(" 文件");
    }
};

NameOnlyIconProvider* nameOnlyIcons() {
    static NameOnlyIconProvider provider;
    return &provider;
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
    std::unique_ptr<QFileDialog> dialog(
        NewFileDialog(parent, caption, QDir(lastFolder()).filePath(defaultName), filter));
    const QString path = dialog->exec() == QDialog::Accepted ? dialog->selectedFiles().value(0) : QString();
    if (!path.isEmpty())
        lastFolder() = QFileInfo(path).absolutePath();
    return path;
}

QFileDialog* NewFileDialog(QWidget* parent, const QString& caption, const QString& path, const QString& filter) {
    // Made on the file system's root, so that the folder of the file is
    // listed only once the icons come from names alone.
    auto* dialog = new QFileDialog(parent, caption, QDir::rootPath(), filter);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setIconProvider(nameOnlyIcons());
    dialog->setDirectory(QFileInfo(path).absolutePath());
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->selectFile(QFileInfo(path).fileName());
    return dialog;
}

void SetNextOpenFileName(const QString& path) { nextOpenAnswer() = path; }

QString AskOpenFileName(QWidget* parent, const QString& caption, const QString& filter) {
    if (nextOpenAnswer()) {
        const QString answer = *nextOpenAnswer();
        nextOpenAnswer().reset();
        return answer;
    }
    std::unique_ptr<QFileDialog> dialog(NewFileDialog(parent, caption, QDir(lastFolder()).filePath(QString()), filter));
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    const QString path = dialog->exec() == QDialog::Accepted ? dialog->selectedFiles().value(0) : QString();
    if (!path.isEmpty())
        lastFolder() = QFileInfo(path).absolutePath();
    return path;
}
