// The entry tab's fields: built and placed, in their keyboard order, and
// the help lines laid out beside the buttons.
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
#include "mduStaleRecord.h"
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
