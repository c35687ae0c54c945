#pragma once
// The workbench: the program's main form, shown after a lab has signed in.
// A window of seven tabs, each a class of its own: pending records with the
// entry fields, submitted and sent-back records, published records, batch
// entry, the lab's statistics, the look-up of any card and the lab's card
// ranges; an eighth, the lab's warranty claims, where the database keeps them. The window keeps the status bar with its clock, the keyboard
// shortcuts, the layout on resize, and ends the program when it closes.
#include "mduCardChecks.h"
#include "mduFormParts.h"

#include <QHash>
#include <QMainWindow>

class ClaimBook;
class QLabel;
class QTabWidget;
class QTimer;
class frmBatchTab;
class frmClaimsTab;
class frmEntryTab;
class frmLookup;
class frmLotRecall;
class frmPublishedTab;
class frmRanges;
class frmStats;
class frmSubmittedTab;

class frmProducts : public QMainWindow {
    Q_OBJECT
public:
    explicit frmProducts(QWidget* parent = nullptr);

    // The one workbench of the program, created on first use.
    static frmProducts& instance();

    QTabWidget* stbInfo;
    // The tabs, in their order.
    frmEntryTab* tabEntry;
    frmSubmittedTab* tabProc;
    frmPublishedTab* tabOuted;
    frmBatchTab* tabBatch;
    frmStats* tabStats;
    frmLookup* tabLookup;
    frmRanges* tabRanges;
    // The lab's warranty claims; their buttons and tab only where the
    // database keeps them.
    ClaimBook* claims;
    // The claims tab, in the window only where the database keeps claims.
    frmClaimsTab* tabClaims;

    frmLotRecall* tabRecall; // shown where the database has lots

    // Status bar panels and the clock.
    QLabel* InfoBarPanel1;
    QLabel* InfoBarPanel2;
    QLabel* InfoBarPanel3;
    QTimer* Timer1;

    // A record list by its key, "New", "Pro" or "Done"; null for others.
    frmRecordList* List(const QString& key) const;
    // Fills one record list: "New", "Pro" or "Done"; any other key does nothing.
    void LoadRecordList(const QString& key);
    // The text that panel 3 shows: today's date and the time of day.
    static QString ClockText();

    // The form's own steps, reachable for tests as the user's clicks are.
    void Form_Load();
    void Form_Resize();
    void Timer1_Timer();
    // The preview of the warranty cards of the list tab shown.
    void cmdPrint_Click();
    // Ctrl+F: the look-up tab, its search box ready for typing.
    void ShowLookup();
    // The products' warranty terms in months, read at load.
    const QHash<QString, int>& Terms() const { return m_terms; }
    // What the last action did, with the time, in the middle status panel;
    // a warning is shown in red.
    void Report(const QString& what, bool warning = false);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildStatusBar();
    void buildShortcuts();
    // The claims: asked for at load, then shown or kept hidden.
    void buildClaims();
    void LoadClaims();
    // The four grids of the list and batch tabs.
    QList<vt::EditGrid*> Grids() const;

    // The card checks the entry and batch tabs are given.
    CardChecks m_checks;
    bool m_fitting = false;
    QHash<QString, int> m_terms;
};
