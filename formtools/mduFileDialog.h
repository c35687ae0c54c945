#pragma once
// The file dialogs of the program go through here, so that a test can give
// the next file name instead of a person choosing one.
#include <QString>

class QFileDialog;
class QWidget;

// Asks where to save; an empty result means the user cancelled.
// defaultName is offered in the folder this dialog (by its caption) last
// saved in.
QString AskSaveFileName(QWidget* parent, const QString& caption, const QString& defaultName,
                        const QString& filter);
// The answer the next AskSaveFileName gives without showing a dialog
// (once); an empty text stands for Cancel.
void SetNextSaveFileName(const QString& path);
// Asks for a file to open; empty when cancelled.
QString AskOpenFileName(QWidget* parent, const QString& caption, const QString& filter);
// The answer the next AskOpenFileName gives without a dialog (once).
void SetNextOpenFileName(const QString& path);

// The dialog the two ask for, not yet shown: Qt's own dialog on
// every platform, which never reads the files it lists.
QFileDialog* NewFileDialog(QWidget* parent, const QString& caption, const QString& path, const QString& filter);
// The open dialog, showing folder.
QFileDialog* NewOpenFileDialog(QWidget* parent, const QString& caption, const QString& folder, const QString& filter);
// The file a dialog made here was accepted with (a bare typed name taken
// in the folder the dialog shows).
QString ChosenFile(const QFileDialog* dialog);
// The folder the dialog of this caption shows next (each remembers its own).
QString LastFolder(const QString& caption);
