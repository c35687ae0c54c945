#pragma once
// The tab "批号追溯": a material lot finds every card of the lab that
// carries it, in any status and of any date, with patient, doctor, clinic,
// teeth, dates and status; how many cards each clinic has; exported as the
// lists are (CSV or XLSX that read back into the batch) and printed as the
// list of the clinics to notify. Shown where the database has lots.
#include "mduCardExtras.h"

#include <QHash>
#include <QWidget>
#include <functional>

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

class frmLotRecall : public QWidget {
    Q_OBJECT
public:
    static QString Caption() { return QStringLiteral("批号追溯"); }
    // statusTexts gives the submitted list's texts by status code.
    explicit frmLotRecall(std::function<QHash<QString, QString>()> statusTexts, QWidget* parent = nullptr);

    QComboBox* cboLot;
    QPushButton* cmdFind;
    QPushButton* cmdExport;
    QPushButton* cmdPrint;
    QLabel* lblCount;
    QTableWidget* lstCards;
    QTableWidget* lstClinics;

    // The lots offered: the lab's earlier lots of every product.
    void OfferLots();
    void cmdFind_Click();
    bool cmdExport_Click();
    void cmdPrint_Click();
    const QList<WarrantyCard>& Found() const { return m_found; }

private:
    QString statusWords(const QString& code) const;

    std::function<QHash<QString, QString>()> m_statusTexts;
    QHash<QString, QString> m_texts;
    QList<WarrantyCard> m_found;
    QString m_lot;
};
