#pragma once
// One record list of the workbench: the pending ("New"), the submitted and
// sent-back ("Pro") or the published ("Done") records of the lab. Its grid,
// its filter box over the list as read, its export and the printing of the
// cards of its selected rows; the tab it lies on places them.
#include "mduFormParts.h"
#include "mduListFilter.h"

#include <QDate>
#include <QObject>
#include <QPoint>
#include <QStringList>
#include <functional>
#include <optional>
#include <utility>

class QLineEdit;
class QPushButton;

class frmRecordList : public QObject {
    Q_OBJECT
public:
    // Where the tab puts the list's controls, in twips.
    struct Places {
        QPoint print, exporter;
        int filterLeft, filterTop, filterWidth;
        int gridLeft, gridTop, gridWidth, gridHeight;
    };
    // key: "New", "Pro" or "Done"; suffix: the end of its controls' names
    // ("New", "Proc", "Outed"); name: the list's name as its tab shows it.
    frmRecordList(const QString& key, const QString& suffix, const QString& name, QWidget* frame,
                  const Places& places, TabLinks links);

    vt::EditGrid* grid;
    QLineEdit* txtFilter;
    QPushButton* cmdExport;
    QPushButton* cmdPrint;

    const QString& Key() const { return m_key; }
    const QString& Name() const { return m_name; }

    // The published list's submission date range, asked at each load.
    void SetDateRange(std::function<std::pair<QDate, QDate>()> range) { m_range = std::move(range); }
    // What Print prints: the keys to print, or nothing when it must not
    // print (it has said why). Without one, the keys of the selected rows.
    void SetPrintChoice(std::function<std::optional<QStringList>()> choice) { m_printChoice = std::move(choice); }

    // The list's headers and widths, the number and date columns widened,
    // the widths the user set put back.
    void InitColumns();
    // The columns that hold card numbers, and those that hold dates.
    QList<int> NumberColumns() const;
    QList<int> DateColumns() const;
    // The grid columns an export writes, in its order: those of the batch
    // grid's columns 1 to 11 (0 where the list has none), then the list's own.
    QList<int> ExportColumns() const;

    // Reads the list and fills the grid (filtered when its box has text).
    void LoadRecordList();
    // The filter box changed: its rows are shown anew and counted in the
    // status bar; a list that changed since it was read is read again.
    void FilterList();
    // Writes the list as shown (CSV or XLSX, by the name chosen); false
    // when cancelled or not written.
    bool ExportList();
    // The preview of the cards to print.
    void cmdPrint_Click();
    void PrintKeys(const QStringList& keys);
    // The keys (column 1) of the selected rows.
    QStringList SelectedKeys() const;
    // The card numbers of every row as read, those the filter hides included.
    QStringList Numbers();
    ListFilter& Filter() { return m_filter; }

signals:
    // The grid was filled anew (its cells' colours are gone).
    void Filled();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowFiltered();
    void ReportCount();

    QString m_key, m_name;
    TabLinks m_links;
    ListFilter m_filter;
    std::function<std::pair<QDate, QDate>()> m_range;
    std::function<std::optional<QStringList>()> m_printChoice;
};
