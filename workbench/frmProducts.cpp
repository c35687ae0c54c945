#include "frmProducts.h"

#include "EditGrid.h"
#include "clsConn.h"
#include "frmBatchTab.h"
#include "frmClaimStats.h"
#include "frmClaimsTab.h"
#include "frmEntryTab.h"
#include "frmLookup.h"
#include "frmLotRecall.h"
#include "frmPublishedTab.h"
#include "frmRanges.h"
#include "frmRecordList.h"
#include "frmStats.h"
#include "frmSubmittedTab.h"
#include "mduCardExtrasData.h"
#include "mduCardFinder.h"
#include "mduClaimBook.h"
#include "mduClaimDesk.h"
#include "mduProcess.h"
#include "mduShTools.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QShortcut>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>

using wb::px;

frmProducts::frmProducts(QWidget* parent)
    : QMainWindow(parent), m_checks([this] { return List(QStringLiteral("New"))->Numbers(); }) {
    setObjectName(QStringLiteral("frmProducts"));
    setWindowTitle(QStringLiteral("质保卡信息输入"));
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    stbInfo = new QTabWidget(client);
    stbInfo->setObjectName(QStringLiteral("stbInfo"));
    wb::place(stbInfo, 120, 120, 15000, 9000);
    const TabLinks links{[this](const QString& what, bool warning) { Report(what, warning); },
                         [this] { return m_terms; }, [this](const QString& key) { return List(key); }};
    tabEntry = new frmEntryTab(m_checks, links);
    stbInfo->addTab(tabEntry, frmEntryTab::Caption());
    tabProc = new frmSubmittedTab(links);
    stbInfo->addTab(tabProc, frmSubmittedTab::Caption());
    tabOuted = new frmPublishedTab(links);
    stbInfo->addTab(tabOuted, frmPublishedTab::Caption());
    tabBatch = new frmBatchTab(m_checks, links);
    stbInfo->addTab(tabBatch, frmBatchTab::Caption());
    tabStats = new frmStats([this] { return tabProc->StatusTexts(); });
    stbInfo->addTab(tabStats, QStringLiteral("统计"));
    tabLookup = new frmLookup([this] { return tabProc->StatusTexts(); }, [this] { return m_terms; });
    stbInfo->addTab(tabLookup, QStringLiteral("质保卡查询"));
    tabRanges = new frmRanges;
    stbInfo->addTab(tabRanges, QStringLiteral("卡号段"));
    tabRecall = new frmLotRecall([this] { return tabProc->StatusTexts(); });
    stbInfo->addTab(tabRecall, frmLotRecall::Caption());

    buildStatusBar();
    buildShortcuts();
    buildClaims();
    // Enter on a focused button presses it.
    for (QPushButton* b : findChildren<QPushButton*>()) {
        b->setAutoDefault(false);
        b->installEventFilter(this);
    }
    for (vt::EditGrid* g : Grids())
        KeepColumnWidths(g);
    stbInfo->widget(0)->installEventFilter(this);

    resize(px(16000), px(11000));
    Form_Load();
    Timer1->start();
    Timer1_Timer();
}

void frmProducts::buildStatusBar() {
    InfoBarPanel1 = new QLabel(this);
    InfoBarPanel2 = new QLabel(this);
    InfoBarPanel3 = new QLabel(this);
    InfoBarPanel1->setObjectName(QStringLiteral("InfoBarPanel1"));
    InfoBarPanel2->setObjectName(QStringLiteral("InfoBarPanel2"));
    InfoBarPanel3->setObjectName(QStringLiteral("InfoBarPanel3"));
    for (QLabel* p : {InfoBarPanel1, InfoBarPanel2, InfoBarPanel3}) {
        p->setFrameShape(QFrame::StyledPanel);
        p->setFrameShadow(QFrame::Sunken);
    }
    statusBar()->addWidget(InfoBarPanel1);
    statusBar()->addWidget(InfoBarPanel2);
    statusBar()->addPermanentWidget(InfoBarPanel3);
    statusBar()->setSizeGripEnabled(false);
    QFont small = statusBar()->font();
    small.setPointSize(9);
    statusBar()->setFont(small);
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &frmProducts::Timer1_Timer);
}

void frmProducts::buildShortcuts() {
    // Ctrl+F finds a card from anywhere in the workbench; Ctrl+P prints
    // from the tab shown.
    auto* find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, &frmProducts::ShowLookup);
    auto* print = new QShortcut(QKeySequence::Print, this);
    connect(print, &QShortcut::activated, this, [this] {
        if (stbInfo->currentWidget() == tabLookup)
            tabLookup->cmdPrint_Click();
        else if (stbInfo->currentIndex() <= 2)
            cmdPrint_Click();
    });
    // The keyboard: Ctrl+S saves, Ctrl+N starts a new card, Ctrl+Enter
    // submits the open one.
    const struct {
        QPushButton* button;
        QList<QKeySequence> keys;
    } shortcuts[] = {{tabEntry->cmdSave, {QKeySequence(Qt::CTRL | Qt::Key_S)}},
                     {tabEntry->cmdNew, {QKeySequence(Qt::CTRL | Qt::Key_N)}},
                     {tabEntry->cmdSubmit, {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)}}};
    for (const auto& sc : shortcuts) {
        for (const QKeySequence& key : sc.keys) {
            auto* shortcut = new QShortcut(key, this);
            connect(shortcut, &QShortcut::activated, sc.button, [b = sc.button] {
                if (b->isEnabled() && b->isVisible())
                    b->click();
            });
        }
        sc.button->setToolTip(sc.button->text().remove(QLatin1Char(' ')) + QStringLiteral("（") +
                              sc.keys.first().toString(QKeySequence::NativeText) + QStringLiteral("）"));
    }
    // Ctrl+Shift+N: a new card for another patient, every field but the
    // dates emptied.
    const QKeySequence emptyNew(Qt::CTRL | Qt::SHIFT | Qt::Key_N);
    auto* newEmpty = new QShortcut(emptyNew, this);
    connect(newEmpty, &QShortcut::activated, this, [this] {
        if (tabEntry->cmdNew->isVisible())
            tabEntry->cmdNewEmpty_Click();
    });
    tabEntry->cmdNew->setToolTip(tabEntry->cmdNew->toolTip() + QStringLiteral("；新增（清空）（") +
                                 emptyNew.toString(QKeySequence::NativeText) + QStringLiteral("）"));
}

frmProducts& frmProducts::instance() {
    static frmProducts* form = new frmProducts;
    return *form;
}

QList<vt::EditGrid*> frmProducts::Grids() const {
    return {tabEntry->list->grid, tabProc->list->grid, tabOuted->list->grid, tabBatch->egBatch};
}

frmRecordList* frmProducts::List(const QString& key) const {
    for (frmRecordList* l : {tabEntry->list, tabProc->list, tabOuted->list})
        if (l->Key() == key)
            return l;
    return nullptr;
}

void frmProducts::LoadRecordList(const QString& key) {
    if (frmRecordList* l = List(key))
        l->LoadRecordList();
}

void frmProducts::Form_Load() {
    // The grids' design settings first: reading them sets the grids' colours
    // to their defaults, and the house styling below paints over those.
    QFont gridFont = font();
    gridFont.setPointSize(8);
    for (vt::EditGrid* g : Grids()) {
        ApplyGridDesign(g);
        g->setGridFont(gridFont);
    }
    tabBatch->egBatch->setShowMenu(true); // its menu holds 删除行
    StyleForm(this);
    InfoBarPanel1->setText(gConn->OpCom().toString() + QLatin1Char('(') + gConn->OpName().toString() + QLatin1Char(')'));
    for (frmRecordList* l : {tabEntry->list, tabProc->list, tabOuted->list})
        l->InitColumns();
    tabBatch->InitColumns();
    // The product list, loaded once for the entry fields and the batch.
    QVariantList p{QStringLiteral("PrdNo"), gConn->OpId(), QString(), QString(), QString(), QString()};
    const QVariant products = gConn->GetSP(QStringLiteral("upvProducts"), p);
    // The lab's clinics and the card's lot, teeth and shade: one query reads
    // the clinics with the lab's earlier lots; a database without lots fails
    // it, reads the clinics alone, and shows no lot, teeth or shade.
    SetCardExtrasFound(LoadLabClinicsAndLots(gConn->OpId()));
    tabEntry->Form_Load(products);
    tabBatch->LoadProducts(products);
    tabOuted->SetMonth(QDate::currentDate());
    // The terms with their own query: an older database without them
    // gives none, and the lists and boxes are as they were.
    m_terms = LoadProductTerms();
    LoadClaims();

    tabEntry->ShowCardExtras(CardExtrasShown());
    tabBatch->ShowCardExtras(CardExtrasShown());
    tabLookup->ShowCardExtras(CardExtrasShown());
    stbInfo->setTabVisible(stbInfo->indexOf(tabRecall), CardExtrasShown());
    tabRecall->OfferLots();
    LoadRecordList(QStringLiteral("New"));
}

void frmProducts::Report(const QString& what, bool warning) {
    InfoBarPanel2->setText(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")) + QLatin1Char(' ') + what);
    QPalette p = InfoBarPanel2->palette();
    p.setColor(QPalette::WindowText, warning ? QColor(200, 0, 0) : palette().color(QPalette::WindowText));
    InfoBarPanel2->setPalette(p);
    InfoBarPanel2->setToolTip(what);
}

void frmProducts::ShowLookup() {
    stbInfo->setCurrentWidget(tabLookup);
    tabLookup->FocusSearch();
}

void frmProducts::cmdPrint_Click() {
    switch (stbInfo->currentIndex()) {
    case 0: tabEntry->list->cmdPrint_Click(); return;
    case 1: tabProc->list->cmdPrint_Click(); return;
    case 2: tabOuted->list->cmdPrint_Click(); return;
    default: return;
    }
}

QString frmProducts::ClockText() {
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy年M月d日 HH:mm:ss"));
}

void frmProducts::Timer1_Timer() { InfoBarPanel3->setText(ClockText()); }

void frmProducts::Form_Resize() {
    // Fitting switches tabs, which may resize the pages again.
    if (m_fitting)
        return;
    const QScopedValueRollback<bool> fitting(m_fitting, true);
    short minW = 2000, minH = 1000, rows = 2;
    FitToContainer(centralWidget(), stbInfo, minW, minH, rows);
    const int shown = stbInfo->currentIndex();
    struct Fit {
        int tab;
        QWidget* frame;
        QWidget* grid;
        QWidget* gridContainer;
        short gridRows;
    };
    QWidget* frmNew = tabEntry->frmNew;
    const Fit fits[] = {{0, frmNew, tabEntry->list->grid, frmNew, 0},
                        {1, tabProc->frmProc, tabProc->list->grid, frmNew, 0},
                        {2, tabOuted->frmOuted, tabOuted->list->grid, frmNew, 0},
                        {3, tabBatch->frmBatch, tabBatch->egBatch, tabBatch->frmBatch, -1}};
    for (const Fit& fit : fits) {
        stbInfo->setCurrentIndex(fit.tab);
        short w = 2000, h = 1000, frameRows = -1, gridRows = fit.gridRows;
        // The page under the tab bar is what the frame may fill.
        FitToContainer(fit.frame->parentWidget(), fit.frame, w, h, frameRows);
        short gw = 2000, gh = 1000;
        FitToContainer(fit.gridContainer, fit.grid, gw, gh, gridRows);
    }
    stbInfo->setCurrentIndex(shown);
    InfoBarPanel1->setFixedWidth(px(3000));
    // The clock's panel holds its whole text; the middle panel takes what
    // is left, so that the three end at the window's right edge.
    const QFontMetrics clock(InfoBarPanel3->font());
    InfoBarPanel3->setFixedWidth(std::max(px(2000), clock.horizontalAdvance(ClockText()) + px(240)));
    const int spacing = statusBar()->layout() ? statusBar()->layout()->spacing() : 0;
    const int margins = statusBar()->contentsMargins().left() + statusBar()->contentsMargins().right();
    InfoBarPanel2->setFixedWidth(std::max(0, statusBar()->width() - margins - InfoBarPanel1->width() -
                                                 InfoBarPanel3->width() - 4 * std::max(spacing, 3) - px(100)));
    tabEntry->LayOutHelp();
}

void frmProducts::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

bool frmProducts::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        auto* button = qobject_cast<QPushButton*>(watched);
        if (button && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && key->modifiers() == Qt::NoModifier) {
            button->click();
            return true;
        }
    }
    // The tab control lays its pages out after the window's own resize (and
    // only once shown): the frames are fitted again to the pages' real size.
    if (watched == stbInfo->widget(0) && event->type() == QEvent::Resize)
        Form_Resize();
    return QMainWindow::eventFilter(watched, event);
}

void frmProducts::closeEvent(QCloseEvent* event) {
    if (!tabEntry->AskToDropChanges(true)) {
        event->ignore();
        return;
    }
    event->accept();
    EndProcessNow(0);
}

void frmProducts::buildClaims() {
    claims = new ClaimBook(this);
    // Ctrl+R records a claim of the card shown in the look-up or the
    // published list.
    auto* claim = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_R), this);
    connect(claim, &QShortcut::activated, this, [this] {
        if (stbInfo->currentWidget() == tabLookup)
            tabLookup->cmdClaim_Click();
        else if (stbInfo->currentWidget() == tabOuted)
            tabOuted->cmdClaim_Click();
    });
    // The remake saved in the entry tab is its claim's from now on.
    connect(tabEntry, &frmEntryTab::RemakeSaved, claims, &ClaimBook::LinkRemake);
    tabClaims = new frmClaimsTab(
        claims,
        [this](const QString& number) {
            stbInfo->setCurrentWidget(tabLookup);
            tabLookup->ShowNumber(number);
        },
        [] { return gConn->OpCom().toString(); }, [this](const QString& what, bool warning) { Report(what, warning); },
        this);
    tabClaims->hide();
}

void frmProducts::LoadClaims() {
    // One query: the lab's open claims; a database without claims fails it
    // quietly, and nothing of them is shown.
    claims->Load();
    const ClaimLinks links{claims, [this] { return m_terms; },
                           [this](const WarrantyRecord& original, const QString& claimKey) {
                               stbInfo->setCurrentWidget(tabEntry);
                               return tabEntry->StartRemake(original, claimKey);
                           },
                           [this](const QString& what, bool warning) { Report(what, warning); },
                           [this] { return tabProc->StatusTexts(); }};
    tabLookup->SetClaims(links);
    tabOuted->SetClaims(links);
    // The claims tab after the others (their places stay as they were),
    // read whenever it is shown.
    const int at = stbInfo->indexOf(tabClaims);
    if (claims->Available() && at < 0) {
        stbInfo->addTab(tabClaims, frmClaimsTab::Caption());
        connect(stbInfo, &QTabWidget::currentChanged, tabClaims, [this](int index) {
            if (stbInfo->widget(index) == tabClaims)
                tabClaims->LoadClaims();
        });
    } else if (!claims->Available() && at >= 0) {
        stbInfo->removeTab(at);
    }
    if (claims->Available())
        tabStats->SetClaimsPage(new frmClaimStats);
}
