#pragma once
// A page of text (rich text, as Qt's text document reads it) printed
// through the program's print preview, or saved as PDF (written whole, or
// not at all): the printed lists that are no cards.
#include <QPrintPreviewDialog>
#include <QString>
#include <functional>

// The document as a PDF on A4; false with the reason.
bool SaveDocumentPdf(const QString& path, const QString& title, const QString& html, QString* error);

class DocumentPreview : public QPrintPreviewDialog {
    Q_OBJECT
public:
    DocumentPreview(const QString& title, const QString& html, QWidget* parent = nullptr);
    // Asks for a file name and saves the document there; true when written.
    bool savePdf();
    const QString& html() const { return m_html; }

private:
    QString m_title;
    QString m_html;
};

void ShowDocumentPreview(QWidget* parent, const QString& title, const QString& html);
// Instead of showing the preview, hands it to a test once.
void SetNextDocumentPreviewHandler(std::function<void(DocumentPreview&)> handler);
