// The workbench: its controls, load, record lists, clock, layout and end.
#include "frmProducts.h"

#include "EditGrid.h"
#include "clsConn.h"
#include "common/vtTwips.h"
#include "frmLookup.h"
#include "frmRanges.h"
#include "frmStats.h"
#include "mduCardFinder.h"
#include "mduCardPrint.h"
#include "mduDateText.h"
#include "dbUserInterface.h"
#include "mduHospital.h"
#include "mduMessage.h"
#include "mduPinyin.h"
#include "mduProcess.h"
#include "mduShTools.h"
#include "qvDatePicker.h"
#include "ucInput.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QLayout>
#include <QPushButton>
#include <QSettings>
#include <QShortcut>
#include <QStatusBar>
#include <QTabWidget>
#include <QScopedValueRollback>
#include <QTimer>

namespace {

int px(int twips) { return vt::twipsToPixels(twips); }

void place(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(px(left), px(top), px(width), px(height));
}

QLabel* label(QWidget* parent, const char* name, const QString& caption, int left, int top, int width = 1000) {
    auto* l = new QLabel(caption, parent);
    l->setObjectName(QString::fromLatin1(name));
    place(l, left, top, width, 300);
    return l;
}

QLineEdit* textBox(QWidget* parent, const char* name, int maxLength, int left, int top, int width,
                   const QString& text = QString()) {
    auto* t = new QLineEdit(text, parent);
    t->setObjectName(QString::fromLatin1(name));
    if (maxLength > 0)
        t->setMaxLength(maxLength);
    place(t, left, top, width, 330);
    return t;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, int left, int top, int width = 1100) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    place(b, left, top, width, 400);
    return b;
}

qvDatePicker* datePicker(QWidget* parent, const char* name, int left, int top) {
    auto* d = new qvDatePicker(parent);
    d->setObjectName(QString::fromLatin1(name));
    place(d, left, top, 1600, 330);
    return d;
}

vt::EditGrid* grid(QWidget* parent, const char* name) {
    auto* g = qobject_cast<vt::EditGrid*>(vt::CreateControl(QStringLiteral("Vantelo.EditGrid"), parent));
    g->setObjectName(QString::fromLatin1(name));
    return g;
}

vt::ucInput* picker(QWidget* parent, const char* name) {
    auto* p = qobject_cast<vt::ucInput*>(vt::CreateControl(QStringLiteral("Vantelo.ucInput"), parent));
    p->setObjectName(QString::fromLatin1(name));
    return p;
}

QGroupBox* frame(QWidget* page, const char* name) {
    auto* f = new QGroupBox(page);
    f->setObjectName(QString::fromLatin1(name));
    place(f, 120, 120, 14000, 7000);
    return f;
}

QVariantList list(std::initializer_list<QVariant> v) { return QVariantList(v); }

} // namespace

frmProducts::frmProducts(QWidget* parent)
    : QMainWindow(parent),
      // The card number, patient, doctor and hospital of each list.
      m_filterNew(std::make_unique<ListFilter>(std::vector<std::vector<int>>{{3}, {4, 5}, {6, 7}, {8}})),
      m_filterProc(std::make_unique<ListFilter>(std::vector<std::vector<int>>{{6}, {8, 9}, {10, 11}, {12}})),
      m_filterOuted(std::make_unique<ListFilter>(std::vector<std::vector<int>>{{5}, {6, 7}, {8, 9}, {10}})) {
    setObjectName(QStringLiteral("frmProducts"));
    setWindowTitle(QStringLiteral("质保卡信息输入"));
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    stbInfo = new QTabWidget(client);
    stbInfo->setObjectName(QStringLiteral("stbInfo"));
    place(stbInfo, 120, 120, 15000, 9000);
    buildEntryTab();
    buildProcTab();
    buildOutedTab();
    buildBatchTab();
    buildStatsTab();
    buildLookupTab();
    buildRangesTab();

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

    connect(cmdNew, &QPushButton::clicked, this, &frmProducts::cmdNew_Click);
    connect(ucProduct, &vt::ucInput::Click, this, &frmProducts::ucProduct_Click);
    connect(egNew, &vt::EditGrid::RowDblClick, this, &frmProducts::egNew_RowDblClick);
    connect(cmdSave, &QPushButton::clicked, this, &frmProducts::cmdSave_Click);
    connect(cmdDel, &QPushButton::clicked, this, &frmProducts::cmdDel_Click);
    connect(cmdSubmit, &QPushButton::clicked, this, &frmProducts::cmdSubmit_Click);
    connect(cmdSubmitAll, &QPushButton::clicked, this, &frmProducts::cmdSubmitAll_Click);
    connect(cmdReset, &QPushButton::clicked, this, &frmProducts::cmdReset_Click);
    connect(cmdRefresh, &QPushButton::clicked, this, &frmProducts::cmdRefresh_Click);
    connect(cmdViewAll, &QPushButton::clicked, this, &frmProducts::cmdViewAll_Click);
    connect(cmdAdd, &QPushButton::clicked, this, &frmProducts::cmdAdd_Click);
    connect(cmdClear, &QPushButton::clicked, this, &frmProducts::cmdClear_Click);
    connect(cmdCheck, &QPushButton::clicked, this, &frmProducts::cmdCheck_Click);
    connect(cmdImport, &QPushButton::clicked, this, &frmProducts::cmdImport_Click);
    connect(cmdReadFile, &QPushButton::clicked, this, &frmProducts::cmdReadFile_Click);
    for (QPushButton* b : {cmdPrintNew, cmdPrintProc, cmdPrintOuted})
        connect(b, &QPushButton::clicked, this, &frmProducts::cmdPrint_Click);
    // Each list's filter box and export; a list whose rows left the grid
    // (stored, submitted) is read again before it is filtered anew.
    for (const QString& key : ListKeys()) {
        const ListParts l = Parts(key);
        l.box->setPlaceholderText(QStringLiteral("筛选：卡号、姓名、医院或拼音首字母"));
        l.box->setClearButtonEnabled(true);
        connect(l.box, &QLineEdit::textChanged, this, [this, key] { FilterList(key); });
        l.box->installEventFilter(this);
        connect(l.exporter, &QPushButton::clicked, this, [this, key] { ExportList(key); });
        connect(l.grid, &vt::EditGrid::AfterRemoveRow, this, [f = l.filter] { f->forget(); });
    }
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
    connect(ucHospital, &vt::ucInput::Click, this, [this] { txtHospital->setText(ucHospital->Text()); });
    txtPinYin->installEventFilter(this);
    // The remembered names narrow down as initials are typed; Enter steps
    // through those that remain.
    connect(txtPinYin, &QLineEdit::textChanged, this, [this](const QString& text) { LoadHospitalNames(ucHospital, text); });
    connect(cmdDeleteRows, &QPushButton::clicked, this, &frmProducts::cmdDeleteRows_Click);
    egBatch->AddMenuItem(QStringLiteral("删除行"));
    connect(egBatch, &vt::EditGrid::MenuItemClick, this, [this](const QString& item) {
        if (item == QLatin1String("删除行"))
            cmdDeleteRows_Click();
    });
    // A paste into the empty batch grid starts its first row.
    egBatch->focusProxy()->installEventFilter(this);
    // The keyboard: Ctrl+S saves, Ctrl+N starts a new card, Ctrl+Enter
    // submits the open one; Enter on a focused button presses it.
    const struct {
        QPushButton* button;
        QList<QKeySequence> keys;
    } shortcuts[] = {{cmdSave, {QKeySequence(Qt::CTRL | Qt::Key_S)}},
                     {cmdNew, {QKeySequence(Qt::CTRL | Qt::Key_N)}},
                     {cmdSubmit, {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)}}};
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
    for (QPushButton* b : findChildren<QPushButton*>()) {
        b->setAutoDefault(false);
        b->installEventFilter(this);
    }
    for (vt::EditGrid* g : {egNew, egProc, egOuted, egBatch})
        connect(g, &vt::EditGrid::ColWidthChanged, this, [g](int col, int width) {
            HospitalStore().setValue(QStringLiteral("ColWidth/%1/%2").arg(g->objectName()).arg(col), width);
        });
    stbInfo->widget(0)->installEventFilter(this);

    resize(px(16000), px(11000));
    Form_Load();
    Timer1->start();
    Timer1_Timer();
}

void frmProducts::applyGridDesign(vt::EditGrid* g) {
    // The design settings the form keeps for its grids.
    vt::PropertyBag bag;
    bag.insert(QStringLiteral("ShowMenu"), false);
    bag.insert(QStringLiteral("OnEnterKeyMove"), static_cast<int>(vt::fmtHorNext));
    bag.insert(QStringLiteral("SelectionMode"), 0);
    bag.insert(QStringLiteral("AllowUserResizing"), 1); // columns, remembered per list
    bag.insert(QStringLiteral("AutoSort"), true);
    bag.insert(QStringLiteral("AllowPaste"), true);
    bag.insert(QStringLiteral("RowHeightMin"), 300);
    g->ReadProperties(bag);
}

void frmProducts::buildEntryTab() {
    auto* page = new QWidget;
    stbInfo->addTab(page, QStringLiteral("待提交质保卡"));
    frmNew = frame(page, "frmNew");
    QWidget* f = frmNew;
    label(f, "lblProduct", QStringLiteral("质保产品"), 120, 330);
    ucProduct = picker(f, "ucProduct");
    place(ucProduct, 1100, 300, 3500, 330);
    label(f, "lblPrdNo", QStringLiteral("保质卡号"), 4800, 330);
    txtPrdNo1 = textBox(f, "txtPrdNo1", 1, 5750, 300, 400);
    txtPrdNo1->setReadOnly(true);
    txtPrdNo1->setFocusPolicy(Qt::NoFocus);
    txtPrdNo = textBox(f, "txtPrdNo", 8, 6180, 300, 1500);
    label(f, "lblPdTime", QStringLiteral("制作时间"), 7900, 330);
    txtPdTime = datePicker(f, "txtPdTime", 8850, 300);

    label(f, "lblPatient", QStringLiteral("患者姓名"), 120, 780);
    // "姓" and "名" are hints, never stored text.
    txtPLName = textBox(f, "txtPLName", 25, 1100, 750, 1150);
    txtPFName = textBox(f, "txtPFName", 25, 2300, 750, 1150);
    label(f, "lblDoctor", QStringLiteral("主治医生"), 3600, 780, 900);
    txtDLName = textBox(f, "txtDLName", 25, 4500, 750, 1550);
    txtDFName = textBox(f, "txtDFName", 25, 6100, 750, 1580);
    for (QLineEdit* box : {txtPLName, txtDLName})
        box->setPlaceholderText(QStringLiteral("姓"));
    for (QLineEdit* box : {txtPFName, txtDFName})
        box->setPlaceholderText(QStringLiteral("名"));
    label(f, "lblOpTime", QStringLiteral("治疗时间"), 7900, 780);
    txtOpTime = datePicker(f, "txtOpTime", 8850, 750);

    label(f, "lblHospital", QStringLiteral("医院诊所"), 120, 1230);
    txtHospital = textBox(f, "txtHospital", 25, 1100, 1200, 6580);
    txtPinYin = textBox(f, "txtPinYin", 0, 1100, 1600, 1600);
    txtPinYin->setPlaceholderText(QStringLiteral("拼音首字母"));
    ucHospital = picker(f, "ucHospital");
    ucHospital->setProportion(vt::ucInput::prop0);
    place(ucHospital, 2750, 1600, 4930, 330);

    label(f, "lblOpDesp", QStringLiteral("治疗项目描述"), 120, 2080, 1250);
    txtOpDesp = textBox(f, "txtOpDesp", 100, 1400, 2050, 9050);
    label(f, "lblMemo", QStringLiteral("备注"), 120, 2530);
    txtMemo = new QPlainTextEdit(f);
    txtMemo->setObjectName(QStringLiteral("txtMemo"));
    place(txtMemo, 1400, 2500, 9050, 600);
    txtMemo->setTabChangesFocus(true);
    // At most 250 characters: a longer text is cut back as it is typed or pasted.
    connect(txtMemo, &QPlainTextEdit::textChanged, this, [this] {
        const QString t = txtMemo->toPlainText();
        if (t.size() > 250) {
            txtMemo->setPlainText(t.left(250));
            txtMemo->moveCursor(QTextCursor::End);
        }
    });

    lbId = label(f, "lbId", QStringLiteral("LbId"), 10700, 2530, 600);
    lbId->hide(); // the open record's key, not meant for the user

    cmdNew = button(f, "cmdNew", QStringLiteral("新 增"), 10700, 300);
    cmdSave = button(f, "cmdSave", QStringLiteral("保 存"), 10700, 750);
    cmdDel = button(f, "cmdDel", QStringLiteral("删 除"), 10700, 1200);
    cmdSubmit = button(f, "cmdSubmit", QStringLiteral("上 报"), 10700, 1650);
    cmdSubmitAll = button(f, "cmdSubmitAll", QStringLiteral("全部上报"), 10700, 2100);
    cmdPrintNew = button(f, "cmdPrintNew", QStringLiteral("打 印…"), 10700, 2550);
    txtFilterNew = textBox(f, "txtFilterNew", 50, 12000, 2100, 2700);
    cmdExportNew = button(f, "cmdExportNew", QStringLiteral("导 出…"), 12000, 2550);
    cmdSave->setEnabled(false);
    cmdDel->setEnabled(false);
    cmdSubmit->setEnabled(false);
    m_helpText = QStringLiteral("增加：点击新增，输入完毕后点击保存。\n"
                                "修改：双击条目，修改完毕点击保存。\n"
                                "上报：双击条目，点击上报。或直接全部上报。");
    lblHelp = new QLabel(m_helpText, f);
    lblHelp->setObjectName(QStringLiteral("lbtHelp"));
    place(lblHelp, 12000, 300, 3000, 1500);
    lblHelp->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    egNew = grid(f, "egNew");
    place(egNew, 120, 3200, 13500, 3500);

    // The pickers take part through the half that receives their focus (the
    // hospital picker shows only its list); the toolkit does not place a
    // widget whose focus goes to a child reliably in the chain.
    QWidget* order[] = {ucProduct, txtPrdNo,  txtPLName,  txtPFName,   txtDLName, txtDFName, txtPdTime,
                        txtOpTime, txtPinYin, ucHospital, txtHospital, txtOpDesp, txtMemo,   cmdSave};
    const auto first = [](QWidget* w) { return w->focusProxy() ? w->focusProxy() : w; };
    // The last part of a picker that Tab stops at: its list after its code box.
    const auto last = [&first](QWidget* w) {
        QWidget* end = first(w);
        if (end == w)
            return end;
        for (QWidget* n = end->nextInFocusChain(); n != end && w->isAncestorOf(n); n = n->nextInFocusChain())
            if (!n->isHidden() && (n->focusPolicy() & Qt::TabFocus))
                end = n;
        return end;
    };
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(last(order[i]), first(order[i + 1]));
}

void frmProducts::buildProcTab() {
    auto* page = new QWidget;
    stbInfo->addTab(page, QStringLiteral("待审批及退回质保卡"));
    frmProc = frame(page, "frmProc");
    cmdRefresh = button(frmProc, "cmdRefresh", QStringLiteral("刷 新"), 120, 250);
    cmdReset = button(frmProc, "cmdReset", QStringLiteral("确认退回 撤 销"), 1400, 250, 1900);
    cmdPrintProc = button(frmProc, "cmdPrintProc", QStringLiteral("打 印…"), 3400, 250);
    cmdExportProc = button(frmProc, "cmdExportProc", QStringLiteral("导 出…"), 4600, 250);
    txtFilterProc = textBox(frmProc, "txtFilterProc", 50, 5900, 285, 3000);
    egProc = grid(frmProc, "egProc");
    place(egProc, 120, 800, 13500, 5500);
}

void frmProducts::buildOutedTab() {
    auto* page = new QWidget;
    stbInfo->addTab(page, QStringLiteral("已发布质保卡"));
    frmOuted = frame(page, "frmOuted");
    label(frmOuted, "lblFrom", QStringLiteral("上报时间 从"), 120, 300, 1200);
    dateFrom = datePicker(frmOuted, "dateFrom", 1350, 270);
    label(frmOuted, "lblTo", QStringLiteral("到"), 3100, 300, 300);
    dateTo = datePicker(frmOuted, "dateTo", 3450, 270);
    cmdViewAll = button(frmOuted, "cmdViewAll", QStringLiteral("查 看"), 5300, 240);
    cmdPrintOuted = button(frmOuted, "cmdPrintOuted", QStringLiteral("打 印…"), 6500, 240);
    cmdExportOuted = button(frmOuted, "cmdExportOuted", QStringLiteral("导 出…"), 7700, 240);
    txtFilterOuted = textBox(frmOuted, "txtFilterOuted", 50, 9000, 275, 3000);
    egOuted = grid(frmOuted, "egOuted");
    place(egOuted, 120, 800, 13500, 5500);
}

void frmProducts::buildBatchTab() {
    auto* page = new QWidget;
    stbInfo->addTab(page, QStringLiteral("质保卡批量预录"));
    frmBatch = frame(page, "frmBatch");
    ucProduct2 = picker(frmBatch, "ucProduct2");
    place(ucProduct2, 120, 300, 3000, 330);
    ucProduct2->hide(); // the batch logic looks product names up in it
    lblBatchHelp = new QLabel(frmBatch);
    lblBatchHelp->setObjectName(QStringLiteral("lbtBatchHelp"));
    lblBatchHelp->setWordWrap(true);
    place(lblBatchHelp, 120, 250, 9500, 1300);
    cmdImport = button(frmBatch, "cmdImport", QStringLiteral("批量导入"), 9800, 250);
    cmdCheck = button(frmBatch, "cmdCheck", QStringLiteral("检 验"), 11000, 250);
    cmdAdd = button(frmBatch, "cmdAdd", QStringLiteral("增加行"), 9800, 750);
    cmdClear = button(frmBatch, "cmdClear", QStringLiteral("清 除"), 11000, 750);
    cmdDeleteRows = button(frmBatch, "cmdDeleteRows", QStringLiteral("删除行"), 12200, 750);
    cmdReadFile = button(frmBatch, "cmdReadFile", QStringLiteral("读取文件…"), 12200, 250);
    cmdReadFile->setToolTip(QStringLiteral("从 CSV 或 Excel（.xlsx）文件读入行，检验后再导入"));
    cmdImport->setEnabled(false);
    cmdCheck->setEnabled(false);
    egBatch = grid(frmBatch, "egBatch");
    place(egBatch, 120, 1600, 13500, 5000);
}

frmProducts& frmProducts::instance() {
    static frmProducts* form = new frmProducts;
    return *form;
}

void frmProducts::Form_Load() {
    // The grids' design settings first: reading them sets the grids' colours
    // to their defaults, and the house styling below paints over those.
    QFont gridFont = font();
    gridFont.setPointSize(8);
    for (vt::EditGrid* g : {egNew, egProc, egOuted, egBatch}) {
        applyGridDesign(g);
        g->setGridFont(gridFont);
    }
    egBatch->setShowMenu(true); // its menu holds 删除行
    StyleForm(this);
    InfoBarPanel1->setText(gConn->OpCom().toString() + QLatin1Char('(') + gConn->OpName().toString() + QLatin1Char(')'));
    lbId->setText(QString());
    // Today's date once, at load: New keeps the dates for repeat cards, and
    // a resize never touches an open record's dates.
    txtPdTime->setDate(QDate::currentDate());
    txtOpTime->setDate(QDate::currentDate());
    egNew->InitColHeaders(QString(), list({"序号", "", "质保产品", "质保卡号", "患者姓", "名", "医生姓", "名",
                                            "医院、诊所", "治疗时间", "治疗描述", "备注", "制作时间"}));
    egNew->InitColWidth(200, list({0, 0, 1800, 1020, 820, 820, 820, 820, 2400, 1020, 1200, 1200, 1020}));
    egProc->InitColHeaders(QString(), list({"序号", "状态", "状态", "理由 ", "", "质保产品", "质保卡号", "上报时间",
                                             "患者姓", "名", "医生姓", "名", "医院、诊所", "治疗时间", "制作时间"}));
    egProc->InitColWidth(200, list({0, 0, 1020, 1420, 0, 1800, 1020, 1020, 820, 820, 820, 820, 2400, 1020, 1020}));
    egOuted->InitColHeaders(QString(), list({"序号", "上报时间", "发布时间", "", "质保产品", "质保卡号", "患者姓", "名",
                                              "医生姓", "名", "医院、诊所", "治疗时间", "治疗描述", "备注", "制作时间"}));
    egOuted->InitColWidth(200, list({0, 1020, 1020, 0, 1800, 1020, 820, 820, 820, 820, 2400, 1020, 1200, 1200, 1020}));
    egBatch->InitColHeaders(QString(), list({"质保产品", "质保卡号", "制作时间", "诊疗时间", "患者姓", "患者名", "主治医生姓",
                                              "主治医生名", "医院诊所", "治疗项目描述", "备注"}));
    egBatch->InitColWidth(200, list({1020, 1020, 1020, 1020, 820, 820, 1300, 1300, 1800, 2000, 4300}));
    egBatch->InitColEdit(false, list({true, true, true, true, true, true, true, true, true, true, true}));
    FitNumberAndDateColumns();
    for (vt::EditGrid* g : {egNew, egProc, egOuted, egBatch})
        RestoreColumnWidths(g);

    QVariantList p{QStringLiteral("PrdNo"), gConn->OpId(), QString(), QString(), QString(), QString()};
    const QVariant products = gConn->GetSP(QStringLiteral("upvProducts"), p);
    ucProduct->LoadList(products);
    QVariantList p2{QStringLiteral("PrdNo"), gConn->OpId(), QString(), QString(), QString(), QString()};
    ucProduct2->LoadList(gConn->GetSP(QStringLiteral("upvProducts"), p2));
    const QString example = ucProduct2->ListCount() > 0 ? ucProduct2->ListText(0) : QString();
    lblBatchHelp->setText(QStringLiteral("批量操作说明：\n1、质保产品：请按单条录入的产品列表中的名称输入，例如：") + example +
                          QStringLiteral("\n2、质保卡号：请连同质保卡号的首字母一同输入，例如：C00000102,除首字母外其他必须是数字\n"
                                         "3、制作时间、诊疗时间：按标准日期格式输入，例如：2013-09-01\n"
                                         "4、患者姓、名以及医院诊所信息不能为空"));

    QDate first, last;
    MonthRange(QDate::currentDate(), &first, &last);
    dateFrom->setDate(first);
    dateTo->setDate(last);
    // The terms with their own query: an older database without them
    // gives none, and the lists and boxes are as they were.
    m_terms = LoadProductTerms();
    LoadRecordList(QStringLiteral("New"));
    LoadHospitalNames(ucHospital);
    RememberEntry();
}

void frmProducts::RestoreColumnWidths(vt::EditGrid* g) {
    QSettings& store = HospitalStore();
    const QString group = QStringLiteral("ColWidth/") + g->objectName();
    for (int c = 0; c < g->Cols(); ++c) {
        const QVariant w = store.value(group + QLatin1Char('/') + QString::number(c));
        if (w.isValid() && w.toInt() > 0 && g->Col(c).Width() > 0)
            g->Col(c).setWidth(w.toInt());
    }
}

void frmProducts::Report(const QString& what, bool warning) {
    InfoBarPanel2->setText(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")) + QLatin1Char(' ') + what);
    QPalette p = InfoBarPanel2->palette();
    p.setColor(QPalette::WindowText, warning ? QColor(200, 0, 0) : palette().color(QPalette::WindowText));
    InfoBarPanel2->setPalette(p);
    InfoBarPanel2->setToolTip(what);
}

void frmProducts::SelectRowOf(vt::EditGrid* g, int col, const QString& text, int show) {
    for (int r = g->Rows() - 1; r >= 1; --r) {
        if (g->Cells(r, col).Text() == text) {
            g->Cells(r, show < 0 ? col : show).setSelected(true);
            return;
        }
    }
}

void frmProducts::MonthRange(const QDate& day, QDate* first, QDate* last) {
    *first = QDate::fromString(YearMonthText(day) + QStringLiteral("-01"), QStringLiteral("yyyy-MM-dd"));
    *last = first->addMonths(1).addDays(-1);
}

int frmProducts::MonthsBetween(const QDate& from, const QDate& to) {
    return (to.year() * 12 + to.month()) - (from.year() * 12 + from.month());
}

void frmProducts::cmdRefresh_Click() { LoadRecordList(QStringLiteral("Pro")); }

void frmProducts::cmdViewAll_Click() {
    if (MonthsBetween(dateFrom->date(), dateTo->date()) > 1) {
        ShowMessage(QStringLiteral("时间间隔过长！每次只能调取2个月的数据！"), QString(), 0);
        return;
    }
    LoadRecordList(QStringLiteral("Done"));
}

QHash<QString, QString> frmProducts::SubmittedStatusTexts() {
    // Sent-back records carry codes of the central office's own; the
    // submitted list gives their texts (hidden code in column 2, text in 3).
    if (egProc->Rows() <= 1)
        LoadRecordList(QStringLiteral("Pro"));
    QHash<QString, QString> texts;
    for (int r = 1; r < egProc->Rows(); ++r)
        texts.insert(egProc->Cells(r, 2).Text().trimmed(), egProc->Cells(r, 3).Text());
    return texts;
}

void frmProducts::buildStatsTab() {
    tabStats = new frmStats([this] { return SubmittedStatusTexts(); });
    stbInfo->addTab(tabStats, QStringLiteral("统计"));
}

void frmProducts::buildLookupTab() {
    tabLookup = new frmLookup([this] { return SubmittedStatusTexts(); }, [this] { return m_terms; });
    stbInfo->addTab(tabLookup, QStringLiteral("质保卡查询"));
}

void frmProducts::buildRangesTab() {
    tabRanges = new frmRanges;
    stbInfo->addTab(tabRanges, QStringLiteral("卡号段"));
}

void frmProducts::ShowLookup() {
    stbInfo->setCurrentWidget(tabLookup);
    tabLookup->FocusSearch();
}

QStringList frmProducts::SelectedKeys(vt::EditGrid* g) {
    QStringList keys;
    for (int r : g->SelectedRows()) {
        const QString key = g->Cells(r, 1).Text().trimmed();
        if (!key.isEmpty())
            keys << key;
    }
    return keys;
}

void frmProducts::PrintKeys(const QStringList& keys) {
    if (keys.isEmpty()) {
        ShowMessage(QStringLiteral("请先选择要打印的质保卡。"), QString(), 0);
        return;
    }
    QList<WarrantyCard> cards;
    {
        BusyPointer busy;
        cards = FetchCards(gConn->OpId().toString(), keys);
    }
    ShowCardPreview(this, {gConn->OpCom().toString(), cards, m_terms});
}

void frmProducts::cmdPrint_Click() {
    switch (stbInfo->currentIndex()) {
    case 0:
        // The opened record as it is stored: changes not saved yet would
        // not be on the card.
        if (!lbId->text().isEmpty()) {
            if (EntryChanged()) {
                ShowMessage(QStringLiteral("质保卡的修改还没有保存，请先保存再打印。"), QString(), 0);
                return;
            }
            PrintKeys({lbId->text()});
            return;
        }
        PrintKeys(SelectedKeys(egNew));
        return;
    case 1:
        PrintKeys(SelectedKeys(egProc));
        return;
    case 2:
        PrintKeys(SelectedKeys(egOuted));
        return;
    default:
        return;
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
    QWidget* client = centralWidget();
    short minW = 2000, minH = 1000, rows = 2;
    FitToContainer(client, stbInfo, minW, minH, rows);
    const int shown = stbInfo->currentIndex();
    struct Fit {
        int tab;
        QWidget* frame;
        QWidget* grid;
        QWidget* gridContainer;
        short gridRows;
    };
    const Fit fits[] = {{0, frmNew, egNew, frmNew, 0},
                        {1, frmProc, egProc, frmNew, 0},
                        {2, frmOuted, egOuted, frmNew, 0},
                        {3, frmBatch, egBatch, frmBatch, -1}};
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
    LayOutHelp();
}

void frmProducts::LayOutHelp() {
    // Right of the buttons, up to the frame's edge.
    const int left = lblHelp->x();
    const int width = std::max(px(1500), frmNew->width() - left - px(120));
    const QFontMetrics fm(lblHelp->font());
    QStringList out;
    for (const QString& line : m_helpText.split(QLatin1Char('\n'))) {
        QString rest = line;
        while (fm.horizontalAdvance(rest) > width) {
            // The last phrase end that still fits; a phrase longer than the
            // width is left to the label's own wrapping.
            qsizetype cut = -1;
            for (qsizetype i = 0; i < rest.size(); ++i) {
                const QChar c = rest.at(i);
                if ((c == QChar(0xFF0C) || c == QChar(0x3002)) && fm.horizontalAdvance(rest.left(i + 1)) <= width)
                    cut = i + 1;
            }
            if (cut <= 0 || cut >= rest.size())
                break;
            out << rest.left(cut);
            rest = rest.mid(cut);
        }
        out << rest;
    }
    lblHelp->setText(out.join(QLatin1Char('\n')));
    // The filter box beside the buttons ends at the frame's edge too.
    txtFilterNew->setFixedWidth(std::clamp(frmNew->width() - txtFilterNew->x() - px(120), px(1200), px(2700)));
    lblHelp->setGeometry(left, lblHelp->y(), width, std::max(px(1500), (fm.lineSpacing() + 1) * int(out.size())));
}

QList<int> frmProducts::NumberColumns(const vt::EditGrid* g) const {
    if (g == egNew)
        return {4};
    if (g == egProc)
        return {7};
    if (g == egOuted)
        return {6};
    if (g == egBatch)
        return {2};
    return {};
}

QList<int> frmProducts::DateColumns(const vt::EditGrid* g) const {
    if (g == egNew)
        return {10, 13};
    if (g == egProc)
        return {8, 14, 15};
    if (g == egOuted)
        return {2, 3, 12, 15};
    if (g == egBatch)
        return {3, 4};
    return {};
}

void frmProducts::FitNumberAndDateColumns() {
    for (vt::EditGrid* grid : {egNew, egProc, egOuted, egBatch}) {
        const QFontMetrics fm(grid->Font());
        // A cell's text has a margin on either side and a grid line.
        const int pad = px(180);
        const int number = vt::pixelsToTwips(fm.horizontalAdvance(QStringLiteral("W00000000")) + pad);
        const int date = vt::pixelsToTwips(fm.horizontalAdvance(QStringLiteral("0000-00-00")) + pad);
        for (const auto& [cols, least] : {std::pair{NumberColumns(grid), number}, std::pair{DateColumns(grid), date}})
            for (int c : cols)
                if (grid->Col(c).Width() < least)
                    grid->Col(c).setWidth(least);
    }
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
        if (watched == egBatch->focusProxy() && key->matches(QKeySequence::Paste) && egBatch->Rows() == 1) {
            egBatch->NewRecord();
            cmdCheck->setEnabled(true);
        }
    }
    // The tab control lays its pages out after the window's own resize (and
    // only once shown): the frames are fitted again to the pages' real size.
    if (watched == stbInfo->widget(0) && event->type() == QEvent::Resize)
        Form_Resize();
    // A filter box taking the focus readies its list's search texts.
    if (event->type() == QEvent::FocusIn)
        for (const QString& key : ListKeys())
            if (const ListParts l = Parts(key); watched == l.box)
                l.filter->prepare();
    if (watched == txtPinYin && event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !txtPinYin->text().isEmpty())
            FindByPinyin(ucHospital, txtPinYin->text(), ucHospital);
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmProducts::closeEvent(QCloseEvent* event) {
    if (!AskToDropChanges()) {
        event->ignore();
        return;
    }
    event->accept();
    EndProcessNow(0);
}
