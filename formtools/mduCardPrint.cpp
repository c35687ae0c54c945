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
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QToolBar>

namespace {

std::function<void(CardPreview&)>& nextPreviewHandler() {
    static std::function<void(CardPreview&)> handler;
    return handler;
}

} // namespace

QList<QPair<QString, QString>> CardLines(const WarrantyCard& card, int termMonths) {
    const WarrantyRecord& r = card.record;
    const QDate expiry = ExpiryDate(r.treatmentDate, termMonths);
    QList<QPair<QString, QString>> lines{{QStringLiteral("质保产品"), card.productName},
            {QStringLiteral("质保卡号"), r.cardNumber},
            {QStringLiteral("患者姓名"), FullName(r.patientSurname, r.patientGivenName)},
            {QStringLiteral("主治医生"), FullName(r.doctorSurname, r.doctorGivenName)},
            {QStringLiteral("医院诊所"), r.hospital},
            {QStringLiteral("制作时间"), DateText(r.productionDate)},
            {QStringLiteral("治疗时间"), DateText(r.treatmentDate)},
            {QStringLiteral("质保期限"), termMonths > 0 ? TermText(termMonths) : QStringLiteral("—")},
            {QStringLiteral("质保到期"), expiry.isValid() ? DateText(expiry) : QStringLiteral("—")}};
    // The material's lot, the teeth and the shade, on a card that has them.
    if (!r.lot.isEmpty() || !r.teeth.isEmpty() || !r.shade.isEmpty()) {
        const auto orDash = [](const QString& v) { return v.isEmpty() ? QStringLiteral("—") : v; };
        lines.insert(5, {QStringLiteral("材料批号"), orDash(r.lot)});
        lines.insert(6, {QStringLiteral("牙位"), orDash(r.teeth) + QStringLiteral("　比色：") + orDash(r.shade)});
    }
    return lines;
}

CardDeck CardDeckOf(const CardPrintJob& job) {
    CardDeck deck{job.labName, vt::fromColorValue(HouseFixedColor), {}};
    deck.faces.reserve(job.cards.size());
    for (const WarrantyCard& c : job.cards)
        deck.faces.append({c.record.cardNumber, CardLines(c, job.terms.value(c.record.productKey.toUpper()))});
    return deck;
}

bool SaveCardsPdf(const QString& path, const CardPrintJob& job, CardSheet sheet, QString* error) {
    return WriteCardsPdf(path, CardDeckOf(job), sheet, ProductName(), error);
}

CardPreview::CardPreview(const CardPrintJob& job, QWidget* parent) : QPrintPreviewDialog(parent), m_job(job) {
    setObjectName(QStringLiteral("CardPreview"));
    setWindowTitle(QStringLiteral("质保卡打印预览"));
    printer()->setDocName(QStringLiteral("质保卡"));
    printer()->setResolution(300);
    connect(this, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* printer) { PaintCards(printer, CardDeckOf(m_job), m_sheet); });
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
    printer()->setFullPage(true);
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
