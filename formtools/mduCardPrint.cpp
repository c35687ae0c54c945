#include "mduCardPrint.h"

#include "mduFileDialog.h"
#include "mduMessage.h"
#include "common/vtColor.h"
#include "mduShTools.h"
#include "vtValue.h"

#include <QAction>
#include <QBoxLayout>
#include <QComboBox>
#include <QLabel>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QSaveFile>
#include <QToolBar>

#include <qrencode.h>

namespace {

constexpr double CardWidthMm = 85.6;
constexpr double CardHeightMm = 54.0;
constexpr int CardsAcross = 2;
constexpr int CardsDown = 4;

std::function<void(CardPreview&)>& nextPreviewHandler() {
    static std::function<void(CardPreview&)> handler;
    return handler;
}

} // namespace

QList<QPair<QString, QString>> CardLines(const WarrantyCard& card, int termMonths) {
    const WarrantyRecord& r = card.record;
    const QDate expiry = ExpiryDate(r.treatmentDate, termMonths);
    return {{QStringLiteral("质保产品"), card.productName},
            {QStringLiteral("质保卡号"), r.cardNumber},
            {QStringLiteral("患者姓名"), FullName(r.patientSurname, r.patientGivenName)},
            {QStringLiteral("主治医生"), FullName(r.doctorSurname, r.doctorGivenName)},
            {QStringLiteral("医院诊所"), r.hospital},
            {QStringLiteral("制作时间"), DateText(r.productionDate)},
            {QStringLiteral("治疗时间"), DateText(r.treatmentDate)},
            {QStringLiteral("质保期限"), termMonths > 0 ? TermText(termMonths) : QStringLiteral("—")},
            {QStringLiteral("质保到期"), expiry.isValid() ? DateText(expiry) : QStringLiteral("—")}};
}

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
    if (auto* printer = dynamic_cast<QPrinter*>(device))
        printer->setFullPage(true);
}

void PaintCard(QPainter& p, const QRectF& rect, const WarrantyCard& card, const QString& labName, int termMonths) {
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
    p.fillRect(band, vt::fromColorValue(HouseFixedColor));
    p.setPen(Qt::black);
    p.setFont(font(3.6, true));
    p.drawText(band.adjusted(mm(2.5), 0, -mm(20), 0), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
               labName.isEmpty() ? QStringLiteral("义齿加工所") : labName);
    p.setFont(font(3.6, true));
    p.drawText(band.adjusted(0, 0, -mm(2.5), 0), Qt::AlignVCenter | Qt::AlignRight, QStringLiteral("质保卡"));

    // The fields, two columns of caption and value.
    const QList<QPair<QString, QString>> lines = CardLines(card, termMonths);
    const double top = 11.5, lineHeight = 4.25, captionWidth = 13.5, valueWidth = 43;
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
    const QList<bool> modules = QrModules(card.record.cardNumber, &side);
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

bool PaintCards(QPagedPaintDevice* device, const CardPrintJob& job, CardSheet sheet) {
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
    for (int i = 0; i < job.cards.size(); ++i) {
        if (i > 0 && i % perPage == 0)
            device->newPage();
        const int slot = i % perPage;
        const QRectF rect(origin + QPointF((slot % CardsAcross) * card.width(), (slot / CardsAcross) * card.height()),
                          card);
        const WarrantyCard& c = job.cards[i];
        PaintCard(p, sheet == CardSheet::IdCard ? QRectF(QPointF(0, 0), card) : rect, c, job.labName,
                  job.terms.value(c.record.productKey.toUpper()));
    }
    return p.end();
}

bool SaveCardsPdf(const QString& path, const CardPrintJob& job, CardSheet sheet, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    {
        QPdfWriter pdf(&file);
        pdf.setResolution(300);
        pdf.setCreator(ProductName());
        pdf.setTitle(QStringLiteral("质保卡"));
        SetUpCardPage(&pdf, sheet);
        if (!PaintCards(&pdf, job, sheet)) {
            file.cancelWriting();
            *error = QStringLiteral("无法生成 PDF");
            return false;
        }
    }
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

CardPreview::CardPreview(const CardPrintJob& job, QWidget* parent) : QPrintPreviewDialog(parent), m_job(job) {
    setObjectName(QStringLiteral("CardPreview"));
    setWindowTitle(QStringLiteral("质保卡打印预览"));
    printer()->setDocName(QStringLiteral("质保卡"));
    printer()->setResolution(300);
    connect(this, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* printer) { PaintCards(printer, m_job, m_sheet); });
    // The sheet and the PDF on a bar of their own under the preview's.
    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("barCards"));
    bar->addWidget(new QLabel(QStringLiteral(" 纸张："), bar));
    m_choice = new QComboBox(bar);
    m_choice->setObjectName(QStringLiteral("cboSheet"));
    m_choice->addItem(QStringLiteral("每页一张（身份证大小）"));
    m_choice->addItem(QStringLiteral("A4 每页八张"));
    bar->addWidget(m_choice);
    connect(m_choice, &QComboBox::currentIndexChanged, this,
            [this](int index) { setSheet(index == 1 ? CardSheet::EightPerA4 : CardSheet::IdCard); });
    bar->addSeparator();
    QAction* pdf = bar->addAction(QStringLiteral("保存为 PDF…"));
    pdf->setObjectName(QStringLiteral("actSavePdf"));
    pdf->setShortcut(QKeySequence::Save);
    pdf->setToolTip(QStringLiteral("保存为 PDF（Ctrl+S）"));
    connect(pdf, &QAction::triggered, this, [this] { savePdf(); });
    if (auto* box = qobject_cast<QBoxLayout*>(layout()))
        box->insertWidget(1, bar);
    // Large enough for a whole card and the toolbar with the sheet choice.
    const QSize room = parent ? parent->window()->size() : QSize(1100, 800);
    resize(std::max(900, room.width() * 9 / 10), std::max(640, room.height() * 9 / 10));
    // A page of several cards by default when there are several.
    setSheet(job.cards.size() > 1 ? CardSheet::EightPerA4 : CardSheet::IdCard);
}

void CardPreview::setSheet(CardSheet sheet) {
    m_sheet = sheet;
    SetUpCardPage(printer(), sheet);
    if (m_choice) {
        const QSignalBlocker quiet(m_choice);
        m_choice->setCurrentIndex(sheet == CardSheet::EightPerA4 ? 1 : 0);
    }
    if (auto* view = findChild<QPrintPreviewWidget*>())
        view->updatePreview();
}

bool CardPreview::savePdf() {
    const QString name = m_job.cards.size() == 1 ? m_job.cards.first().record.cardNumber : QStringLiteral("质保卡");
    const QString path = AskSaveFileName(this, QStringLiteral("保存为 PDF"),
                                         name + QStringLiteral(".pdf"), QStringLiteral("PDF 文件 (*.pdf)"));
    if (path.isEmpty())
        return false;
    QString error;
    if (!SaveCardsPdf(path, m_job, m_sheet, &error)) {
        ShowMessage(QStringLiteral("文件没有写成：") + error, QString(), 0);
        return false;
    }
    return true;
}

void ShowCardPreview(QWidget* parent, const CardPrintJob& job) {
    if (job.cards.isEmpty())
        return;
    CardPreview preview(job, parent);
    if (auto handler = std::exchange(nextPreviewHandler(), {})) {
        handler(preview);
        return;
    }
    preview.exec();
}

void SetNextCardPreviewHandler(std::function<void(CardPreview&)> handler) {
    nextPreviewHandler() = std::move(handler);
}
