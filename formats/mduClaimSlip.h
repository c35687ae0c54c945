#pragma once
// The claim slip the lab hands to the clinic: one A5 page naming the lab,
// the card claimed on (number, product, patient, doctor, clinic), the claim
// (date, reason, what was said, the teeth, the action, the warranty) and,
// once known, the remake's card number and the claim's closing; a line for
// the clinic's signature and a place for the lab's stamp. Drawn onto any
// paged device or saved as PDF; what the lines say is worked out by the
// caller. Qt Gui only.
#include <QList>
#include <QPair>
#include <QString>

class QPagedPaintDevice;
class QPainter;
class QRectF;

struct ClaimSlip {
    QString labName;
    QString title;                             // "返修单"
    QString slipNumber;                        // the claim's key, shown in the corner
    QList<QPair<QString, QString>> cardLines;  // caption and value, the card claimed on
    QList<QPair<QString, QString>> claimLines; // caption and value, the claim
};

// Gives a paged device the slip's page: A5 portrait with 12 mm margins.
void SetUpClaimSlipPage(QPagedPaintDevice* device);
// Draws the slip into a rectangle in device pixels (dpmm pixels a millimetre).
void PaintClaimSlip(QPainter& painter, const QRectF& rect, double dpmm, const ClaimSlip& slip);
// Draws the slip on the device's page; false when it could not be painted on.
bool PaintClaimSlip(QPagedPaintDevice* device, const ClaimSlip& slip);
// Writes the slip as a PDF file, whole or not at all; false with the reason.
bool WriteClaimSlipPdf(const QString& path, const ClaimSlip& slip, const QString& creator, QString* error);
