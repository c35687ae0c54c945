#include "frmLotRecall.h"

#include "clsConn.h"
#include "dbUserInterface.h"
#include "mduCardExtrasData.h"
#include "mduDocumentPrint.h"
#include "mduTableExport.h"
#include "mduMessage.h"
#include "mduRecordRules.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
QTableWidget* table(QWidget* parent, const char* name, const QStringList& headers) {
    auto* t = new QTableWidget(0, int(headers.size()), parent);
    t->setObjectName(QString::fromLatin1(name));
    t->setHorizontalHeaderLabels(headers);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->verticalHeader()->setVisible(false);
    t->verticalHeader()->setDefaultSectionSize(t->fontMetrics().height() + 6);
    t->horizontalHeader()->setStretchLastSection(true);
    return t;
}
} // namespace

frmLotRecall::frmLotRecall(std::function<QHash<QString, QString>()> statusTexts, QWidget* parent)
    : QWidget(parent), m_statusTexts(std::move(statusTexts)) {
    setObjectName(QStringLiteral("frmLotRecall"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    auto* bar = new QHBoxLayout;
    bar->setSpacing(6);
    bar->addWidget(new QLabel(QStringLiteral("材料批号"), this));
    cboLot = new QComboBox(this);
    cboLot->setObjectName(QStringLiteral("cboLot"));
    cboLot->setEditable(true);
    cboLot->setInsertPolicy(QComboBox::NoInsert);
    cboLot->lineEdit()->setMaxLength(MostLotCharacters);
    cboLot->setMinimumWidth(220);
    cmdFind = new QPushButton(QStringLiteral("追 溯"), this);
    cmdFind->setObjectName(QStringLiteral("cmdFind"));
    cmdExport = new QPushButton(QStringLiteral("导出…"), this);
    cmdExport->setObjectName(QStringLiteral("cmdExport"));
    cmdPrint = new QPushButton(QStringLiteral("打印通知清单…"), this);
    cmdPrint->setObjectName(QStringLiteral("cmdPrint"));
    cmdExport->setEnabled(false);
    cmdPrint->setEnabled(false);
    lblCount = new QLabel(this);
    lblCount->setObjectName(QStringLiteral("lblCount"));
    bar->addWidget(cboLot, 2);
    bar->addWidget(cmdFind);
    bar->addWidget(cmdExport);
    bar->addWidget(cmdPrint);
    bar->addWidget(lblCount, 3);
    layout->addLayout(bar);

    auto* split = new QSplitter(Qt::Horizontal, this);
    lstCards = table(split, "lstCards",
                     {QStringLiteral("质保卡号"), QStringLiteral("状态"), QStringLiteral("质保产品"), QStringLiteral("患者"),
                      QStringLiteral("医生"), QStringLiteral("医院、诊所"), QStringLiteral("牙位"), QStringLiteral("比色"),
                      QStringLiteral("制作时间"), QStringLiteral("治疗时间"), QStringLiteral("上报时间")});
    lstClinics = table(split, "lstClinics", {QStringLiteral("医院、诊所"), QStringLiteral("质保卡数")});
    split->addWidget(lstCards);
    split->addWidget(lstClinics);
    split->setStretchFactor(0, 4);
    split->setStretchFactor(1, 1);
    layout->addWidget(split, 1);

    connect(cboLot->lineEdit(), &QLineEdit::returnPressed, this, &frmLotRecall::cmdFind_Click);
    connect(cboLot, &QComboBox::activated, this, &frmLotRecall::cmdFind_Click);
    connect(cmdFind, &QPushButton::clicked, this, &frmLotRecall::cmdFind_Click);
    connect(cmdExport, &QPushButton::clicked, this, &frmLotRecall::cmdExport_Click);
    connect(cmdPrint, &QPushButton::clicked, this, &frmLotRecall::cmdPrint_Click);
}

void frmLotRecall::OfferLots() {
    const QString typed = cboLot->currentText();
    QStringList lots;
    QSet<QString> seen;
    // Every product's lots; a lot used for several products once.
    cboLot->clear();
    const QStringList all = AllEarlierLots();
    for (const QString& lot : all)
        if (!seen.contains(lot.toUpper())) {
            seen.insert(lot.toUpper());
            lots << lot;
        }
    cboLot->addItems(lots);
    cboLot->setEditText(typed);
}

QString frmLotRecall::statusWords(const QString& code) const { return StatusWords(code, m_texts); }

void frmLotRecall::cmdFind_Click() {
    m_lot = cboLot->currentText().trimmed();
    lstCards->setRowCount(0);
    lstClinics->setRowCount(0);
    m_found.clear();
    cmdExport->setEnabled(false);
    cmdPrint->setEnabled(false);
    if (m_lot.isEmpty()) {
        lblCount->clear();
        return;
    }
    {
        BusyPointer busy;
        m_found = RecallLot(gConn->OpId().toString(), m_lot);
    }
    m_texts.clear();
    for (const WarrantyCard& c : std::as_const(m_found))
        if (IsSentBackStatus(c.status)) {
            m_texts = m_statusTexts ? m_statusTexts() : QHash<QString, QString>();
            break;
        }
    lstCards->setUpdatesEnabled(false);
    lstCards->setRowCount(int(m_found.size()));
    for (int r = 0; r < m_found.size(); ++r) {
        const WarrantyCard& c = m_found[r];
        const WarrantyRecord& w = c.record;
        const QStringList cells{w.cardNumber,
                                statusWords(c.status),
                                c.productName,
                                FullName(w.patientSurname, w.patientGivenName),
                                FullName(w.doctorSurname, w.doctorGivenName),
                                w.hospital,
                                w.teeth,
                                w.shade,
                                DateText(w.productionDate),
                                DateText(w.treatmentDate),
                                c.submitDate};
        for (int col = 0; col < cells.size(); ++col)
            lstCards->setItem(r, col, new QTableWidgetItem(cells[col]));
    }
    lstCards->setUpdatesEnabled(true);
    if (m_found.size() <= 2000)
        lstCards->resizeColumnsToContents();
    const QList<ClinicCount> clinics = ClinicCounts(m_found);
    lstClinics->setRowCount(int(clinics.size()));
    for (int r = 0; r < clinics.size(); ++r) {
        lstClinics->setItem(r, 0, new QTableWidgetItem(clinics[r].hospital));
        auto* count = new QTableWidgetItem(QString::number(clinics[r].cards));
        count->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        lstClinics->setItem(r, 1, count);
    }
    lstClinics->resizeColumnToContents(0);
    if (m_found.isEmpty())
        lblCount->setText(QStringLiteral("没有带批号 %1 的质保卡").arg(m_lot));
    else
        lblCount->setText(QStringLiteral("批号 %1：%2 张质保卡，%3 家医院诊所")
                              .arg(m_lot)
                              .arg(m_found.size())
                              .arg(clinics.size()));
    cmdExport->setEnabled(!m_found.isEmpty());
    cmdPrint->setEnabled(!m_found.isEmpty());
}

bool frmLotRecall::cmdExport_Click() {
    if (m_found.isEmpty())
        return false;
    const QList<QStringList> rows = RecallTable(m_found, [this](const QString& code) { return statusWords(code); });
    const QString name = QStringLiteral("批号追溯-") + m_lot;
    // The production and treatment dates as the workbook's dates.
    return !ExportTable(window(), QStringLiteral("导出批号追溯"), name, QStringLiteral("批号追溯"), rows,
                        {BatchProductionDate - 1, BatchTreatmentDate - 1})
                .isEmpty();
}

void frmLotRecall::cmdPrint_Click() {
    if (m_found.isEmpty())
        return;
    ShowDocumentPreview(window(), QStringLiteral("批号追溯-") + m_lot,
                        RecallNoticeHtml(gConn->OpCom().toString(), m_lot, m_found));
}
