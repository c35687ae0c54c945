#include "frmEntryTab.h"

#include "EditGrid.h"
#include "clsConn.h"
#include "dbChunkWriter.h"
#include "dbUserInterface.h"
#include "frmRanges.h"
#include "frmRecordList.h"
#include "mduCardChecks.h"
#include "mduCardRanges.h"
#include "mduCarriedMarks.h"
#include "common/vtColor.h"
#include "mduHospital.h"
#include "mduMessage.h"
#include "mduPinyin.h"
#include "mduRecordSql.h"
#include "mduShTools.h"
#include "qvDatePicker.h"
#include "ucInput.h"
#include "vtDateText.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace wb;

frmEntryTab::frmEntryTab(const CardChecks& checks, TabLinks links, QWidget* parent)
    : QWidget(parent), m_checks(checks), m_links(std::move(links)) {
    setObjectName(QStringLiteral("tabEntry"));
    m_carried = new CarriedMarks(this);
    buildFields();
    setTabOrderOfFields();
    connect(cmdNew, &QPushButton::clicked, this, &frmEntryTab::cmdNew_Click);
    connect(ucProduct, &vt::ucInput::Click, this, &frmEntryTab::ucProduct_Click);
    connect(list->grid, &vt::EditGrid::RowDblClick, this, &frmEntryTab::egNew_RowDblClick);
    connect(cmdSave, &QPushButton::clicked, this, &frmEntryTab::cmdSave_Click);
    connect(cmdDel, &QPushButton::clicked, this, &frmEntryTab::cmdDel_Click);
    connect(cmdSubmit, &QPushButton::clicked, this, &frmEntryTab::cmdSubmit_Click);
    connect(cmdSubmitAll, &QPushButton::clicked, this, &frmEntryTab::cmdSubmitAll_Click);
    list->SetPrintChoice([this] { return KeysToPrint(); });
    connect(ucHospital, &vt::ucInput::Click, this, [this] { txtHospital->setText(ucHospital->Text()); });
    txtPinYin->installEventFilter(this);
    // The remembered names narrow down as initials are typed; Enter steps
    // through those that remain.
    // Marks in the pending list stand as long as their causes do.
    connect(list, &frmRecordList::Filled, this, &frmEntryTab::MarkListWarnings);
    // Digits typed anew: the box's mark follows the number it now holds.
    connect(txtPrdNo, &QLineEdit::editingFinished, this, [this] {
        if (!m_numberWarnings.isEmpty() || !txtPrdNo->text().isEmpty())
            ShowNumberWarning(lbId->text());
    });
    connect(txtPinYin, &QLineEdit::textChanged, this, [this](const QString& text) { LoadHospitalNames(ucHospital, text); });
}

void frmEntryTab::buildFields() {
    frmNew = frame(this, "frmNew");
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
    list = new frmRecordList(QStringLiteral("New"), QStringLiteral("New"), Caption(), f,
                             {{10700, 2550}, {12000, 2550}, 12000, 2100, 2700, 120, 3200, 13500, 3500}, m_links);
    // Keys go from print to the filter box, then to export.
    setTabOrder(list->txtFilter, list->cmdExport);
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
    list->grid->raise(); // the list lies above the help text where they meet
}

void frmEntryTab::setTabOrderOfFields() {
    // The pickers take part through the half that receives their focus (the
    // hospital picker shows only its list); the toolkit does not place a
    // widget whose focus goes to a child reliably in the chain.
    // From the treatment date straight to the hospital box; the pinyin box
    // and the names' list follow it, for a name to be looked up.
    QWidget* order[] = {ucProduct, txtPrdNo,    txtPLName, txtPFName,  txtDLName, txtDFName, txtPdTime,
                        txtOpTime, txtHospital, txtPinYin, ucHospital, txtOpDesp, txtMemo,   cmdSave};
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

void frmEntryTab::Form_Load() {
    lbId->setText(QString());
    // Today's date once, at load: New keeps the dates for repeat cards, and
    // a resize never touches an open record's dates.
    txtPdTime->setDate(QDate::currentDate());
    txtOpTime->setDate(QDate::currentDate());
    QVariantList p{QStringLiteral("PrdNo"), gConn->OpId(), QString(), QString(), QString(), QString()};
    ucProduct->LoadList(gConn->GetSP(QStringLiteral("upvProducts"), p));
    LoadLabHospitals(gConn->OpId());
    LoadHospitalNames(ucHospital);
    RememberEntry();
}

bool frmEntryTab::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtPinYin && event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !txtPinYin->text().isEmpty())
            FindByPinyin(ucHospital, txtPinYin->text(), ucHospital);
    }
    return QWidget::eventFilter(watched, event);
}

void frmEntryTab::LayOutHelp() {
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
    QLineEdit* box = list->txtFilter;
    box->setFixedWidth(std::clamp(frmNew->width() - box->x() - px(120), px(1200), px(2700)));
    lblHelp->setGeometry(left, lblHelp->y(), width, std::max(px(1500), (fm.lineSpacing() + 1) * int(out.size())));
}

std::optional<QStringList> frmEntryTab::KeysToPrint() const {
    // The opened record as it is stored: changes not saved yet would not
    // be on the card.
    if (lbId->text().isEmpty())
        return list->SelectedKeys();
    if (EntryChanged()) {
        ShowMessage(QStringLiteral("质保卡的修改还没有保存，请先保存再打印。"), QString(), 0);
        return std::nullopt;
    }
    return QStringList{lbId->text()};
}

void frmEntryTab::cmdNew_Click() {
    txtPrdNo->clear();
    lbId->setText(QString());
    m_openedNumber.clear();
    ForgetOpenedRecord(true);
    MarkCarriedFields();
    ShowNumberWarning(QString());
    cmdSave->setEnabled(true);
    cmdSubmit->setEnabled(false);
    cmdDel->setEnabled(false);
    // The product's code is selected: typing the next card's code replaces it.
    SelectAllText(ucProduct->focusProxy() ? ucProduct->focusProxy() : ucProduct);
}

void frmEntryTab::MarkCarriedFields() {
    // The fields that still hold the last card's values, not those typed since.
    const std::pair<QWidget*, QString> fields[] = {
        {txtPLName, m_savedEntry.patientSurname}, {txtPFName, m_savedEntry.patientGivenName},
        {txtDLName, m_savedEntry.doctorSurname},  {txtDFName, m_savedEntry.doctorGivenName},
        {txtHospital, m_savedEntry.hospital},     {txtOpDesp, m_savedEntry.description},
        {txtMemo, m_savedEntry.remark}};
    QList<QWidget*> carried;
    for (const auto& [w, saved] : fields) {
        const QString now = w == txtMemo ? txtMemo->toPlainText() : static_cast<QLineEdit*>(w)->text();
        if (now == saved)
            carried << w;
    }
    m_carried->Mark(carried);
}

bool frmEntryTab::IsCarried(QWidget* field) const { return m_carried->IsMarked(field); }

void frmEntryTab::cmdNewEmpty_Click() {
    if (!cmdNew->isEnabled() || !AskToDropChanges())
        return;
    m_carried->ClearAll();
    ucProduct->setKey(QString());
    txtPrdNo1->clear();
    for (QLineEdit* box : {txtPLName, txtPFName, txtDLName, txtDFName, txtHospital, txtOpDesp, txtPinYin})
        box->clear();
    txtMemo->clear();
    cmdNew_Click();
    // Empty fields are nothing to lose.
    RememberEntry();
}

void frmEntryTab::ucProduct_Click() {
    const QString key = vt::vtListTable::textOf(ucProduct->Key());
    txtPrdNo1->setText(CardLetterOf(key));
    // The next free number of the product's letter, as a hint.
    const QString next = key.isEmpty() ? QString() : NextFreeNumber(LoadRangeUsages(CardLetterOf(key)), CardLetterOf(key));
    txtPrdNo->setPlaceholderText(next.mid(1));
    m_nextFreeHint = next.isEmpty() ? QString() : QStringLiteral("下一个可用卡号：") + next;
    // The number in the box is another one now: its warnings as they stand.
    if (const QStringList warnings = ShowNumberWarning(lbId->text()); !warnings.isEmpty())
        Report(QStringLiteral("注意：") + warnings.join(QStringLiteral("；")), true);
    // A product code typed whole moves on to the card's digits at once.
    QWidget* codeBox = ucProduct->focusProxy();
    if (!key.isEmpty() && codeBox && codeBox->hasFocus() && qobject_cast<QLineEdit*>(codeBox) &&
        static_cast<QLineEdit*>(codeBox)->text().compare(key, Qt::CaseInsensitive) == 0)
        SelectAllText(txtPrdNo);
}

bool frmEntryTab::EntryChanged() const {
    return !(EntryRecord() == m_savedEntry) || txtPrdNo->text() != m_savedDigits;
}

void frmEntryTab::RememberEntry() {
    m_savedEntry = EntryRecord();
    m_savedDigits = txtPrdNo->text();
}

void frmEntryTab::ForgetOpenedRecord(bool digitsEmptied) {
    // What was typed in the other fields stays unsaved or saved as it was.
    m_savedEntry.key = lbId->text();
    if (digitsEmptied) {
        m_savedEntry.cardNumber.chop(m_savedDigits.size());
        m_savedDigits.clear();
    }
}

bool frmEntryTab::AskToDropChanges(bool nameTheCard) {
    if (!EntryChanged())
        return true;
    QString text = QStringLiteral("输入的内容尚未保存，确定要放弃吗？");
    if (nameTheCard)
        text = UnsavedCardName() + QStringLiteral("：") + text;
    return ShowMessage(text, QStringLiteral("系统提示"), 2) == MsgYes;
}

QString frmEntryTab::UnsavedCardName() const {
    const QString digits = txtPrdNo->text().trimmed();
    QString name = digits.isEmpty() ? QStringLiteral("未填卡号的质保卡") : QStringLiteral("质保卡 ") + txtPrdNo1->text() + digits;
    const QString patient = (txtPLName->text() + txtPFName->text()).trimmed();
    if (!patient.isEmpty())
        name += QStringLiteral("（") + patient + QStringLiteral("）");
    return name;
}

void frmEntryTab::egNew_RowDblClick(int r) {
    if (r < 1 || r >= list->grid->Rows())
        return;
    // A half-typed card is not thrown away without a question.
    if (!AskToDropChanges())
        return;
    auto cell = [this, r](int c) { return list->grid->Cells(r, c).Text(); };
    lbId->setText(cell(1));
    ucProduct->setKey(cell(2));
    // A row without a card number leaves both parts of the number empty.
    const QString number = cell(4);
    const CardNumberParts parts = SplitCardNumber(number);
    txtPrdNo1->setText(parts.letter);
    txtPrdNo->setText(parts.digits);
    txtPLName->setText(cell(5));
    txtPFName->setText(cell(6));
    txtDLName->setText(cell(7));
    txtDFName->setText(cell(8));
    txtHospital->setText(cell(9));
    // A stored date that is empty or unreadable shows as missing, never as
    // the previous record's date, and Save asks for it.
    const auto showDate = [](qvDatePicker* picker, const QString& text) {
        const QDate d = vt::recognizeDate(text);
        if (d.isValid())
            picker->setDate(d);
        else
            picker->setMissing();
    };
    showDate(txtOpTime, cell(10));
    txtOpDesp->setText(cell(11));
    txtMemo->setPlainText(cell(12));
    showDate(txtPdTime, cell(13));
    m_openedNumber = number;
    m_carried->ClearAll();
    // What the submission of this record would meet, as the database is now.
    if (const QStringList warnings = ShowNumberWarning(cell(1)); !warnings.isEmpty())
        Report(QStringLiteral("注意：") + warnings.join(QStringLiteral("；")), true);
    cmdNew->setEnabled(false);
    cmdSubmit->setEnabled(true);
    cmdSave->setEnabled(true);
    cmdDel->setEnabled(true);
    RememberEntry();
}

WarrantyRecord frmEntryTab::EntryRecord() const {
    WarrantyRecord r;
    r.key = lbId->text();
    r.productKey = vt::vtListTable::textOf(ucProduct->Key());
    r.cardNumber = txtPrdNo1->text() + txtPrdNo->text();
    r.patientSurname = txtPLName->text();
    r.patientGivenName = txtPFName->text();
    r.doctorSurname = txtDLName->text();
    r.doctorGivenName = txtDFName->text();
    r.hospital = txtHospital->text();
    r.treatmentDate = txtOpTime->isMissing() ? QDate() : txtOpTime->date();
    r.productionDate = txtPdTime->isMissing() ? QDate() : txtPdTime->date();
    r.description = txtOpDesp->text();
    r.remark = txtMemo->toPlainText();
    return r;
}

QWidget* frmEntryTab::EntryWidget(EntryField field) const {
    switch (field) {
    case EntryField::Product: return ucProduct;
    case EntryField::CardDigits: return txtPrdNo;
    case EntryField::PatientSurname: return txtPLName;
    case EntryField::PatientGivenName: return txtPFName;
    case EntryField::DoctorSurname: return txtDLName;
    case EntryField::DoctorGivenName: return txtDFName;
    case EntryField::Hospital: return txtHospital;
    case EntryField::ProductionDate: return txtPdTime;
    case EntryField::TreatmentDate: return txtOpTime;
    case EntryField::Description: return txtOpDesp;
    case EntryField::Remark: return txtMemo;
    case EntryField::None: break;
    }
    return nullptr;
}

void frmEntryTab::cmdSave_Click() {
    const WarrantyRecord record = EntryRecord();
    if (const RuleFailure f = CheckEntry(record, txtPrdNo->text()); f.failed()) {
        ShowMessage(f.message, f.title, short(f.kind));
        if (QWidget* w = EntryWidget(f.field))
            w->setFocus();
        return;
    }
    const QString sql = record.key.isEmpty()
                            ? EntryInsertStatement(record, gConn->OpId().toString(), gConn->OpNo().toString())
                            : EntryUpdateStatement(record, gConn->OpNo().toString());
    // A statement that failed (the connection has shown why) leaves the open
    // record, its card digits and the buttons as they were, so the user can
    // correct and save again without losing the number or inserting twice.
    if (!gConn->CommandRan(gConn->ExeCommand(sql)))
        return;
    // A name saved today is offered at once.
    if (SaveHospitalName(txtHospital->text()))
        LoadHospitalNames(ucHospital, txtPinYin->text());
    cmdNew->setEnabled(true);
    cmdSave->setEnabled(false);
    cmdSubmit->setEnabled(false);
    cmdDel->setEnabled(false);
    lbId->setText(QString());
    m_openedNumber.clear();
    txtPrdNo->clear();
    m_carried->ClearAll(); // the card saved with them: confirmed
    list->LoadRecordList();
    RememberEntry();
    SelectRowOf(list->grid, 4, record.cardNumber);
    ShowNumberWarning(QString());
    // Problems the submission would meet, and dates hardly true, shown now
    // without stopping anything.
    QStringList warnings = m_checks.EarlyWarnings(record.cardNumber, record.key);
    if (!warnings.isEmpty()) {
        m_warnedNumbers.insert(record.cardNumber);
        MarkNumber(record.cardNumber);
    }
    for (const RuleFailure& w : DateWarnings(record.productionDate, record.treatmentDate, QDate::currentDate()))
        warnings << w.message;
    if (warnings.isEmpty())
        Report(QStringLiteral("已保存 ") + record.cardNumber);
    else
        Report(QStringLiteral("已保存 ") + record.cardNumber + QStringLiteral("；注意：") + warnings.join(QStringLiteral("；")),
               true);
}

void frmEntryTab::MarkNumber(const QString& number) {
    for (int r = 1; r < list->grid->Rows(); ++r)
        if (list->grid->Cells(r, 4).Text() == number)
            list->grid->Cells(r, 4).setBackColor(WarningColor);
}

void frmEntryTab::MarkListWarnings() {
    // Numbers warned of before: marked again while their cause stands, as
    // the database and the list are now.
    const QSet<QString> warned = m_warnedNumbers;
    for (const QString& number : warned) {
        bool listed = false;
        for (int r = 1; r < list->grid->Rows() && !listed; ++r)
            listed = list->grid->Cells(r, 4).Text() == number;
        if (listed && !m_checks.EarlyWarnings(number, QString()).isEmpty())
            MarkNumber(number);
        else
            m_warnedNumbers.remove(number);
    }
    // Dates hardly true, from the rows themselves.
    const QDate today = QDate::currentDate();
    for (int r = 1; r < list->grid->Rows(); ++r) {
        const QDate production = vt::recognizeDate(list->grid->Cells(r, 13).Text());
        const QDate treatment = vt::recognizeDate(list->grid->Cells(r, 10).Text());
        for (const RuleFailure& w : DateWarnings(production, treatment, today))
            list->grid->Cells(r, w.column == BatchProductionDate ? 13 : 10).setBackColor(WarningColor);
    }
}

QStringList frmEntryTab::ShowNumberWarning(const QString& key) {
    const QString digits = txtPrdNo->text().trimmed();
    const QString number = txtPrdNo1->text() + digits;
    const QStringList warnings = digits.isEmpty() ? QStringList() : m_checks.EarlyWarnings(number, key);
    if (m_numberWarnings.isEmpty())
        m_prdNoPalette = txtPrdNo->palette();
    QPalette p = m_prdNoPalette;
    if (!warnings.isEmpty()) {
        p.setColor(QPalette::Base, vt::fromColorValue(WarningColor));
        m_warnedNumbers.insert(number);
    }
    txtPrdNo->setPalette(p);
    m_numberWarnings = warnings;
    ShowNumberTip();
    return warnings;
}

void frmEntryTab::ShowNumberTip() {
    QStringList tip = m_numberWarnings;
    if (!m_nextFreeHint.isEmpty())
        tip << m_nextFreeHint;
    txtPrdNo->setToolTip(tip.join(QLatin1Char('\n')));
}

void frmEntryTab::cmdDel_Click() {
    if (lbId->text().isEmpty())
        return;
    if (ShowMessage(QStringLiteral("你确认要删除吗？"), QStringLiteral("系统确认"), 2) != MsgYes)
        return;
    const QString number = txtPrdNo1->text() + txtPrdNo->text();
    if (gConn->CommandRan(gConn->ExeCommand(DeleteStatement(lbId->text()))))
        Report(QStringLiteral("已删除 ") + number);
    cmdNew->setEnabled(true);
    cmdSave->setEnabled(false);
    cmdSubmit->setEnabled(false);
    cmdDel->setEnabled(false);
    lbId->setText(QString());
    m_openedNumber.clear();
    txtPrdNo->clear();
    // The record is gone: what its fields still show is nothing to lose.
    m_carried->ClearAll();
    ShowNumberWarning(QString());
    RememberEntry();
    list->LoadRecordList();
}

bool frmEntryTab::SubmitRecord(const QString& key) { return gConn->CommandRan(gConn->ExeCommand(SubmitStatement(key))); }

void frmEntryTab::cmdSubmit_Click() {
    if (lbId->text().isEmpty()) {
        ShowMessage(QStringLiteral("请双击选择你要上报的信息！"), QString(), 0);
        return;
    }
    const QString n = txtPrdNo1->text() + txtPrdNo->text();
    // The number tested must be the number submitted: digits typed since
    // the record was opened are stored by Save first.
    if (n != m_openedNumber) {
        ShowMessage(QStringLiteral("质保卡号已修改，请先保存再上报！"), QStringLiteral("无法上报！"), 0);
        txtPrdNo->setFocus();
        return;
    }
    if (!m_checks.InRange(n)) {
        ShowMessage(QStringLiteral("该保质卡号不存在，不可用。 "), QStringLiteral("无法上报！"), 0);
        txtPrdNo->setFocus();
        return;
    }
    if (m_checks.Taken(n, lbId->text())) {
        ShowMessage(QStringLiteral("该保质卡号(") + txtPrdNo->text() + QStringLiteral(")已经存在！"), QStringLiteral("无法上报！"), 0);
        txtPrdNo->setFocus();
        return;
    }
    // A status change that failed (the connection has shown why) leaves the
    // record open and listed, as it is in the database.
    if (!SubmitRecord(lbId->text()))
        return;
    for (int r = 1; r < list->grid->Rows(); ++r) {
        if (list->grid->Cells(r, 1).Text() == lbId->text()) {
            list->grid->Row(r).Remove();
            break;
        }
    }
    lbId->setText(QString());
    m_openedNumber.clear();
    cmdSave->setEnabled(false);
    cmdSubmit->setEnabled(false);
    cmdNew->setEnabled(true); // the next card can be entered at once
    m_links.list(QStringLiteral("Pro"))->LoadRecordList();
    list->LoadRecordList();
    // Fields changed since the record was opened were not submitted.
    ForgetOpenedRecord(false);
    Report(QStringLiteral("已上报 ") + n);
}

void frmEntryTab::cmdSubmitAll_Click() {
    // Submit-all handles the rows shown; when the filter hides some, the
    // question says how many will go.
    if (list->Filter().active() && !list->Filter().hasSource())
        list->LoadRecordList();
    QString question = QStringLiteral("你确定要全部上报吗？");
    const int shown = list->grid->Rows() - 1;
    if (list->Filter().active() && shown < list->Filter().total())
        question += QStringLiteral("\n已按“%1”筛选：将上报显示的 %2 张质保卡，其余 %3 张不上报。")
                        .arg(list->txtFilter->text().trimmed())
                        .arg(shown)
                        .arg(list->Filter().total() - shown);
    if (ShowMessage(question, QStringLiteral("系统提示"), 2) != MsgYes)
        return;
    // The key of the topmost row whose number failed the range test: its
    // card-number cell is made current again once the run is over, since
    // removing rows below it moves the current cell.
    QString topFailing;
    QString taken, key;
    int outOfRange = 0;
    // In chunks, as the batch import stores its rows: a submitted row leaves
    // the list only once its chunk is committed.
    BusyPointer busy; // one for the whole batch, not one per row
    vt::EditGrid* g = list->grid;
    QList<int> rows;
    for (int r = g->Rows() - 1; r >= 1; --r)
        rows << r;
    const auto step = [&](int r) {
        const QString n = g->Cells(r, 4).Text();
        if (!m_checks.InRange(n)) {
            ShowMessage(QStringLiteral("该保质卡号(") + n + QStringLiteral(") 不存在。"), QStringLiteral("无法上报！"), 1);
            g->Cells(r, 4).setSelected(true);
            topFailing = g->Cells(r, 1).Text();
            ++outOfRange;
            return ChunkWriter::Step::skip();
        }
        key = g->Cells(r, 1).Text();
        if (m_checks.Taken(n, key)) {
            taken = n;
            return ChunkWriter::Step::stop();
        }
        return ChunkWriter::Step::store(SubmitStatement(key));
    };
    // A status change that failed stays listed and ends the run: the
    // connection has shown why, and the rows above are left untouched.
    const ChunkWriter::Result run = ChunkWriter::Run(
        rows, step, [g](const QList<int>& stored) { g->RemoveRows(stored); }, ChunkWriter::OnFailure::Stop);
    if (run.stopped) {
        ShowMessage(QStringLiteral("该保质卡号(") + taken + QStringLiteral(") 已经存在！"), QStringLiteral("无法上报！"), 0);
        txtPrdNo->setFocus();
    } else if (run.failedRow >= 0) {
        SelectRowOf(g, 1, key, 4);
    } else if (!topFailing.isEmpty()) {
        SelectRowOf(g, 1, topFailing, 4);
    }
    // However the run ended, no record stays open and the next card can be
    // entered; the status line says what was left and why.
    lbId->setText(QString());
    m_openedNumber.clear();
    cmdSave->setEnabled(false);
    cmdSubmit->setEnabled(false);
    cmdNew->setEnabled(true);
    ForgetOpenedRecord(false);
    ReportSubmitAll(run.stored.size(), outOfRange, run.stopped ? taken : QString(), run.failedRow >= 0,
                    g->Rows() - 1);
}

void frmEntryTab::ReportSubmitAll(qsizetype stored, int outOfRange, const QString& taken, bool failed, int left) {
    QString text = QStringLiteral("已上报 %1 张").arg(stored);
    if (left <= 0) {
        Report(text);
        return;
    }
    QStringList why;
    if (outOfRange > 0)
        why << QStringLiteral("%1 张卡号不在范围内").arg(outOfRange);
    if (!taken.isEmpty())
        why << QStringLiteral("卡号 %1 已经存在，上报停在该行").arg(taken);
    if (failed)
        why << QStringLiteral("状态更改失败，上报停在该行");
    text += QStringLiteral("，留下 %1 张待提交").arg(left);
    if (!why.isEmpty())
        text += QStringLiteral("：") + why.join(QStringLiteral("；"));
    Report(text, true);
}
