#include "frmClaimsTab.h"

#include "frmClaimCloseDialog.h"
#include "mduClaimSlip.h"
#include "mduFileDialog.h"
#include "mduTableExport.h"
#include "mduMessage.h"

#include <QDateEdit>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSet>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum Column {
    ColDate, ColNumber, ColProduct, ColPatient, ColHospital, ColReason, ColText, ColTeeth, ColAction, ColTerm,
    ColState, ColCloseDate, ColDone, ColRemake, ColumnCount
};

QStringList cellsOf(const WarrantyClaim& c) {
    return {DateText(c.claimDate), c.cardNumber, c.productName, c.patient, c.hospital, c.reason, c.text, c.teeth,
            c.action, InTermWords(c.inTerm), c.state, DateText(c.closeDate), c.done, c.remakeNumber};
}

bool passes(const WarrantyClaim& c, const QString& filter) {
    if (filter.isEmpty())
        return true;
    for (const QString& field : {c.cardNumber, c.patient, c.hospital, c.reason, c.text, c.state, c.remakeNumber,
                                 c.productName})
        if (field.contains(filter, Qt::CaseInsensitive))
            return true;
    return false;
}

} // namespace

QStringList frmClaimsTab::Headers() {
    return {QStringLiteral("登记日期"), QStringLiteral("质保卡号"), QStringLiteral("质保产品"), QStringLiteral("患者"),
            QStringLiteral("医院、诊所"), QStringLiteral("返修原因"), QStringLiteral("情况说明"), QStringLiteral("牙位"),
            QStringLiteral("处理方式"), QStringLiteral("保修"), QStringLiteral("状态"), QStringLiteral("完成日期"),
            QStringLiteral("处理结果"), QStringLiteral("重做卡号")};
}

frmClaimsTab::frmClaimsTab(ClaimBook* book, std::function<void(const QString&)> openCard,
                           std::function<QString()> labName, std::function<void(const QString&, bool)> report,
                           QWidget* parent)
    : QWidget(parent), m_book(book), m_openCard(std::move(openCard)), m_labName(std::move(labName)),
      m_report(std::move(report)) {
    setObjectName(QStringLiteral("tabClaims"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    auto* bar = new QHBoxLayout;
    bar->setSpacing(6);
    bar->addWidget(new QLabel(QStringLiteral("登记日期 从"), this));
    const QDate today = QDate::currentDate();
    dateFrom = new QDateEdit(QDate(today.year(), today.month(), 1).addYears(-1), this);
    dateFrom->setObjectName(QStringLiteral("dateFrom"));
    dateTo = new QDateEdit(today, this);
    dateTo->setObjectName(QStringLiteral("dateTo"));
    for (QDateEdit* d : {dateFrom, dateTo}) {
        d->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        d->setCalendarPopup(true);
    }
    bar->addWidget(dateFrom);
    bar->addWidget(new QLabel(QStringLiteral("到"), this));
    bar->addWidget(dateTo);
    cmdView = new QPushButton(QStringLiteral("查 看"), this);
    cmdView->setObjectName(QStringLiteral("cmdView"));
    bar->addWidget(cmdView);
    txtFilter = new QLineEdit(this);
    txtFilter->setObjectName(QStringLiteral("txtFilter"));
    txtFilter->setPlaceholderText(QStringLiteral("筛选：卡号、患者、医院、原因或状态"));
    txtFilter->setClearButtonEnabled(true);
    txtFilter->setMaxLength(50);
    txtFilter->setMinimumWidth(240);
    bar->addWidget(txtFilter, 1);
    cmdExport = new QPushButton(QStringLiteral("导 出…"), this);
    cmdExport->setObjectName(QStringLiteral("cmdExport"));
    bar->addWidget(cmdExport);
    layout->addLayout(bar);

    auto* actions = new QHBoxLayout;
    actions->setSpacing(6);
    cmdOpenCard = new QPushButton(QStringLiteral("查看质保卡"), this);
    cmdOpenCard->setObjectName(QStringLiteral("cmdOpenCard"));
    cmdOpenRemake = new QPushButton(QStringLiteral("查看重做卡"), this);
    cmdOpenRemake->setObjectName(QStringLiteral("cmdOpenRemake"));
    cmdClose = new QPushButton(QStringLiteral("完成返修…"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdPrintSlip = new QPushButton(QStringLiteral("打印返修单…"), this);
    cmdPrintSlip->setObjectName(QStringLiteral("cmdPrintSlip"));
    cmdSaveSlip = new QPushButton(QStringLiteral("返修单存为 PDF…"), this);
    cmdSaveSlip->setObjectName(QStringLiteral("cmdSaveSlip"));
    for (QPushButton* b : {cmdOpenCard, cmdOpenRemake, cmdClose, cmdPrintSlip, cmdSaveSlip})
        actions->addWidget(b);
    actions->addStretch(1);
    layout->addLayout(actions);

    lstClaims = new QTableWidget(0, ColumnCount, this);
    lstClaims->setObjectName(QStringLiteral("lstClaims"));
    lstClaims->setHorizontalHeaderLabels(Headers());
    lstClaims->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstClaims->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstClaims->setSelectionMode(QAbstractItemView::SingleSelection);
    lstClaims->verticalHeader()->setVisible(false);
    lstClaims->verticalHeader()->setDefaultSectionSize(lstClaims->fontMetrics().height() + 6);
    lstClaims->horizontalHeader()->setStretchLastSection(true);
    // Newest first, until a header is clicked.
    lstClaims->horizontalHeader()->setSortIndicator(ColDate, Qt::DescendingOrder);
    lstClaims->setSortingEnabled(true);
    layout->addWidget(lstClaims, 1);

    connect(cmdView, &QPushButton::clicked, this, &frmClaimsTab::LoadClaims);
    connect(txtFilter, &QLineEdit::textChanged, this, &frmClaimsTab::FilterClaims);
    connect(cmdExport, &QPushButton::clicked, this, [this] { cmdExport_Click(); });
    connect(cmdOpenCard, &QPushButton::clicked, this, &frmClaimsTab::cmdOpenCard_Click);
    connect(cmdOpenRemake, &QPushButton::clicked, this, &frmClaimsTab::cmdOpenRemake_Click);
    connect(cmdClose, &QPushButton::clicked, this, [this] { cmdClose_Click(); });
    connect(cmdPrintSlip, &QPushButton::clicked, this, &frmClaimsTab::cmdPrintSlip_Click);
    connect(cmdSaveSlip, &QPushButton::clicked, this, [this] { cmdSaveSlip_Click(); });
    connect(lstClaims, &QTableWidget::currentCellChanged, this, [this] { updateButtons(); });
    connect(lstClaims, &QTableWidget::cellDoubleClicked, this, &frmClaimsTab::cmdOpenCard_Click);
    // A claim recorded, closed or linked elsewhere shows here at once.
    if (m_book)
        connect(m_book, &ClaimBook::Changed, this, [this] {
            if (isVisible())
                LoadClaims();
        });
    updateButtons();
}

void frmClaimsTab::LoadClaims() {
    const QDate a = dateFrom->date(), b = dateTo->date();
    m_claims = m_book ? m_book->List(std::min(a, b), std::max(a, b)) : QList<WarrantyClaim>();
    FilterClaims();
}

void frmClaimsTab::FilterClaims() {
    const QString filter = txtFilter->text().trimmed();
    const QString current = CurrentClaim() ? CurrentClaim()->key : QString();
    lstClaims->setSortingEnabled(false);
    lstClaims->setRowCount(0);
    int row = 0;
    for (int i = 0; i < m_claims.size(); ++i) {
        const WarrantyClaim& c = m_claims[i];
        if (!passes(c, filter))
            continue;
        lstClaims->insertRow(row);
        const QStringList cells = cellsOf(c);
        for (int col = 0; col < cells.size(); ++col) {
            auto* item = new QTableWidgetItem(cells[col]);
            // The claim each row shows, whatever the sorting does to rows.
            item->setData(Qt::UserRole, i);
            if (col == ColState && c.isOpen())
                item->setForeground(QColor(200, 80, 0));
            if (col == ColTerm && c.inTerm == QLatin1String("0"))
                item->setForeground(QColor(200, 0, 0));
            lstClaims->setItem(row, col, item);
        }
        ++row;
    }
    lstClaims->setSortingEnabled(true);
    lstClaims->resizeColumnsToContents();
    for (int col : {ColText, ColDone})
        lstClaims->setColumnWidth(col, std::min(lstClaims->columnWidth(col), 260));
    // Sorting put the rows in its order: the claim current before stays so.
    int shownRow = -1;
    for (int r = 0; r < lstClaims->rowCount() && !current.isEmpty(); ++r)
        if (m_claims[lstClaims->item(r, 0)->data(Qt::UserRole).toInt()].key == current)
            shownRow = r;
    lstClaims->setCurrentCell(shownRow >= 0 ? shownRow : (lstClaims->rowCount() > 0 ? 0 : -1), 0);
    if (m_report) {
        qsizetype open = 0;
        for (const WarrantyClaim& c : std::as_const(m_claims))
            open += c.isOpen() ? 1 : 0;
        m_report(QStringLiteral("返修记录：显示 %1 / %2 条，受理中 %3 条").arg(lstClaims->rowCount()).arg(m_claims.size()).arg(open),
                 false);
    }
    updateButtons();
}

QList<WarrantyClaim> frmClaimsTab::ShownClaims() const {
    QList<WarrantyClaim> shown;
    for (int r = 0; r < lstClaims->rowCount(); ++r)
        shown << m_claims[lstClaims->item(r, 0)->data(Qt::UserRole).toInt()];
    return shown;
}

const WarrantyClaim* frmClaimsTab::CurrentClaim() const {
    const int r = lstClaims->currentRow();
    if (r < 0 || r >= lstClaims->rowCount() || !lstClaims->item(r, 0))
        return nullptr;
    const int i = lstClaims->item(r, 0)->data(Qt::UserRole).toInt();
    return i >= 0 && i < m_claims.size() ? &m_claims[i] : nullptr;
}

void frmClaimsTab::updateButtons() {
    const WarrantyClaim* c = CurrentClaim();
    cmdOpenCard->setEnabled(c);
    cmdOpenRemake->setEnabled(c && !c->remakeNumber.isEmpty());
    cmdClose->setEnabled(c && c->isOpen());
    cmdPrintSlip->setEnabled(c);
    cmdSaveSlip->setEnabled(c);
    cmdExport->setEnabled(lstClaims->rowCount() > 0);
}

QList<QStringList> frmClaimsTab::TableRows() const {
    QList<QStringList> rows{Headers()};
    for (const WarrantyClaim& c : ShownClaims())
        rows << cellsOf(c);
    return rows;
}

bool frmClaimsTab::cmdExport_Click() {
    const QList<QStringList> rows = TableRows();
    const QString name = Caption() + QLatin1Char('-') + QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    const QString path =
        ExportTable(this, QStringLiteral("导出") + Caption(), name, Caption(), rows, {ColDate, ColCloseDate});
    if (path.isEmpty())
        return false;
    if (m_report)
        m_report(QStringLiteral("已导出 %1 条返修记录到 %2").arg(rows.size() - 1).arg(QFileInfo(path).fileName()), false);
    return true;
}

void frmClaimsTab::cmdOpenCard_Click() {
    if (const WarrantyClaim* c = CurrentClaim(); c && m_openCard)
        m_openCard(c->cardNumber);
}

void frmClaimsTab::cmdOpenRemake_Click() {
    if (const WarrantyClaim* c = CurrentClaim(); c && !c->remakeNumber.isEmpty() && m_openCard)
        m_openCard(c->remakeNumber);
}

bool frmClaimsTab::cmdClose_Click() {
    const WarrantyClaim* current = CurrentClaim();
    if (!current || !current->isOpen() || !m_book)
        return false;
    const WarrantyClaim claim = *current;
    frmClaimCloseDialog dialog(claim, this);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    QString why;
    const bool closed = m_book->Close(claim, dialog.dateClose->date(), dialog.txtDone->toPlainText(), &why);
    if (!closed && !why.isEmpty())
        ShowMessage(why, QStringLiteral("系统提示"), 0);
    LoadClaims();
    if (closed && m_report)
        m_report(QStringLiteral("返修已完成 ") + claim.cardNumber, false);
    return closed;
}

ClaimSlip frmClaimsTab::SlipOf(const WarrantyClaim& c) const {
    ClaimSlip slip;
    slip.labName = m_labName ? m_labName() : QString();
    slip.title = QStringLiteral("返修单");
    slip.slipNumber = c.key;
    slip.cardLines = {{QStringLiteral("质保卡号"), c.cardNumber},
                      {QStringLiteral("质保产品"), c.productName},
                      {QStringLiteral("患者姓名"), c.patient},
                      {QStringLiteral("主治医生"), c.doctor},
                      {QStringLiteral("医院诊所"), c.hospital}};
    slip.claimLines = {{QStringLiteral("登记日期"), DateText(c.claimDate)},
                       {QStringLiteral("返修原因"), c.reason},
                       {QStringLiteral("情况说明"), c.text},
                       {QStringLiteral("涉及牙位"), c.teeth.isEmpty() ? QStringLiteral("—") : c.teeth},
                       {QStringLiteral("处理方式"), c.action},
                       {QStringLiteral("保修"), InTermWords(c.inTerm).isEmpty() ? QStringLiteral("—") : InTermWords(c.inTerm)},
                       {QStringLiteral("状态"), c.state}};
    if (!c.remakeNumber.isEmpty())
        slip.claimLines << qMakePair(QStringLiteral("重做卡号"), c.remakeNumber);
    if (!c.isOpen())
        slip.claimLines << qMakePair(QStringLiteral("完成日期"), DateText(c.closeDate))
                        << qMakePair(QStringLiteral("处理结果"), c.done);
    return slip;
}

void frmClaimsTab::cmdPrintSlip_Click() {
    const WarrantyClaim* c = CurrentClaim();
    if (!c)
        return;
    QPrinter printer(QPrinter::HighResolution);
    SetUpClaimSlipPage(&printer);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("打印返修单"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!PaintClaimSlip(&printer, SlipOf(*c)))
        ShowMessage(QStringLiteral("返修单没有打印成。"), QString(), 0);
}

bool frmClaimsTab::cmdSaveSlip_Click() {
    const WarrantyClaim* c = CurrentClaim();
    if (!c)
        return false;
    const QString path = AskSaveFileName(this, QStringLiteral("返修单存为 PDF"),
                                         QStringLiteral("返修单-%1-%2.pdf").arg(c->cardNumber, DateText(c->claimDate)),
                                         QStringLiteral("PDF 文件 (*.pdf)"));
    if (path.isEmpty())
        return false;
    QString error;
    if (!WriteClaimSlipPdf(path, SlipOf(*c), QStringLiteral("Quorvat"), &error)) {
        ShowMessage(QStringLiteral("文件没有写成：") + error, QString(), 0);
        return false;
    }
    if (m_report)
        m_report(QStringLiteral("返修单已存为 ") + QFileInfo(path).fileName(), false);
    return true;
}
