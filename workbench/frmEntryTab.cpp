#include "frmEntryTab.h"

#include "EditGrid.h"
#include "clsConn.h"
#include "dbChunkWriter.h"
#include "dbUserInterface.h"
#include "frmRanges.h"
#include "frmRecordList.h"
#include "mduCardChecks.h"
#include "mduCardExtrasData.h"
#include "mduToothPositions.h"
#include "mduCardRanges.h"
#include "mduCarriedMarks.h"
#include "common/vtColor.h"
#include "mduHospital.h"
#include "mduMessage.h"
#include "mduPinyin.h"
#include "mduRecordSql.h"
#include "mduShTools.h"
#include "mduStaleRecord.h"
#include "qvDatePicker.h"
#include "ucInput.h"
#include "vtDateText.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>

using namespace wb;

frmEntryTab::frmEntryTab(const CardChecks& checks, TabLinks links, QWidget* parent)
    : QWidget(parent), m_checks(checks), m_links(std::move(links)) {
    setObjectName(QStringLiteral("tabEntry"));
    m_carried = new CarriedMarks(this);
    buildFields();
    setTabOrderOfFields();
    buildExtras();
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
    // Only digits typed since the last look are looked up again: leaving the
    // box with the number it already had costs no round trip.
    connect(txtPrdNo, &QLineEdit::editingFinished, this, [this] {
        if (txtPrdNo->isModified() && (!m_numberWarnings.isEmpty() || !txtPrdNo->text().isEmpty()))
            ShowNumberWarning(lbId->text());
    });
    connect(txtPinYin, &QLineEdit::textChanged, this, [this](const QString& text) { LoadHospitalNames(ucHospital, text); });
}

void frmEntryTab::Form_Load(const QVariant& products) {
    lbId->setText(QString());
    // Today's date once, at load: New keeps the dates for repeat cards, and
    // a resize never touches an open record's dates.
    txtPdTime->setDate(QDate::currentDate());
    txtOpTime->setDate(QDate::currentDate());
    ucProduct->LoadList(products);
    // The lab's clinics were read with its earlier lots, before this.
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
    EndRemake(); // another patient's card: no remake any more
    m_carried->ClearAll();
    ucProduct->setKey(QString());
    txtPrdNo1->clear();
    for (QLineEdit* box : {txtPLName, txtPFName, txtDLName, txtDFName, txtHospital, txtOpDesp, txtPinYin, txtTeeth})
        box->clear();
    txtMemo->clear();
    cboLot->setEditText(QString());
    cboShade->setEditText(QString());
    cmdNew_Click();
    // Empty fields are nothing to lose.
    RememberEntry();
}

void frmEntryTab::ucProduct_Click() {
    const QString key = vt::vtListTable::textOf(ucProduct->Key());
    txtPrdNo1->setText(CardLetterOf(key));
    OfferLots(key);
    // The next free number of the product's letter, as a hint: none when
    // the ranges could not be read.
    const std::optional<QList<RangeUsage>> usages =
        key.isEmpty() ? std::nullopt : LoadRangeUsagesQuietly(CardLetterOf(key));
    const QString next = usages ? NextFreeNumber(*usages, CardLetterOf(key)) : QString();
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
    EndRemake();
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
    ShowOpenedExtras(cell(1));
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
    if (m_extras) {
        r.lot = cboLot->currentText().trimmed();
        r.teeth = txtTeeth->text().trimmed();
        r.shade = cboShade->currentText().trimmed();
    }
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
    case EntryField::Lot: return cboLot;
    case EntryField::Teeth: return txtTeeth;
    case EntryField::Shade: return cboShade;
    case EntryField::None: break;
    }
    return nullptr;
}

void frmEntryTab::cmdSave_Click() {
    WarrantyRecord record = EntryRecord();
    if (const RuleFailure f = CheckEntry(record, txtPrdNo->text()); f.failed()) {
        ShowMessage(f.message, f.title, short(f.kind));
        if (QWidget* w = EntryWidget(f.field))
            w->setFocus();
        return;
    }
    // The teeth as they are stored.
    record.teeth = ReadToothPositions(record.teeth).normal;
    const QString sql =
        record.key.isEmpty()
            ? EntryInsertStatement(record, gConn->OpId().toString(), gConn->OpNo().toString(), m_extras)
            : EntryUpdateStatement(record, gConn->OpNo().toString(), gConn->OpId().toString(), m_extras);
    // A statement that failed (the connection has shown why) leaves the open
    // record, its card digits and the buttons as they were, so the user can
    // correct and save again without losing the number or inserting twice.
    if (!gConn->CommandRan(gConn->ExeCommand(sql)))
        return;
    // A remake stored: its claim names it from now on.
    if (record.key.isEmpty() && !m_remakeClaim.isEmpty()) {
        const QString claim = m_remakeClaim;
        EndRemake();
        emit RemakeSaved(claim, record.cardNumber);
    }
    if (!record.key.isEmpty() && ChangedElsewhere()) {
        list->LoadRecordList();
        return;
    }
    // A name saved today is offered at once.
    if (SaveHospitalName(txtHospital->text()))
        LoadHospitalNames(ucHospital, txtPinYin->text());
    CloseOpenedRecord();
    if (m_extras) {
        RememberLot(record.productKey, record.lot);
        OfferLots(record.productKey);
        txtTeeth->setText(record.teeth);
    }
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

void frmEntryTab::CloseOpenedRecord() {
    cmdNew->setEnabled(true);
    cmdSave->setEnabled(false);
    cmdSubmit->setEnabled(false);
    cmdDel->setEnabled(false);
    lbId->setText(QString());
    m_openedNumber.clear();
    txtPrdNo->clear();
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
    txtPrdNo->setModified(false);
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
    if (gConn->CommandRan(gConn->ExeCommand(DeleteStatement(lbId->text(), gConn->OpId().toString())))) {
        if (ChangedElsewhere()) {
            list->LoadRecordList();
            return;
        }
        Report(QStringLiteral("已删除 ") + number);
    }
    CloseOpenedRecord();
    // The record is gone: what its fields still show is nothing to lose.
    m_carried->ClearAll();
    ShowNumberWarning(QString());
    RememberEntry();
    list->LoadRecordList();
}

bool frmEntryTab::SubmitRecord(const QString& key) {
    return gConn->CommandRan(gConn->ExeCommand(SubmitStatement(key, gConn->OpId().toString())));
}

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
    if (!SubmitRecord(lbId->text())) {
        // The database refused: another record holds the number by now.
        if (gConn->NumberTaken()) {
            ShowMessage(QStringLiteral("该保质卡号(") + txtPrdNo->text() + QStringLiteral(")已经存在！"), QStringLiteral("无法上报！"), 0);
            txtPrdNo->setFocus();
        }
        return;
    }
    if (ChangedElsewhere()) {
        m_links.list(QStringLiteral("Pro"))->LoadRecordList();
        list->LoadRecordList();
        return;
    }
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
    QString taken, key, number;
    int outOfRange = 0;
    // In chunks, as the batch import stores its rows: a submitted row leaves
    // the list only once its chunk is committed.
    BusyPointer busy; // one for the whole batch, not one per row
    vt::EditGrid* g = list->grid;
    QList<int> rows;
    for (int r = g->Rows() - 1; r >= 1; --r)
        rows << r;
    // Each chunk's cards are tested in one query, and its rows submitted by
    // one statement. A number submitted lower in the list during the run is
    // taken for the rows above it, as the database then holds it.
    const QString opId = gConn->OpId().toString();
    QHash<int, CardChecks::Answer> answers;
    QSet<QString> submitted;
    ChunkWriter::Sets sets;
    sets.rowsPerChunk = CardsPerTest;
    sets.read = [&](const QList<int>& chunk) {
        QList<CardToTest> cards;
        cards.reserve(chunk.size());
        for (const int r : chunk)
            cards << CardToTest{g->Cells(r, 4).Text(), g->Cells(r, 1).Text()};
        const QList<CardChecks::Answer> found = m_checks.TestMany(cards, false);
        answers.clear();
        for (qsizetype k = 0; k < chunk.size(); ++k)
            answers.insert(chunk[k], found[k]);
    };
    sets.step = [&](int r) {
        const QString n = g->Cells(r, 4).Text();
        const CardChecks::Answer a = answers.value(r);
        if (!a.inRange.value_or(false))
            return ChunkWriter::Step::skip();
        if (a.taken.value_or(false) || submitted.contains(n))
            return ChunkWriter::Step::stop();
        submitted.insert(n);
        return ChunkWriter::Step::change(SubmitStatement(g->Cells(r, 1).Text(), opId));
    };
    sets.together = [&](const QList<int>& chunk) {
        QStringList keys;
        keys.reserve(chunk.size());
        for (const int r : chunk)
            keys << g->Cells(r, 1).Text();
        return ChunkWriter::Many{SubmitManyStatement(keys, opId), {}};
    };
    sets.passed = [&](int r, const ChunkWriter::Step& s) {
        const QString n = g->Cells(r, 4).Text();
        if (s.kind == ChunkWriter::Step::Skip) {
            // Shown once the chunk has ended: a box must not keep the lock.
            const QString kept = gConn->ErrInfo();
            gConn->AfterTransaction([n, kept] {
                MessageRequest box;
                box.text = QStringLiteral("该保质卡号(") + n + QStringLiteral(") 不存在。") + QLatin1Char('\r') + kept;
                box.title = QStringLiteral("无法上报！");
                box.icon = MsgIcon::Critical;
                PresentMessage(box);
            });
            g->Cells(r, 4).setSelected(true);
            topFailing = g->Cells(r, 1).Text();
            ++outOfRange;
        } else if (s.kind == ChunkWriter::Step::Stop) {
            taken = n;
        } else {
            key = g->Cells(r, 1).Text();
            number = n;
        }
    };
    // A status change that failed stays listed and ends the run: the
    // connection has shown why, and the rows above are left untouched.
    const ChunkWriter::Result run = ChunkWriter::RunInSets(
        rows, sets, [g](const QList<int>& stored) { g->RemoveRows(stored); }, ChunkWriter::OnFailure::Stop);
    if (run.stopped) {
        ShowMessage(QStringLiteral("该保质卡号(") + taken + QStringLiteral(") 已经存在！"), QStringLiteral("无法上报！"), 0);
        txtPrdNo->setFocus();
    } else if (run.failedRow >= 0) {
        SelectRowOf(g, 1, key, 4);
        // The database refused the number: the run stops as at a taken number.
        if (gConn->NumberTaken()) {
            taken = number;
            ShowMessage(QStringLiteral("该保质卡号(") + number + QStringLiteral(") 已经存在！"), QStringLiteral("无法上报！"), 0);
            txtPrdNo->setFocus();
        }
    } else if (run.unchangedRow >= 0) {
        // Changed elsewhere meanwhile: said once, and the list shown as it is now.
        ChangedElsewhere();
        list->LoadRecordList();
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
    ReportSubmitAll(run.stored.size(), outOfRange, taken, run.failedRow >= 0 && taken.isEmpty(), g->Rows() - 1);
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
