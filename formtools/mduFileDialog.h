#pragma once
// The file dialogs of the program go through here, so that a test can give
// the next file name instead of a person choosing one.
#include <QString>

class QFileDialog;
class QWidget;

// Asks where to save; an empty result means the user cancelled.
// defaultName is offered in the dialog's folder of the last save.
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
