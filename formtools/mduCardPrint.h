#pragma once
// The patient's warranty card on paper: one card per page at ID-card size
// (85.6 x 54 mm) or eight to an A4 sheet, with the lab's name, the record's
// fields, the term and expiry, a QR code of the card number and a place for
// the lab's stamp. Printed, previewed or saved as PDF (Chinese text embedded).
#include "mduCardLookup.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QPrintPreviewDialog>
#include <QString>
#include <functional>

class QComboBox;
class QPagedPaintDevice;
class QPainter;
class QPrinter;
class QRectF;

enum class CardSheet { IdCard, EightPerA4 };

struct CardPrintJob {
    QString labName;
    QList<WarrantyCard> cards;
    QHash<QString, int> terms; // months by product key
};

// The card's lines as printed: caption and value, in order.
QList<QPair<QString, QString>> CardLines(const WarrantyCard& card, int termMonths);

// The QR code of a text as black (true) and white modules, row by row; the
// side is the square root of the count. Empty when the text cannot be coded.
QList<bool> QrModules(const QString& text, int* side);

// Gives a printer or PDF writer the page of a sheet: the card's own page,
// or A4 portrait; no margins (the cards are placed from the page's corner).
void SetUpCardPage(QPagedPaintDevice* device, CardSheet sheet);
// Draws every card of the job on the device, page after page; false when
// the device could not be painted on.
bool PaintCards(QPagedPaintDevice* device, const CardPrintJob& job, CardSheet sheet);
// Draws one card into a rectangle given in device pixels.
void PaintCard(QPainter& painter, const QRectF& rect, const WarrantyCard& card, const QString& labName,
               int termMonths);
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
