#include "mduCardLayout.h"

#include "mduFileWrite.h"

#include <QBuffer>

#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <qrencode.h>

#include <algorithm>

namespace {

constexpr double CardWidthMm = 85.6;
constexpr double CardHeightMm = 54.0;
constexpr int CardsAcross = 2;
constexpr int CardsDown = 4;

} // namespace

QList<bool> QrModules(const QString& text, int* side) {
    *side = 0;
    const QByteArray utf8 = text.toUtf8();
    if (utf8.isEmpty())
        return {};
    QRcode* code = QRcode_encodeString(utf8.constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1);
    if (!code)
        return {};
    QList<bool> modules;
    modules.reserve(code->width * code->width);
    for (int i = 0; i < code->width * code->width; ++i)
        modules << bool(code->data[i] & 1);
    *side = code->width;
    QRcode_free(code);
    return modules;
}

void SetUpCardPage(QPagedPaintDevice* device, CardSheet sheet) {
    if (sheet == CardSheet::IdCard)
        device->setPageLayout(QPageLayout(QPageSize(QSizeF(CardWidthMm, CardHeightMm), QPageSize::Millimeter,
                                                    QStringLiteral("质保卡"), QPageSize::ExactMatch),
                                          QPageLayout::Portrait, QMarginsF(), QPageLayout::Millimeter));
    else
        device->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(),
                                          QPageLayout::Millimeter));
}

void PaintCard(QPainter& p, const QRectF& rect, const CardFace& face, const QString& labName,
               const QColor& bandColor) {
    // Measures in millimetres of the card, turned into the device's pixels.
    const double unit = rect.width() / CardWidthMm;
    const auto mm = [unit](double v) { return v * unit; };
    const auto at = [&](double x, double y, double w, double h) {
        return QRectF(rect.left() + mm(x), rect.top() + mm(y), mm(w), mm(h));
    };
    const auto font = [&](double heightMm, bool bold) {
        QFont f(QStringLiteral("WenQuanYi Micro Hei"));
        f.setPixelSize(std::max(1, int(mm(heightMm) + 0.5)));
        f.setBold(bold);
        return f;
    };
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);

    // The outline to cut along, and the house band with the lab's name.
    p.setPen(QPen(QColor(150, 150, 150), mm(0.2), Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect.adjusted(mm(0.1), mm(0.1), -mm(0.1), -mm(0.1)));
    const QRectF band = at(0.6, 0.6, CardWidthMm - 1.2, 9);
    p.fillRect(band, bandColor);
    p.setPen(Qt::black);
    p.setFont(font(3.6, true));
    p.drawText(band.adjusted(mm(2.5), 0, -mm(20), 0), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
               labName.isEmpty() ? QStringLiteral("义齿加工所") : labName);
    p.setFont(font(3.6, true));
    p.drawText(band.adjusted(0, 0, -mm(2.5), 0), Qt::AlignVCenter | Qt::AlignRight, QStringLiteral("质保卡"));

    // The fields, two columns of caption and value.
    const QList<QPair<QString, QString>>& lines = face.lines;
    // More lines than nine share the card's height.
    const double top = 11.5, captionWidth = 13.5, valueWidth = 43;
    const double lineHeight = std::min(4.25, (CardHeightMm - top - 1.0) / double(std::max<qsizetype>(1, lines.size())));
    for (int i = 0; i < lines.size(); ++i) {
        const double y = top + i * lineHeight;
        p.setFont(font(2.7, false));
        p.setPen(QColor(70, 70, 70));
        p.drawText(at(3, y, captionWidth, lineHeight), Qt::AlignVCenter | Qt::AlignLeft, lines[i].first);
        p.setFont(font(2.9, i == 1));
        p.setPen(Qt::black);
        const QRectF box = at(3 + captionWidth, y, valueWidth, lineHeight);
        p.drawText(box, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                   p.fontMetrics().elidedText(lines[i].second, Qt::ElideRight, int(box.width())));
    }

    // The QR code of the card number, drawn module by module.
    int side = 0;
    const QList<bool> modules = QrModules(face.cardNumber, &side);
    const double qrSize = 19.0, qrX = CardWidthMm - qrSize - 3, qrY = 11.5;
    if (side > 0) {
        const QRectF area = at(qrX, qrY, qrSize, qrSize);
        const double quiet = 2.0;
        const double cell = area.width() / (side + 2 * quiet);
        p.fillRect(area, Qt::white);
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                if (modules[y * side + x])
                    p.fillRect(QRectF(area.left() + (x + quiet) * cell, area.top() + (y + quiet) * cell, cell, cell),
                               Qt::black);
    }
    // The place for the lab's stamp.
    const QRectF stamp = at(qrX + 0.5, qrY + qrSize + 2, qrSize - 1, 17);
    p.setPen(QPen(QColor(200, 60, 60), mm(0.25), Qt::DashLine));
    p.drawEllipse(stamp);
    p.setFont(font(2.4, false));
    p.setPen(QColor(200, 60, 60));
    p.drawText(stamp, Qt::AlignCenter, QStringLiteral("加工所盖章"));
    p.restore();
}

bool PaintCards(QPagedPaintDevice* device, const CardDeck& deck, CardSheet sheet) {
    QPainter p(device);
    if (!p.isActive())
        return false;
    const double dpmm = device->logicalDpiX() / 25.4;
    const int perPage = sheet == CardSheet::IdCard ? 1 : CardsAcross * CardsDown;
    const QSizeF card(CardWidthMm * dpmm, CardHeightMm * dpmm);
    const QSizeF page = device->pageLayout().fullRect(QPageLayout::Millimeter).size() * dpmm;
    const QPointF origin = sheet == CardSheet::IdCard
                               ? QPointF(0, 0)
                               : QPointF((page.width() - CardsAcross * card.width()) / 2,
                                         (page.height() - CardsDown * card.height()) / 2);
    for (int i = 0; i < deck.faces.size(); ++i) {
        if (i > 0 && i % perPage == 0)
            device->newPage();
        const int slot = i % perPage;
        const QRectF rect(origin + QPointF((slot % CardsAcross) * card.width(), (slot / CardsAcross) * card.height()),
                          card);
        PaintCard(p, sheet == CardSheet::IdCard ? QRectF(QPointF(0, 0), card) : rect, deck.faces[i], deck.labName,
                  deck.bandColor);
    }
    return p.end();
}

bool WriteCardsPdf(const QString& path, const CardDeck& deck, CardSheet sheet, const QString& creator,
                   QString* error) {
    QBuffer bytes;
    bytes.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&bytes);
        pdf.setResolution(300);
        pdf.setCreator(creator);
        pdf.setTitle(QStringLiteral("质保卡"));
        SetUpCardPage(&pdf, sheet);
        if (!PaintCards(&pdf, deck, sheet)) {
            *error = QStringLiteral("无法生成 PDF");
            return false;
        }
    }
    return WriteFileWhole(path, bytes.data(), error);
}
