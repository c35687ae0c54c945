#pragma once
// The patient's warranty card on paper: the record's fields, the term and
// expiry as the card's lines, laid out by mduCardLayout (one card per
// ID-card page or eight to an A4 sheet, a QR code of the card number).
// Printed, previewed or saved as PDF (Chinese text embedded).
#include "mduCardLayout.h"
#include "mduCardLookup.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QPrintPreviewDialog>
#include <QString>
#include <functional>

class QComboBox;

struct CardPrintJob {
    QString labName;
    QList<WarrantyCard> cards;
    QHash<QString, int> terms; // months by product key
};

// The card's lines as printed: caption and value, in order.
QList<QPair<QString, QString>> CardLines(const WarrantyCard& card, int termMonths);

// The job as the layout draws it: each card's lines, the house band colour.
CardDeck CardDeckOf(const CardPrintJob& job);
// Writes the job as a PDF file, whole or not at all; false with the reason.
bool SaveCardsPdf(const QString& path, const CardPrintJob& job, CardSheet sheet, QString* error);

// The preview: Qt's print preview with the choice of sheet and a button that
// saves the cards as a PDF file.
class CardPreview : public QPrintPreviewDialog {
    Q_OBJECT
public:
    explicit CardPreview(const CardPrintJob& job, QWidget* parent = nullptr);
    CardSheet sheet() const { return m_sheet; }
    void setSheet(CardSheet sheet);
    // Asks for a file name and saves the cards there; true when written.
    bool savePdf();

private:
    CardPrintJob m_job;
    CardSheet m_sheet = CardSheet::IdCard;
    QComboBox* m_choice = nullptr;
};

// Shows the preview of the cards (nothing when there are none).
void ShowCardPreview(QWidget* parent, const CardPrintJob& job);
// Instead of showing the preview, hands it to a test once (it is closed
// when the handler returns).
void SetNextCardPreviewHandler(std::function<void(CardPreview&)> handler);
