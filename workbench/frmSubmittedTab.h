#pragma once
// The workbench's second tab: the lab's submitted and sent-back records,
// read again on Refresh; a sent-back (or submitted) record is reset to
// pending from here.
#include "mduFormParts.h"

#include <QHash>
#include <QWidget>

class QGroupBox;
class QPushButton;

class frmSubmittedTab : public QWidget {
    Q_OBJECT
public:
    static QString Caption() { return QStringLiteral("待审批及退回质保卡"); }

    explicit frmSubmittedTab(TabLinks links, QWidget* parent = nullptr);

    QGroupBox* frmProc;
    QPushButton* cmdRefresh;
    QPushButton* cmdReset;
    // The list: egProc with its filter box, export and print.
    frmRecordList* list;

    void cmdRefresh_Click();
    void cmdReset_Click();
    // The status texts of the list by code, loading it first when it has
    // not been loaded.
    QHash<QString, QString> StatusTexts();

private:
    TabLinks m_links;
};
