#pragma once
// The workbench's third tab: the lab's published records of a submission
// date range of at most two calendar months, read on View.
#include "mduClaimDesk.h"
#include "mduFormParts.h"

#include <QDate>
#include <QWidget>

class QDateEdit;
class QGroupBox;
class QPushButton;

class frmPublishedTab : public QWidget {
    Q_OBJECT
public:
    static QString Caption() { return QStringLiteral("已发布质保卡"); }

    explicit frmPublishedTab(TabLinks links, QWidget* parent = nullptr);

    QGroupBox* frmOuted;
    QDateEdit* dateFrom;
    QDateEdit* dateTo;
    QPushButton* cmdViewAll;
    // The list: egOuted with its filter box, export and print.
    frmRecordList* list;

    // The range starts as the month of the day.
    void SetMonth(const QDate& day);
    void cmdViewAll_Click();

    // "登记返修…" for the card of the current row: shown only when the
    // database keeps claims.
    QPushButton* cmdClaim;
    void SetClaims(ClaimLinks links);
    void cmdClaim_Click();

    // Months from one date to another, days ignored.
    static int MonthsBetween(const QDate& from, const QDate& to);
    // The first and last day of the month of a day.
    static void MonthRange(const QDate& day, QDate* first, QDate* last);

private:
    ClaimLinks m_claims;
};
