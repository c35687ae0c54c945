#include "frmLookup.h"

#include "clsConn.h"
#include "mduCardExtrasData.h"
#include "mduCardFinder.h"
#include "mduCardPrint.h"
#include "dbUserInterface.h"
#include "mduMessage.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const char* const DetailCaptions[] = {"质保产品", "质保卡号", "状态",     "退回理由", "患者姓名", "主治医生",
                                      "医院诊所", "制作时间", "治疗时间", "治疗项目描述", "备注", "上报时间",
                                      "发布时间", "质保期限", "质保到期"};
// Where the database has them.
const char* const ExtraCaptions[] = {"材料批号", "牙位", "比色", "历史"};

} // namespace

frmLookup::frmLookup(std::function<QHash<QString, QString>()> statusTexts, std::function<QHash<QString, int>()> terms,
                     QWidget* parent)
    : QWidget(parent), m_statusTexts(std::move(statusTexts)), m_terms(std::move(terms)) {
    setObjectName(QStringLiteral("frmLookup"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);

    auto* bar = new QHBoxLayout;
    bar->setSpacing(6);
    bar->addWidget(new QLabel(QStringLiteral("查找"), this));
    txtSearch = new QLineEdit(this);
    txtSearch->setObjectName(QStringLiteral("txtSearch"));
    txtSearch->setPlaceholderText(QStringLiteral("质保卡号、患者姓名或拼音首字母"));
    txtSearch->setMaxLength(50);
    txtSearch->setClearButtonEnabled(true);
    txtSearch->setMinimumWidth(260);
    cmdFind = new QPushButton(QStringLiteral("查 询"), this);
    cmdFind->setObjectName(QStringLiteral("cmdFind"));
    cmdPrint = new QPushButton(QStringLiteral("打 印…"), this);
    cmdPrint->setObjectName(QStringLiteral("cmdPrint"));
    cmdPrint->setEnabled(false);
    cmdClaim = new QPushButton(QStringLiteral("登记返修…"), this);
    cmdClaim->setObjectName(QStringLiteral("cmdClaim"));
    cmdClaim->setToolTip(QStringLiteral("登记返修（Ctrl+R）"));
    cmdClaim->setEnabled(false);
    cmdClaim->hide();
    lblCount = new QLabel(this);
    lblCount->setObjectName(QStringLiteral("lblCount"));
    bar->addWidget(txtSearch, 2);
    bar->addWidget(cmdFind);
    bar->addWidget(cmdPrint);
    bar->addWidget(cmdClaim);
    bar->addWidget(lblCount, 3);
    layout->addLayout(bar);

    auto* split = new QSplitter(Qt::Horizontal, this);
    lstFound = new QTableWidget(0, 8, split);
    lstFound->setObjectName(QStringLiteral("lstFound"));
    lstFound->setHorizontalHeaderLabels({QStringLiteral("质保卡号"), QStringLiteral("状态"), QStringLiteral("质保产品"),
                                         QStringLiteral("患者"), QStringLiteral("医生"), QStringLiteral("医院、诊所"),
                                         QStringLiteral("治疗时间"), QStringLiteral("质保到期")});
    lstFound->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstFound->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstFound->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstFound->verticalHeader()->setVisible(false);
    lstFound->verticalHeader()->setDefaultSectionSize(lstFound->fontMetrics().height() + 6);
    lstFound->horizontalHeader()->setStretchLastSection(true);
    fraDetail = new QGroupBox(QStringLiteral("质保卡详情"), split);
    fraDetail->setObjectName(QStringLiteral("fraDetail"));
    auto* form = new QFormLayout(fraDetail);
    form->setLabelAlignment(Qt::AlignRight);
    for (const char* c : DetailCaptions) {
        auto* value = new QLabel(fraDetail);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        value->setWordWrap(true);
        value->setMinimumWidth(180);
        m_detail.insert(QString::fromUtf8(c), value);
        form->addRow(QString::fromUtf8(c) + QStringLiteral("："), value);
    }
    for (const char* c : ExtraCaptions) {
        auto* value = new QLabel(fraDetail);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        value->setWordWrap(true);
        value->setMinimumWidth(180);
        m_detail.insert(QString::fromUtf8(c), value);
        form->addRow(QString::fromUtf8(c) + QStringLiteral("："), value);
        form->setRowVisible(value, false);
    }
    {
        // The card's claims, or the card it remakes; hidden without claims.
        auto* value = new QLabel(fraDetail);
        value->setObjectName(QStringLiteral("lblClaims"));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        value->setWordWrap(true);
        value->setMinimumWidth(180);
        m_detail.insert(QStringLiteral("返修"), value);
        form->addRow(QStringLiteral("返修："), value);
        form->setRowVisible(value, false);
    }
    split->addWidget(lstFound);
    split->addWidget(fraDetail);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    layout->addWidget(split, 1);

    connect(txtSearch, &QLineEdit::returnPressed, this, &frmLookup::cmdFind_Click);
    connect(cmdFind, &QPushButton::clicked, this, &frmLookup::cmdFind_Click);
    connect(cmdPrint, &QPushButton::clicked, this, &frmLookup::cmdPrint_Click);
    connect(cmdClaim, &QPushButton::clicked, this, &frmLookup::cmdClaim_Click);
    connect(lstFound, &QTableWidget::currentCellChanged, this, [this](int row) { showCard(row); });
}

void frmLookup::FocusSearch() {
    txtSearch->setFocus(Qt::ShortcutFocusReason);
    txtSearch->selectAll();
}

QString frmLookup::statusText(const WarrantyCard& card) const {
    return StatusWords(card.status, m_texts);
}

void frmLookup::cmdFind_Click() {
    const QString text = txtSearch->text().trimmed();
    lstFound->setRowCount(0);
    m_found.clear();
    showCard(-1);
    cmdPrint->setEnabled(false);
    cmdClaim->setEnabled(false);
    if (text.isEmpty()) {
        lblCount->clear();
        return;
    }
    bool more = false;
    {
        BusyPointer busy;
        m_found = FindCards(gConn->OpId().toString(), text, MostCardsFound, &more);
        FetchCardExtras(m_found, gConn->OpId().toString());
    }
    // The texts of the central office's codes, asked for only when a
    // sent-back record is among those found.
    m_texts.clear();
    for (const WarrantyCard& c : std::as_const(m_found))
        if (IsSentBackStatus(c.status)) {
            m_texts = m_statusTexts ? m_statusTexts() : QHash<QString, QString>();
            break;
        }
    const QHash<QString, int> terms = m_terms ? m_terms() : QHash<QString, int>();
    lstFound->setRowCount(int(m_found.size()));
    for (int r = 0; r < m_found.size(); ++r) {
        const WarrantyCard& c = m_found[r];
        const QDate expiry = ExpiryDate(c.record.treatmentDate, terms.value(c.record.productKey.toUpper()));
        const QStringList cells{c.record.cardNumber,
                                statusText(c),
                                c.productName,
                                FullName(c.record.patientSurname, c.record.patientGivenName),
                                FullName(c.record.doctorSurname, c.record.doctorGivenName),
                                c.record.hospital,
                                DateText(c.record.treatmentDate),
                                DateText(expiry)};
        for (int col = 0; col < cells.size(); ++col)
            lstFound->setItem(r, col, new QTableWidgetItem(cells[col]));
    }
    lstFound->resizeColumnsToContents();
    if (m_found.isEmpty())
        lblCount->setText(QStringLiteral("没有找到质保卡"));
    else if (more)
        lblCount->setText(QStringLiteral("只显示前 %1 张，请输入更多内容缩小范围").arg(m_found.size()));
    else
        lblCount->setText(QStringLiteral("找到 %1 张质保卡").arg(m_found.size()));
    if (!m_found.isEmpty()) {
        lstFound->setCurrentCell(0, 0);
        cmdPrint->setEnabled(true);
        cmdClaim->setEnabled(true);
    }
}

void frmLookup::showCard(int index) {
    const bool shown = index >= 0 && index < m_found.size();
    for (QLabel* l : std::as_const(m_detail))
        l->clear();
    if (!shown)
        return;
    const WarrantyCard& c = m_found[index];
    const WarrantyRecord& r = c.record;
    const int term = m_terms ? m_terms().value(r.productKey.toUpper()) : 0;
    const QDate expiry = ExpiryDate(r.treatmentDate, term);
    const QList<QPair<QString, QString>> values{
        {QStringLiteral("质保产品"), c.productName},
        {QStringLiteral("质保卡号"), r.cardNumber},
        {QStringLiteral("状态"), statusText(c)},
        {QStringLiteral("退回理由"), IsSentBackStatus(c.status) ? c.reason : QString()},
        {QStringLiteral("患者姓名"), FullName(r.patientSurname, r.patientGivenName)},
        {QStringLiteral("主治医生"), FullName(r.doctorSurname, r.doctorGivenName)},
        {QStringLiteral("医院诊所"), r.hospital},
        {QStringLiteral("制作时间"), DateText(r.productionDate)},
        {QStringLiteral("治疗时间"), DateText(r.treatmentDate)},
        {QStringLiteral("治疗项目描述"), r.description},
        {QStringLiteral("备注"), r.remark},
        {QStringLiteral("上报时间"), c.submitDate},
        {QStringLiteral("发布时间"), c.publishDate},
        {QStringLiteral("质保期限"), TermText(term)},
        {QStringLiteral("质保到期"), ExpiryText(expiry, QDate::currentDate())}};
    for (const auto& [caption, value] : values)
        if (QLabel* l = m_detail.value(caption))
            l->setText(value);
    if (m_extras) {
        m_detail.value(QStringLiteral("材料批号"))->setText(r.lot);
        m_detail.value(QStringLiteral("牙位"))->setText(r.teeth);
        m_detail.value(QStringLiteral("比色"))->setText(r.shade);
        m_detail.value(QStringLiteral("历史"))
            ->setText(HistoryLine(LoadRecordHistory(gConn->OpId().toString(), r.key)));
    }
    // An expired warranty is said plainly, in the warning colour.
    QLabel* expiryLabel = m_detail.value(QStringLiteral("质保到期"));
    const bool expired = expiry.isValid() && expiry < QDate::currentDate();
    expiryLabel->setStyleSheet(expired ? QStringLiteral("color: rgb(200, 0, 0); font-weight: bold;") : QString());
    if (m_claims.book && m_claims.book->Available())
        m_detail.value(QStringLiteral("返修"))->setText(ClaimSummary(m_claims.book->OfCard(r.key), r.key));
}

void frmLookup::SetClaims(ClaimLinks links) {
    m_claims = std::move(links);
    const bool shown = m_claims.book && m_claims.book->Available();
    cmdClaim->setVisible(shown);
    if (auto* form = qobject_cast<QFormLayout*>(fraDetail->layout()))
        form->setRowVisible(m_detail.value(QStringLiteral("返修")), shown);
    if (m_claims.book)
        connect(m_claims.book, &ClaimBook::Changed, this, [this] { showCard(lstFound->currentRow()); });
}

void frmLookup::cmdClaim_Click() {
    const int row = lstFound->currentRow();
    if (!cmdClaim->isVisible() || row < 0 || row >= m_found.size())
        return;
    RecordClaim(window(), m_found[row], m_claims);
}

void frmLookup::ShowNumber(const QString& cardNumber) {
    txtSearch->setText(cardNumber);
    cmdFind_Click();
    for (int r = 0; r < m_found.size(); ++r)
        if (m_found[r].record.cardNumber.compare(cardNumber, Qt::CaseInsensitive) == 0) {
            lstFound->setCurrentCell(r, 0);
            break;
        }
}

void frmLookup::ShowCardExtras(bool shown) {
    m_extras = shown;
    auto* form = static_cast<QFormLayout*>(fraDetail->layout());
    for (const char* c : ExtraCaptions)
        form->setRowVisible(m_detail.value(QString::fromUtf8(c)), shown);
}

QString frmLookup::DetailText(const QString& caption) const {
    QLabel* l = m_detail.value(caption);
    return l ? l->text() : QString();
}

void frmLookup::cmdPrint_Click() {
    QList<WarrantyCard> chosen;
    QList<int> rows;
    for (const QModelIndex& i : lstFound->selectionModel()->selectedRows())
        rows << i.row();
    std::sort(rows.begin(), rows.end());
    if (rows.isEmpty() && lstFound->currentRow() >= 0)
        rows << lstFound->currentRow();
    for (int r : rows)
        if (r < m_found.size())
            chosen << m_found[r];
    if (chosen.isEmpty())
        return;
    ShowCardPreview(window(), {gConn->OpCom().toString(), chosen, m_terms ? m_terms() : QHash<QString, int>()});
}
