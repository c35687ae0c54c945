#pragma once
// The warranty card's page layout: one card per page at ID-card size
// (85.6 x 54 mm) or eight to an A4 sheet, each with a band holding the lab's
// name, caption and value lines, a QR code of the card number and a place
// for the lab's stamp. Drawn onto any paged device (a printer, a PDF
// writer) or saved as PDF; what the lines say is worked out by the caller.
// Qt Gui only.
#include <QColor>
#include <QList>
#include <QPair>
#include <QString>

class QPagedPaintDevice;
class QPainter;
class QRectF;

enum class CardSheet { IdCard, EightPerA4 };

// One card as it is drawn: the number its QR code holds, and its lines of
// caption and value in order (the second, the card number, in bold).
struct CardFace {
    QString cardNumber;
    QList<QPair<QString, QString>> lines;
};

// What every card of a print run shares: the lab's name in the band and the
// band's colour.
struct CardDeck {
    QString labName;
    QColor bandColor;
    QList<CardFace> faces;
};

// The QR code of a text as black (true) and white modules, row by row; the
// side is the square root of the count. Empty when the text cannot be coded.
QList<bool> QrModules(const QString& text, int* side);

// Gives a paged device the page of a sheet: the card's own page, or A4
// portrait; no margins (the cards are placed from the page's corner).
void SetUpCardPage(QPagedPaintDevice* device, CardSheet sheet);
// Draws every card of the deck on the device, page after page; false when
// the device could not be painted on.
bool PaintCards(QPagedPaintDevice* device, const CardDeck& deck, CardSheet sheet);
// Draws one card into a rectangle given in device pixels.
void PaintCard(QPainter& painter, const QRectF& rect, const CardFace& face, const QString& labName,
               const QColor& bandColor);
// Writes the deck as a PDF file (the creator named in its properties),
// whole or not at all; false with the reason.
bool WriteCardsPdf(const QString& path, const CardDeck& deck, CardSheet sheet, const QString& creator,
                   QString* error);
