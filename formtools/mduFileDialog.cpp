#include "mduFileDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QAbstractFileIconProvider>
#include <QFileInfo>
#include <QHash>
#include <QLineEdit>
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
// Each dialog's last folder, by its caption: reading a batch file does not
// move the export's folder.
QString& lastFolder(const QString& caption) {
    static QHash<QString, QString> folders;
    auto it = folders.find(caption);
    if (it == folders.end())
        it = folders.insert(caption, QDir::homePath());
    return *it;
}

// A name typed without a folder is taken in the folder the dialog shows,
// not in the program's working folder.
class FolderFileDialog final : public QFileDialog {
public:
    using QFileDialog::QFileDialog;
    void accept() override {
        m_chosen.clear();
        auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        const QString typed = edit ? edit->text().trimmed() : QString();
        if (fileMode() == ExistingFile && !typed.isEmpty() && !typed.contains(QLatin1Char('/')) &&
            !typed.startsWith(QLatin1Char('"'))) {
            const QString path = directory().absoluteFilePath(typed);
            if (QFileInfo(path).isFile()) {
                m_chosen = path;
                QDialog::accept();
                return;
            }
        }
        QFileDialog::accept();
    }
    QString chosen() const { return m_chosen.isEmpty() ? selectedFiles().value(0) : m_chosen; }

private:
    QString m_chosen;
};
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
    std::unique_ptr<QFileDialog> dialog(NewFileDialog(parent, caption, QDir(lastFolder(caption)).filePath(defaultName), filter));
    const QString path = dialog->exec() == QDialog::Accepted ? ChosenFile(dialog.get()) : QString();
    if (!path.isEmpty())
        lastFolder(caption) = QFileInfo(path).absolutePath();
    return path;
}

QFileDialog* NewFileDialog(QWidget* parent, const QString& caption, const QString& path, const QString& filter) {
    // Made on the file system's root, so that the folder of the file is
    // listed only once the icons come from names alone.
    auto* dialog = new FolderFileDialog(parent, caption, QDir::rootPath(), filter);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setIconProvider(nameOnlyIcons());
    dialog->setDirectory(QFileInfo(path).absolutePath());
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    if (const QString name = QFileInfo(path).fileName(); !name.isEmpty())
        dialog->selectFile(name);
    return dialog;
}

void SetNextOpenFileName(const QString& path) { nextOpenAnswer() = path; }

QString AskOpenFileName(QWidget* parent, const QString& caption, const QString& filter) {
    if (nextOpenAnswer()) {
        const QString answer = *nextOpenAnswer();
        nextOpenAnswer().reset();
        return answer;
    }
    std::unique_ptr<QFileDialog> dialog(NewOpenFileDialog(parent, caption, lastFolder(caption), filter));
    const QString path = dialog->exec() == QDialog::Accepted ? ChosenFile(dialog.get()) : QString();
    if (!path.isEmpty())
        lastFolder(caption) = QFileInfo(path).absolutePath();
    return path;
}

QFileDialog* NewOpenFileDialog(QWidget* parent, const QString& caption, const QString& folder, const QString& filter) {
    // The folder itself, not a file in it: its parent would be shown.
    QFileDialog* dialog = NewFileDialog(parent, caption, QDir(folder).absolutePath() + QLatin1Char('/'), filter);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    return dialog;
}

QString ChosenFile(const QFileDialog* dialog) {
    if (const auto* own = dynamic_cast<const FolderFileDialog*>(dialog))
        return own->chosen();
    return dialog->selectedFiles().value(0);
}

QString LastFolder(const QString& caption) { return lastFolder(caption);
}
