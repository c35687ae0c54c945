#include "mduClaimSlip.h"

#include "mduFileWrite.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

namespace {

constexpr double MarginMm = 12.0;

QFont slipFont(double mmHigh, double dpmm, bool bold) {
    QFont f(QStringLiteral("WenQuanYi Micro Hei"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(std::max(1, int(mmHigh * dpmm + 0.5)));
    f.setBold(bold);
    return f;
}

// One block of caption and value lines under a heading; the value wraps
// within the block. Gives the height used.
double paintLines(QPainter& p, const QRectF& area, double dpmm, const QString& heading,
                  const QList<QPair<QString, QString>>& lines) {
    double y = area.top();
    p.setFont(slipFont(4.0, dpmm, true));
    p.setPen(QColor(30, 60, 110));
    const QFontMetricsF headMetrics(p.font());
    p.drawText(QRectF(area.left(), y, area.width(), headMetrics.height()), Qt::AlignLeft | Qt::AlignVCenter, heading);
    y += headMetrics.height() + 0.8 * dpmm;
    p.setPen(QPen(QColor(30, 60, 110), 0.3 * dpmm));
    p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
    y += 1.5 * dpmm;
    const QFont captionFont = slipFont(3.4, dpmm, false);
    const QFont valueFont = slipFont(3.4, dpmm, false);
    const double captionWidth = 24.0 * dpmm;
    for (const auto& [caption, value] : lines) {
        p.setFont(captionFont);
        p.setPen(QColor(90, 90, 90));
        const QFontMetricsF cm(captionFont);
        p.drawText(QRectF(area.left(), y, captionWidth, cm.height()), Qt::AlignLeft | Qt::AlignTop, caption);
        p.setFont(valueFont);
        p.setPen(Qt::black);
        const QRectF valueArea(area.left() + captionWidth, y, area.width() - captionWidth, area.bottom() - y);
        const QRectF used = p.boundingRect(valueArea, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, value);
        p.drawText(valueArea, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, value);
        y += std::max(cm.height(), used.height()) + 1.2 * dpmm;
    }
    return y - area.top();
}

} // namespace

void SetUpClaimSlipPage(QPagedPaintDevice* device) {
    device->setPageLayout(QPageLayout(QPageSize(QPageSize::A5), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                                      QPageLayout::Millimeter));
}

void PaintClaimSlip(QPainter& p, const QRectF& rect, double dpmm, const ClaimSlip& slip) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect, Qt::white);
    const QRectF body = rect.adjusted(MarginMm * dpmm, MarginMm * dpmm, -MarginMm * dpmm, -MarginMm * dpmm);
    double y = body.top();
    // The lab's name and the slip's title, its number in the corner.
    p.setFont(slipFont(5.0, dpmm, true));
    p.setPen(Qt::black);
    const QFontMetricsF labMetrics(p.font());
    p.drawText(QRectF(body.left(), y, body.width(), labMetrics.height()), Qt::AlignHCenter | Qt::AlignVCenter,
               slip.labName);
    y += labMetrics.height() + 1.0 * dpmm;
    p.setFont(slipFont(6.5, dpmm, true));
    const QFontMetricsF titleMetrics(p.font());
    p.drawText(QRectF(body.left(), y, body.width(), titleMetrics.height()), Qt::AlignHCenter | Qt::AlignVCenter,
               slip.title);
    p.setFont(slipFont(3.0, dpmm, false));
    p.setPen(QColor(90, 90, 90));
    p.drawText(QRectF(body.left(), y, body.width(), titleMetrics.height()), Qt::AlignRight | Qt::AlignBottom,
               QStringLiteral("编号 ") + slip.slipNumber);
    y += titleMetrics.height() + 4.0 * dpmm;

    y += paintLines(p, QRectF(body.left(), y, body.width(), body.bottom() - y), dpmm, QStringLiteral("质保卡"),
                    slip.cardLines);
    y += 3.0 * dpmm;
    y += paintLines(p, QRectF(body.left(), y, body.width(), body.bottom() - y), dpmm, QStringLiteral("返修"),
                    slip.claimLines);

    // The clinic signs, the lab stamps: at the foot of the page.
    const double foot = body.bottom() - 22.0 * dpmm;
    p.setFont(slipFont(3.4, dpmm, false));
    p.setPen(Qt::black);
    const QFontMetricsF fm(p.font());
    p.drawText(QRectF(body.left(), foot, body.width() / 2, fm.height()), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("医院、诊所签收："));
    p.setPen(QPen(Qt::black, 0.25 * dpmm));
    p.drawLine(QPointF(body.left() + 28.0 * dpmm, foot + fm.height()), QPointF(body.left() + body.width() / 2 - 4 * dpmm, foot + fm.height()));
    p.setPen(Qt::black);
    p.drawText(QRectF(body.left(), foot + fm.height() + 6.0 * dpmm, body.width() / 2, fm.height()),
               Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("日期：        年    月    日"));
    const QRectF stamp(body.right() - 38.0 * dpmm, foot - 4.0 * dpmm, 36.0 * dpmm, 24.0 * dpmm);
    p.setPen(QPen(QColor(200, 60, 60), 0.3 * dpmm, Qt::DashLine));
    p.drawEllipse(stamp);
    p.setFont(slipFont(3.0, dpmm, false));
    p.setPen(QColor(200, 60, 60));
    p.drawText(stamp, Qt::AlignCenter, QStringLiteral("加工所盖章"));
    p.restore();
}

bool PaintClaimSlip(QPagedPaintDevice* device, const ClaimSlip& slip) {
    QPainter p(device);
    if (!p.isActive())
        return false;
    const double dpmm = device->logicalDpiX() / 25.4;
    const QSizeF page = device->pageLayout().fullRect(QPageLayout::Millimeter).size() * dpmm;
    PaintClaimSlip(p, QRectF(QPointF(0, 0), page), dpmm, slip);
    return p.end();
}

bool WriteClaimSlipPdf(const QString& path, const ClaimSlip& slip, const QString& creator, QString* error) {
    QBuffer bytes;
    bytes.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&bytes);
        pdf.setResolution(300);
        pdf.setCreator(creator);
        pdf.setTitle(slip.title);
        SetUpClaimSlipPage(&pdf);
        if (!PaintClaimSlip(&pdf, slip)) {
            *error = QStringLiteral("无法生成 PDF");
            return false;
        }
    }
    return WriteFileWhole(path, bytes.data(), error);
}
