// The entry tab's fields for the card's lot, tooth positions and shade,
// shown where the database has them.
#include "frmEntryTab.h"

#include "clsConn.h"
#include "mduCardExtrasData.h"
#include "mduToothPositions.h"
#include "qvToothChart.h"
#include "ucInput.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

using namespace wb;

void frmEntryTab::buildExtras() {
    QWidget* f = frmNew;
    lblLot = label(f, "lblLot", QStringLiteral("材料批号"), 7900, 1230);
    cboLot = new QComboBox(f);
    cboLot->setObjectName(QStringLiteral("cboLot"));
    cboLot->setEditable(true);
    cboLot->setInsertPolicy(QComboBox::NoInsert);
    cboLot->lineEdit()->setMaxLength(MostLotCharacters);
    cboLot->lineEdit()->setPlaceholderText(QStringLiteral("批号"));
    place(cboLot, 8850, 1200, 1600, 330);
    lblShade = label(f, "lblShade", QStringLiteral("比色"), 7900, 1630);
    cboShade = new QComboBox(f);
    cboShade->setObjectName(QStringLiteral("cboShade"));
    cboShade->setEditable(true);
    cboShade->setInsertPolicy(QComboBox::NoInsert);
    cboShade->addItems(ShadeChoices());
    cboShade->setMaxVisibleItems(16);
    cboShade->setCurrentIndex(-1);
    cboShade->lineEdit()->setMaxLength(MostShadeCharacters);
    place(cboShade, 8850, 1600, 1600, 330);
    lblTeeth = label(f, "lblTeeth", QStringLiteral("牙位"), 6400, 2080, 500);
    txtTeeth = textBox(f, "txtTeeth", 120, 6950, 2050, 3150);
    txtTeeth->setPlaceholderText(QStringLiteral("如 11 21 或 13-23"));
    cmdTeethChart = new QToolButton(f);
    cmdTeethChart->setObjectName(QStringLiteral("cmdTeethChart"));
    cmdTeethChart->setText(QStringLiteral("牙位图"));
    cmdTeethChart->setToolTip(QStringLiteral("点击牙位图选择牙位"));
    place(cmdTeethChart, 10130, 2050, 320, 330);
    cmdTeethChart->setText(QStringLiteral("…"));
    connect(cmdTeethChart, &QToolButton::clicked, this, [this] {
        TidyTeeth();
        qvToothChart* chart = ToothChart();
        chart->setPositions(ReadToothPositions(txtTeeth->text()).normal);
        m_chartPopup->adjustSize();
        const QPoint below = txtTeeth->mapToGlobal(QPoint(txtTeeth->width() - m_chartPopup->width(), txtTeeth->height()));
        m_chartPopup->move(below);
        m_chartPopup->show();
    });
    connect(txtTeeth, &QLineEdit::editingFinished, this, &frmEntryTab::TidyTeeth);
    for (QWidget* w : {static_cast<QWidget*>(lblLot), static_cast<QWidget*>(cboLot), static_cast<QWidget*>(lblShade),
                       static_cast<QWidget*>(cboShade), static_cast<QWidget*>(lblTeeth), static_cast<QWidget*>(txtTeeth),
                       static_cast<QWidget*>(cmdTeethChart)})
        w->hide();
    setTabOrder(txtOpDesp, cboLot);
    setTabOrder(cboLot, txtTeeth);
    setTabOrder(txtTeeth, cboShade);
    setTabOrder(cboShade, txtMemo);
}

qvToothChart* frmEntryTab::ToothChart() {
    if (!m_chart) {
        m_chartPopup = new QFrame(this, Qt::Popup);
        m_chartPopup->setObjectName(QStringLiteral("ToothChartPopup"));
        static_cast<QFrame*>(m_chartPopup)->setFrameShape(QFrame::StyledPanel);
        auto* box = new QVBoxLayout(m_chartPopup);
        box->setContentsMargins(2, 2, 2, 2);
        m_chart = new qvToothChart(m_chartPopup);
        box->addWidget(m_chart);
        connect(m_chart, &qvToothChart::toggled, this, [this](const QString& positions) {
            txtTeeth->setText(positions);
            txtTeeth->setPalette(QPalette());
            txtTeeth->setToolTip(QString());
        });
    }
    return m_chart;
}

void frmEntryTab::ShowCardExtras(bool shown) {
    m_extras = shown;
    for (QWidget* w : {static_cast<QWidget*>(lblLot), static_cast<QWidget*>(cboLot), static_cast<QWidget*>(lblShade),
                       static_cast<QWidget*>(cboShade), static_cast<QWidget*>(lblTeeth), static_cast<QWidget*>(txtTeeth),
                       static_cast<QWidget*>(cmdTeethChart)})
        w->setVisible(shown);
    // The description gives the teeth their place on its line.
    place(txtOpDesp, 1400, 2050, shown ? 4850 : 9050, 330);
    if (!shown) {
        cboLot->setEditText(QString());
        txtTeeth->clear();
        cboShade->setEditText(QString());
    }
    OfferLots(vt::vtListTable::textOf(ucProduct->Key()));
    RememberEntry();
}

void frmEntryTab::OfferLots(const QString& productKey) {
    const QString typed = cboLot->currentText();
    cboLot->clear();
    if (m_extras)
        cboLot->addItems(EarlierLots(productKey));
    cboLot->setEditText(typed);
}

void frmEntryTab::TidyTeeth() {
    const ToothPositions p = ReadToothPositions(txtTeeth->text());
    if (p.ok()) {
        if (txtTeeth->text() != p.normal)
            txtTeeth->setText(p.normal);
        txtTeeth->setPalette(QPalette());
        txtTeeth->setToolTip(QString());
        return;
    }
    QPalette bad = txtTeeth->palette();
    bad.setColor(QPalette::Base, QColor(255, 200, 200));
    txtTeeth->setPalette(bad);
    txtTeeth->setToolTip(p.error);
}

void frmEntryTab::ShowOpenedExtras(const QString& key) {
    if (!m_extras)
        return;
    WarrantyCard card;
    card.record.key = key;
    QList<WarrantyCard> cards{card};
    FetchCardExtras(cards, gConn->OpId().toString());
    cboLot->setEditText(cards[0].record.lot);
    txtTeeth->setText(cards[0].record.teeth);
    txtTeeth->setPalette(QPalette());
    cboShade->setEditText(cards[0].record.shade);
}
