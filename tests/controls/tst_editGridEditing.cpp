// Editing the grid with real key and mouse input on the offscreen platform.
#include "EditGrid.h"
#include "tsControlParts.h"
#include "vtClipText.h"
#include "vtValue.h"
#include "vtDateText.h"
#include "ucList.h"
#include "vgGrid.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

using namespace vt;

namespace {

// A shown grid of four editable text columns and three loaded rows, with the
// events it raised recorded by name.
struct Form {
    QStringList events; // declared first: outlives the window and its grid
    bool cancelValidateError = false;
    bool cancelCellValidate = false;
    QWidget window;
    EditGrid* g;

    Form() {
        g = new EditGrid(&window);
        g->setGeometry(0, 0, 600, 300);
        window.resize(620, 320);
        g->InitColHeaders("", {"a", "b", "c", "d"});
        g->InitColEdit(false, {true, true, true, true});
        vt::ValueArray a(4, 3);
        for (int c = 0; c < 4; ++c)
            for (int r = 0; r < 3; ++r)
                a.set(c, r, QString("r%1c%2").arg(r + 1).arg(c + 1));
        g->LoadData(vt::toVariant(a));
        QObject::connect(g, &EditGrid::CellValidate, [this](clsCell c, bool& cancel) {
            events << QString("CellValidate %1,%2").arg(c.RowIndex()).arg(c.ColIndex());
            cancel = cancelCellValidate;
        });
        QObject::connect(g, &EditGrid::CellModified, [this](clsCell c) {
            events << QString("CellModified %1,%2").arg(c.RowIndex()).arg(c.ColIndex());
        });
        QObject::connect(g, &EditGrid::ValidateError, [this](clsCell c, bool& cancel) {
            events << QString("ValidateError %1,%2").arg(c.RowIndex()).arg(c.ColIndex());
            cancel = cancelValidateError;
        });
        QObject::connect(g, &EditGrid::KeyDown, [this](int code, int&) { events << QString("KeyDown %1").arg(code); });
        QObject::connect(g, &EditGrid::SelectItemClick, [this](const QString& k) { events << "SelectItemClick " + k; });
        QObject::connect(g, &EditGrid::BeforeListDown, [this] { events << "BeforeListDown"; });
        QObject::connect(g, &EditGrid::AfterNewRecord, [this](clsRow r) { events << QString("AfterNewRecord %1").arg(r.Index()); });
        window.show();
        if (!QTest::qWaitForWindowActive(&window))
            qWarning("the window did not become active");
        g->Cells(1, 1).setSelected(true);
        parts::grid(g)->setFocus();
    }
    QString cell(int r, int c) { return g->Cells(r, c).Text(); }
    void type(const QString& keys) { QTest::keyClicks(QApplication::focusWidget(), keys); }
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(QApplication::focusWidget(), k, m); }
    QStringList take() {
        QStringList e = events;
        events.clear();
        return e;
    }
};

QStringList only(const QStringList& events, const QString& prefix) {
    QStringList out;
    for (const QString& e : events)
        if (e.startsWith(prefix))
            out << e;
    return out;
}

} // namespace

class TestEditGridEditing : public QObject {
    Q_OBJECT
private slots:
    void typingThenRightCommitsAndMoves();
    void clickIntoEditorThenRightMovesCaret();
    void escapeRestoresAndRaisesNothing();
    void letterInNumericColumn_data();
    void letterInNumericColumn();
    void datesWithAndWithoutLeadingZeros_data();
    void datesWithAndWithoutLeadingZeros();
    void backspaceClearsAtOnce();
    void nonEditableColumnDropsKeys();
    void doubleClickStartsEditWithCaretAtEnd();
    void zeroHeightRowRaisesNothing();
    void enterMoves_data();
    void enterMoves();
    void listArrowsThenClickVersusEnter();
    void listClickModifiesRow();
    void listOpensAboveOrBelow();
    void beforeListDownFillsTheList();
    void listEscapeAndSelectButton();
    void copyBlock();
    void clearBlock();
    void pasteIntoSecondLastColumn();
    void pasteTwoLinesFromLastRow();
    void pasteWithoutAllowPaste();
    void pasteNumericColumnAndLfLines();
    void checkBoxColumnToggles();
    void clipText_data();
    void clipText();
    void copyThenPasteRoundTrips();
    void pasteSkipsDeletedRowsAndReadOnlyColumns();
    void keysWithX11Text_data();
    void keysWithX11Text();
    void hostChangesTheKey();
    void refusedValueKeepsTheCell();
    void popupFocusDoesNotCommit();
    void datePatterns_data();
    void datePatterns();
    void clickOnHighlightedListItem();
    void failuresInHandlingRaiseError();
};

void TestEditGridEditing::typingThenRightCommitsAndMoves() {
    Form f;
    f.type("5");
    QVERIFY(parts::editor(f.g)->isVisible());
    QCOMPARE(parts::editor(f.g)->text(), QString("5"));
    QCOMPARE(f.cell(1, 1), QString("5")); // written at once
    QCOMPARE(f.g->Row(1).DataState(), int(rsModify));
    f.type("7");
    f.key(Qt::Key_Right);
    QTRY_COMPARE(parts::grid(f.g)->Col(), 2);
    QVERIFY(!parts::editor(f.g)->isVisible());
    QCOMPARE(f.cell(1, 1), QString("57"));
    QCOMPARE(only(f.take(), "Cell"), QStringList({"CellValidate 1,1", "CellModified 1,1"}));
}

void TestEditGridEditing::clickIntoEditorThenRightMovesCaret() {
    Form f;
    f.type("5");
    f.type("6");
    QTest::mouseClick(parts::editor(f.g), Qt::LeftButton, {}, QPoint(2, 5));
    const int caret = parts::editor(f.g)->cursorPosition();
    QTest::keyClick(parts::editor(f.g), Qt::Key_Left);
    QCoreApplication::processEvents();
    QVERIFY(parts::editor(f.g)->isVisible());
    QCOMPARE(parts::grid(f.g)->Col(), 1);
    QCOMPARE(parts::editor(f.g)->cursorPosition(), std::max(0, caret - 1));
}

void TestEditGridEditing::escapeRestoresAndRaisesNothing() {
    Form f;
    f.type("xyz");
    QCOMPARE(f.cell(1, 1), QString("xyz"));
    f.key(Qt::Key_Escape);
    QCOMPARE(f.cell(1, 1), QString("r1c1"));
    QVERIFY(!parts::editor(f.g)->isVisible());
    QVERIFY(only(f.take(), "Cell").isEmpty());
}

void TestEditGridEditing::letterInNumericColumn_data() {
    QTest::addColumn<bool>("cancel");
    QTest::newRow("without cancel") << false;
    QTest::newRow("with cancel") << true;
}

void TestEditGridEditing::letterInNumericColumn() {
    QFETCH(bool, cancel);
    Form f;
    f.g->Col(2).setValidate(dvNumeric);
    f.g->Cells(1, 2).setSelected(true);
    f.cancelValidateError = cancel;
    f.type("a");
    f.key(Qt::Key_Return);
    if (!cancel) {
        QCOMPARE(f.cell(1, 2), QString("0"));
        QCOMPARE(only(f.take(), "C").mid(0, 2), QStringList({"CellValidate 1,2", "CellModified 1,2"}));
        QVERIFY(!parts::editor(f.g)->isVisible());
    } else {
        QVERIFY(parts::editor(f.g)->isVisible()); // editing goes on
        QCOMPARE(f.cell(1, 2), QString("a"));
        QVERIFY(only(f.events, "Cell").isEmpty());
        QCOMPARE(parts::grid(f.g)->Col(), 2);
    }
}

void TestEditGridEditing::datesWithAndWithoutLeadingZeros_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("error");
    QTest::newRow("no leading zeros") << "2013-9-1" << "" << true;
    QTest::newRow("leading zeros") << "2013-09-01" << "2013-09-01" << false;
    QTest::newRow("no such day") << "2013-02-30" << "" << true;
}

void TestEditGridEditing::datesWithAndWithoutLeadingZeros() {
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QFETCH(bool, error);
    Form f;
    f.g->Col(3).setValidate(dvDate);
    f.g->Cells(2, 3).setSelected(true);
    f.type(typed);
    f.key(Qt::Key_Return);
    QCOMPARE(f.cell(2, 3), stored);
    QCOMPARE(!only(f.take(), "ValidateError").isEmpty(), error);
}

void TestEditGridEditing::backspaceClearsAtOnce() {
    Form f;
    f.key(Qt::Key_Backspace);
    QCOMPARE(f.cell(1, 1), QString());
    QVERIFY(parts::editor(f.g)->isVisible());
    QCOMPARE(f.g->Row(1).DataState(), int(rsNormal)); // until something is typed
    f.type("q");
    QCOMPARE(f.g->Row(1).DataState(), int(rsModify));
}

void TestEditGridEditing::nonEditableColumnDropsKeys() {
    Form f;
    f.g->Col(4).setCanEdit(false);
    f.g->Cells(1, 4).setSelected(true);
    int presses = 0;
    QObject::connect(f.g, &EditGrid::KeyPress, [&presses](int&) { ++presses; });
    f.type("ab");
    f.key(Qt::Key_Backspace);
    QVERIFY(!parts::editor(f.g)->isVisible());
    QCOMPARE(f.cell(1, 4), QString("r1c4"));
    QCOMPARE(presses, 0);
    f.key(Qt::Key_Delete);
    QVERIFY(only(f.take(), "KeyDown 46").isEmpty());
}

void TestEditGridEditing::doubleClickStartsEditWithCaretAtEnd() {
    Form f;
    QStringList dbl;
    QObject::connect(f.g, &EditGrid::DblClick, [&dbl] { dbl << "DblClick"; });
    QObject::connect(f.g, &EditGrid::RowDblClick, [&dbl](int r) { dbl << QString("RowDblClick %1").arg(r); });
    const QRect r = parts::grid(f.g)->visualRect(parts::grid(f.g)->model()->index(1, 1));
    QTest::mouseClick(parts::grid(f.g)->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(parts::grid(f.g)->viewport(), Qt::LeftButton, {}, r.center());
    QVERIFY(parts::editor(f.g)->isVisible());
    QCOMPARE(parts::editor(f.g)->text(), QString("r2c2"));
    QCOMPARE(parts::editor(f.g)->cursorPosition(), 4);
    QCOMPARE(dbl, QStringList({"DblClick", "RowDblClick 2"}));
    // Caret mode 2: Left moves within the text.
    QTest::keyClick(parts::editor(f.g), Qt::Key_Left);
    QCoreApplication::processEvents();
    QVERIFY(parts::editor(f.g)->isVisible());
    // The editor lies over the cell.
    const QPoint cellTopLeft = parts::grid(f.g)->viewport()->mapTo(f.g, r.topLeft());
    QVERIFY(qAbs(parts::editor(f.g)->x() - cellTopLeft.x()) <= 1);
    QVERIFY(qAbs(parts::editor(f.g)->y() - cellTopLeft.y()) <= 1);
}

void TestEditGridEditing::zeroHeightRowRaisesNothing() {
    Form f;
    f.g->Cells(2, 1).setSelected(true);
    f.g->Row(2).setHeight(0);
    QStringList seen;
    QObject::connect(f.g, &EditGrid::DblClick, [&seen] { seen << "DblClick"; });
    QObject::connect(f.g, &EditGrid::KeyPress, [&seen](int&) { seen << "KeyPress"; });
    QMetaObject::invokeMethod(parts::grid(f.g), "DblClick");
    f.type("x");
    QVERIFY(seen.isEmpty());
    QVERIFY(!parts::editor(f.g)->isVisible());
}

void TestEditGridEditing::enterMoves_data() {
    QTest::addColumn<int>("move");
    QTest::addColumn<int>("fromRow");
    QTest::addColumn<int>("fromCol");
    QTest::addColumn<int>("toRow");
    QTest::addColumn<int>("toCol");
    QTest::newRow("no move") << int(fmtNoMove) << 1 << 1 << 1 << 1;
    QTest::newRow("hor next") << int(fmtHorNext) << 1 << 2 << 1 << 3;
    QTest::newRow("hor next wraps") << int(fmtHorNext) << 1 << 4 << 2 << 1;
    QTest::newRow("hor next at the last cell") << int(fmtHorNext) << 3 << 4 << 3 << 4;
    QTest::newRow("hor next edit skips") << int(fmtHorNextEdit) << 1 << 1 << 1 << 3;
    QTest::newRow("ver next") << int(fmtVerNext) << 1 << 2 << 2 << 2;
    QTest::newRow("ver next at the last row") << int(fmtVerNext) << 3 << 2 << 1 << 3;
}

void TestEditGridEditing::enterMoves() {
    QFETCH(int, move);
    QFETCH(int, fromRow);
    QFETCH(int, fromCol);
    QFETCH(int, toRow);
    QFETCH(int, toCol);
    Form f;
    f.g->Col(2).setCanEdit(false);
    f.g->setOnEnterKeyMove(move);
    f.g->Cells(fromRow, fromCol).setSelected(true);
    f.key(Qt::Key_Return);
    QCOMPARE(parts::grid(f.g)->Row(), toRow);
    QCOMPARE(parts::grid(f.g)->Col(), toCol);
}

static void giveListColumn(Form& f, int col) {
    f.g->Col(col).setCanEdit(false);
    f.g->Col(col).setCanSelect(true);
    vt::ValueArray items(2, 3);
    for (int i = 0; i < 3; ++i) {
        items.set(0, i, QString("K%1").arg(i));
        items.set(1, i, QString("项目%1").arg(i));
    }
    f.g->Col(col).LoadListItems(vt::toVariant(items));
}

void TestEditGridEditing::listArrowsThenClickVersusEnter() {
    Form f;
    giveListColumn(f, 2);
    f.g->Cells(1, 2).setSelected(true);
    f.key(Qt::Key_Return); // opens the list
    ucList* l = parts::list(f.g, 2);
    QVERIFY(l->isVisible());
    QCOMPARE(f.take(), QStringList({"KeyDown 13", "BeforeListDown"}));
    QTest::keyClick(parts::dcSelectOf(l), Qt::Key_Down);
    QTest::keyClick(parts::dcSelectOf(l), Qt::Key_Down);
    QCOMPARE(f.cell(1, 2), QString("r1c2")); // the arrows' clicks took nothing
    QTest::keyClick(parts::dcSelectOf(l), Qt::Key_Return);
    QVERIFY(!l->isVisible());
    QCOMPARE(f.cell(1, 2), QString("项目1"));
    QCOMPARE(f.take(), QStringList({"SelectItemClick K1", "CellModified 1,2"}));
    QCOMPARE(f.g->Row(1).DataState(), int(rsNormal)); // Enter leaves the row state
}

void TestEditGridEditing::listClickModifiesRow() {
    Form f;
    giveListColumn(f, 2);
    f.g->Cells(2, 2).setSelected(true);
    f.key(Qt::Key_Return);
    ucList* l = parts::list(f.g, 2);
    QVERIFY(l->isVisible());
    const QRect item = parts::dcSelectOf(l)->visualItemRect(parts::dcSelectOf(l)->item(2));
    QTest::mouseClick(parts::dcSelectOf(l)->viewport(), Qt::LeftButton, {}, item.center());
    QVERIFY(!l->isVisible());
    QCOMPARE(f.cell(2, 2), QString("项目2"));
    QCOMPARE(f.g->Row(2).DataState(), int(rsModify));
    QVERIFY(f.events.contains("SelectItemClick K2"));
    QVERIFY(f.events.contains("CellModified 2,2"));
}

void TestEditGridEditing::listOpensAboveOrBelow() {
    Form f;
    giveListColumn(f, 2);
    f.g->setListBoxHeight(600); // 40 px
    f.g->Cells(1, 2).setSelected(true);
    f.key(Qt::Key_Return);
    ucList* l = parts::list(f.g, 2);
    const int cellTop = parts::grid(f.g)->CellTop() / 15;
    QVERIFY(l->y() >= cellTop); // no room above the first row: below it
    f.key(Qt::Key_Escape);
    // A lower row with room above it.
    for (int i = 0; i < 6; ++i)
        f.g->NewRecord();
    f.g->Cells(8, 2).setSelected(true);
    parts::grid(f.g)->setFocus();
    f.key(Qt::Key_Return);
    QVERIFY(l->isVisible());
    QVERIFY(l->y() + l->height() <= parts::grid(f.g)->CellTop() / 15 + 2);
}

void TestEditGridEditing::beforeListDownFillsTheList() {
    Form f;
    f.g->Col(3).setCanEdit(false);
    f.g->Col(3).setCanSelect(true);
    QObject::connect(f.g, &EditGrid::BeforeListDown, [&f] {
        f.g->Col(3).AddListItem(QString("row%1").arg(parts::grid(f.g)->Row()), {"当前行"});
    });
    f.g->Cells(2, 3).setSelected(true);
    f.key(Qt::Key_Return);
    QCOMPARE(parts::list(f.g, 3)->ListCount(), 1);
    QTest::keyClick(parts::dcSelectOf(parts::list(f.g, 3)), Qt::Key_Down);
    QTest::keyClick(parts::dcSelectOf(parts::list(f.g, 3)), Qt::Key_Return);
    QCOMPARE(f.cell(2, 3), QString("当前行"));
}

void TestEditGridEditing::listEscapeAndSelectButton() {
    Form f;
    giveListColumn(f, 2);
    f.g->Cells(1, 1).setSelected(true);
    QVERIFY(!parts::selectButton(f.g)->isVisible());
    f.g->Cells(1, 2).setSelected(true);
    QVERIFY(parts::selectButton(f.g)->isVisible()); // at the cell's right end
    QCOMPARE(parts::selectButton(f.g)->text(), QString("..."));
    QTest::mouseClick(parts::selectButton(f.g), Qt::LeftButton);
    ucList* l = parts::list(f.g, 2);
    QVERIFY(l->isVisible());
    QTest::keyClick(parts::dcSelectOf(l), Qt::Key_Down);
    QTest::keyClick(parts::dcSelectOf(l), Qt::Key_Escape);
    QVERIFY(!l->isVisible());
    QCOMPARE(f.cell(1, 2), QString("r1c2"));
}

void TestEditGridEditing::copyBlock() {
    Form f;
    f.g->Cells(1, 1).setSelected(true);
    parts::grid(f.g)->setRowSel(2);
    parts::grid(f.g)->setColSel(2);
    f.key(Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QString("r1c1\tr1c2\r\nr2c1\tr2c2\r\n"));
    f.g->Cells(3, 4).setSelected(true);
    f.key(Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QString("r3c4"));
}

void TestEditGridEditing::clearBlock() {
    Form f;
    f.g->Col(2).setValidate(dvNumeric);
    f.g->Col(3).setCanEdit(false);
    int cleared = 0;
    QObject::connect(f.g, &EditGrid::CellClear, [&cleared] { ++cleared; });
    f.g->Cells(1, 1).setSelected(true);
    parts::grid(f.g)->setColSel(3);
    f.key(Qt::Key_Delete);
    QCOMPARE(f.cell(1, 1), QString());
    QCOMPARE(f.cell(1, 2), QString("0"));
    QCOMPARE(f.cell(1, 3), QString("r1c3"));
    QCOMPARE(cleared, 2);
    QCOMPARE(f.g->Row(1).DataState(), int(rsModify));
}

void TestEditGridEditing::pasteIntoSecondLastColumn() {
    Form f;
    QApplication::clipboard()->setText("x\ty\tz");
    f.g->Cells(2, 3).setSelected(true);
    f.key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.cell(2, 3), QString("x"));
    QCOMPARE(f.cell(2, 4), QString("y"));
    QCOMPARE(f.g->Rows(), 4);
    QCOMPARE(only(f.take(), "CellValidate"), QStringList({"CellValidate 2,3", "CellValidate 2,4"}));
    QCOMPARE(f.g->Row(2).DataState(), int(rsModify));
}

void TestEditGridEditing::pasteTwoLinesFromLastRow() {
    Form f;
    QApplication::clipboard()->setText("a1\ta2\r\nb1\tb2");
    f.g->Cells(3, 1).setSelected(true);
    f.key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.g->Rows(), 5);
    QCOMPARE(f.cell(3, 1), QString("a1"));
    QCOMPARE(f.cell(3, 2), QString("a2"));
    QCOMPARE(f.cell(4, 1), QString("b1"));
    QCOMPARE(f.cell(4, 2), QString("b2")); // the text's end ends the last value
    QCOMPARE(f.g->Row(4).DataState(), int(rsNew));
    QVERIFY(f.events.contains("AfterNewRecord 4"));
}

void TestEditGridEditing::pasteWithoutAllowPaste() {
    Form f;
    f.g->setAllowPaste(false);
    QApplication::clipboard()->setText("zz");
    f.key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.cell(1, 1), QString("r1c1"));
    // Pressing Ctrl raises its own KeyDown (17); the V raises none.
    QVERIFY(only(f.take(), "KeyDown 86").isEmpty());
    f.g->setAllowPaste(true);
    f.key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.cell(1, 1), QString("zz"));
    QCOMPARE(only(f.take(), "KeyDown 86"), QStringList{"KeyDown 86"});
}

void TestEditGridEditing::pasteNumericColumnAndLfLines() {
    Form f;
    f.g->Col(2).setValidate(dvNumeric);
    QApplication::clipboard()->setText("p\tq\nr\t12.5\n");
    f.g->Cells(1, 1).setSelected(true);
    f.key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.cell(1, 1), QString("p"));
    QCOMPARE(f.cell(1, 2), QString("0"));
    QCOMPARE(f.cell(2, 1), QString("r"));
    QCOMPARE(f.cell(2, 2), QString("12.5"));
    QCOMPARE(f.g->Rows(), 4);
}

void TestEditGridEditing::checkBoxColumnToggles() {
    Form f;
    f.g->setAutoCheckMark("√");
    f.g->Cells(2, 1).setSelected(true);
    auto* header = parts::grid(f.g)->verticalHeader();
    const QPoint inRow2(header->width() / 2, header->sectionViewportPosition(1) + header->sectionSize(1) / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, inRow2);
    QVERIFY(f.g->Row(2).Checked());
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, inRow2);
    QVERIFY(!f.g->Row(2).Checked());
    // A click on a data cell does not toggle.
    const QRect cell = parts::grid(f.g)->visualRect(parts::grid(f.g)->model()->index(1, 2));
    QTest::mouseClick(parts::grid(f.g)->viewport(), Qt::LeftButton, {}, cell.center());
    QVERIFY(!f.g->Row(2).Checked());
}

void TestEditGridEditing::clipText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<QStringList>>("lines");
    using L = QList<QStringList>;
    QTest::newRow("last line without end") << "a\tb\r\nc\td" << L{{"a", "b"}, {"c", "d"}};
    QTest::newRow("CR LF") << "a\tb\r\nc\td\r\n" << L{{"a", "b"}, {"c", "d"}};
    QTest::newRow("LF") << "a\tb\nc\td\n" << L{{"a", "b"}, {"c", "d"}};
    QTest::newRow("CR alone") << "a\tb\rc\td\r" << L{{"a", "b"}, {"c", "d"}};
    QTest::newRow("trailing tab") << "a\tb\t\r\nc\t" << L{{"a", "b"}, {"c"}};
    QTest::newRow("empty values inside") << "\tb\t\td" << L{{"", "b", "", "d"}};
    QTest::newRow("quoted tab") << "\"x\ty\"\tz" << L{{"x\ty", "z"}};
    QTest::newRow("quoted line break") << "\"one\r\ntwo\"\tz\r\nnext" << L{{"one\r\ntwo", "z"}, {"next"}};
    QTest::newRow("doubled quote") << "\"say \"\"hi\"\"\"\t5\" screw" << L{{"say \"hi\"", "5\" screw"}};
    QTest::newRow("unclosed quote is text") << "\"open\tb" << L{{"\"open", "b"}};
    QTest::newRow("ragged") << "a\r\nb\tc\td\r\n\r\ne" << L{{"a"}, {"b", "c", "d"}, {}, {"e"}};
    QTest::newRow("empty quoted last value") << "a\t\"\"" << L{{"a", ""}};
}

void TestEditGridEditing::clipText() {
    QFETCH(QString, text);
    QFETCH(QList<QStringList>, lines);
    QCOMPARE(ParseClipText(text), lines);
    // What is written reads back the same.
    QCOMPARE(ParseClipText(FormatClipText(lines)), lines);
}

void TestEditGridEditing::copyThenPasteRoundTrips() {
    Form f;
    const QStringList odd{"tab\there", "line\r\nbreak", "\"quoted\" start", "", "cr\ronly", "lf\nonly", "end\t", "中文 \"引号\""};
    for (int i = 0; i < odd.size(); i += 2) {
        f.g->Cells(1, 1).setText(odd[i]);
        f.g->Cells(1, 2).setText(odd[i + 1]);
        f.g->Cells(2, 1).setText(odd[(i + 3) % odd.size()]);
        f.g->Cells(2, 2).setText(odd[(i + 4) % odd.size()]);
        f.g->Cells(1, 1).setSelected(true);
        parts::grid(f.g)->setRowSel(2);
        parts::grid(f.g)->setColSel(2);
        f.key(Qt::Key_C, Qt::ControlModifier);
        f.g->Cells(1, 3).setSelected(true);
        f.key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.cell(1, 3), odd[i]);
        QCOMPARE(f.cell(1, 4), odd[i + 1]);
        QCOMPARE(f.cell(2, 3), odd[(i + 3) % odd.size()]);
        QCOMPARE(f.cell(2, 4), odd[(i + 4) % odd.size()]);
        QCOMPARE(f.g->Rows(), 4);
    }
    // One cell alone.
    f.g->Cells(1, 1).setText("a\tb");
    f.g->Cells(1, 1).setSelected(true);
    f.key(Qt::Key_C, Qt::ControlModifier);
    f.g->Cells(3, 4).setSelected(true);
    f.key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.cell(3, 4), QString("a\tb"));
}

void TestEditGridEditing::pasteSkipsDeletedRowsAndReadOnlyColumns() {
    Form f;
    f.g->DeleteRecord(2); // hidden until saved
    f.g->Col(2).setCanEdit(false);
    QApplication::clipboard()->setText("x1\tx2\tx3\ny1\ty2\ty3\tspill\nz1");
    f.g->Cells(1, 1).setSelected(true);
    f.key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.cell(1, 1), QString("x1"));
    QCOMPARE(f.cell(1, 2), QString("r1c2")); // read-only
    QCOMPARE(f.cell(1, 3), QString("x3"));
    QCOMPARE(f.cell(2, 1), QString("r2c1")); // the deleted row is passed over
    QCOMPARE(f.cell(3, 1), QString("y1"));
    QCOMPARE(f.cell(3, 3), QString("y3"));
    QCOMPARE(f.cell(3, 4), QString("spill"));
    QCOMPARE(f.g->Rows(), 5);
    QCOMPARE(f.cell(4, 1), QString("z1"));
    QCOMPARE(f.g->Row(2).DataState(), int(rsDelete));
}

void TestEditGridEditing::keysWithX11Text_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::newRow("Delete") << int(Qt::Key_Delete) << "\x7f";
    QTest::newRow("Escape") << int(Qt::Key_Escape) << "\x1b";
    QTest::newRow("Tab") << int(Qt::Key_Tab) << "\t";
    QTest::newRow("Ctrl+A") << int(Qt::Key_A) << "\x01";
}

// Keys as X11 delivers them, with their control characters as text: none
// of them types into a cell or opens the editor.
void TestEditGridEditing::keysWithX11Text() {
    QFETCH(int, key);
    QFETCH(QString, text);
    Form f;
    f.g->Cells(1, 2).setSelected(true);
    const Qt::KeyboardModifiers mods = key == Qt::Key_A ? Qt::ControlModifier : Qt::NoModifier;
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(QApplication::focusWidget(), &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(QApplication::focusWidget(), &release);
    QVERIFY(!parts::editor(f.g)->isVisible());
    QCOMPARE(f.cell(1, 2), key == Qt::Key_Delete ? QString() : QString("r1c2"));
    QVERIFY(!f.cell(1, 2).contains(QChar(0x7f)));
}

void TestEditGridEditing::hostChangesTheKey() {
    Form f;
    QObject::connect(f.g, &EditGrid::KeyPress, [](int& a) {
        if (a >= 'a' && a <= 'z')
            a -= 32; // capitals
        else if (a == '#')
            a = 0; // dropped
    });
    f.type("ab#c");
    QCOMPARE(parts::editor(f.g)->text(), QString("ABC"));
}

void TestEditGridEditing::refusedValueKeepsTheCell() {
    Form f;
    f.g->Col(2).setValidate(dvNumeric);
    f.cancelValidateError = true;
    f.g->Cells(1, 2).setSelected(true);
    f.type("x");
    for (Qt::Key k : {Qt::Key_Down, Qt::Key_Right, Qt::Key_Return}) {
        f.key(k);
        QCoreApplication::processEvents();
        QCOMPARE(parts::grid(f.g)->Row(), 1);
        QCOMPARE(parts::grid(f.g)->Col(), 2);
        QVERIFY(parts::editor(f.g)->isVisible());
    }
    QVERIFY(f.take().contains("ValidateError 1,2"));
}

void TestEditGridEditing::popupFocusDoesNotCommit() {
    Form f;
    f.type("typed");
    QVERIFY(parts::editor(f.g)->isVisible());
    QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(parts::editor(f.g), &popup);
    QFocusEvent other(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(parts::editor(f.g), &other);
    QVERIFY(parts::editor(f.g)->isVisible());
    QVERIFY(only(f.take(), "CellValidate").isEmpty());
    QFocusEvent tab(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(parts::editor(f.g), &tab);
    QVERIFY(!parts::editor(f.g)->isVisible());
    QCOMPARE(f.cell(1, 1), QString("typed"));
}

void TestEditGridEditing::datePatterns_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("good");
    QTest::addColumn<QString>("bad");
    QTest::newRow("YYYY-MM-DD") << "YYYY-MM-DD" << "2013-09-01" << "2013-9-1";
    QTest::newRow("YY-MM-DD") << "YY-MM-DD" << "13-09-01" << "2013-09-01";
    QTest::newRow("DD/MM/YYYY") << "DD/MM/YYYY" << "28/02/2024" << "30/02/2024";
    QTest::newRow("YYYY年M月D日") << "YYYY年M月D日" << "2024年2月29日" << "2023年2月29日";
    QTest::newRow("month YYYY-MM") << "YYYY-MM" << "2013-09" << "2013-13";
    QTest::newRow("month MM/YY") << "MM/YY" << "09/13" << "9/13";
    QTest::newRow("year YYYY") << "YYYY" << "2013" << "13";
    QTest::newRow("year YY") << "YY" << "13" << "2013";
}

void TestEditGridEditing::datePatterns() {
    QFETCH(QString, pattern);
    QFETCH(QString, good);
    QFETCH(QString, bad);
    QVERIFY(EditGrid::FitsFormat(good, pattern));
    QVERIFY(!EditGrid::FitsFormat(bad, pattern));
    // The column keeps a correct value on commit.
    Form f;
    f.g->Col(2).setValidate(pattern.contains('D') ? dvDate : pattern.contains('M') ? dvMonth : dvYear);
    if (pattern.contains('D'))
        f.g->Col(2).setDateFormat(pattern);
    else if (pattern.contains('M'))
        f.g->Col(2).setMonthFormat(pattern);
    else
        f.g->Col(2).setYearFormat(pattern);
    f.g->Cells(1, 2).setSelected(true);
    for (const QChar c : good) {
        QKeyEvent press(QEvent::KeyPress, c.isDigit() ? Qt::Key_0 + (c.unicode() - '0') : Qt::Key_unknown,
                        Qt::NoModifier, QString(c));
        QApplication::sendEvent(QApplication::focusWidget(), &press);
    }
    f.key(Qt::Key_Return);
    QCOMPARE(f.cell(1, 2), good);
    // The general recognizer is not widened by the columns' patterns.
    QVERIFY(!vt::recognizeDate(QString("13-09-01")).isValid());
}

void TestEditGridEditing::clickOnHighlightedListItem() {
    Form f;
    giveListColumn(f, 2);
    f.g->Cells(1, 2).setSelected(true);
    f.key(Qt::Key_Return);
    ucList* l = parts::list(f.g, 2);
    QTest::keyClick(parts::dcSelectOf(l), Qt::Key_Down);
    QTest::keyClick(parts::dcSelectOf(l), Qt::Key_Down);
    const int highlighted = l->ListIndex();
    QVERIFY(highlighted >= 0);
    const QRect item = parts::dcSelectOf(l)->visualItemRect(parts::dcSelectOf(l)->item(highlighted));
    QTest::mouseClick(parts::dcSelectOf(l)->viewport(), Qt::LeftButton, {}, item.center());
    QVERIFY(!l->isVisible());
    QCOMPARE(f.cell(1, 2), parts::dcSelectOf(l)->item(highlighted)->text());
    QCOMPARE(f.g->Row(1).DataState(), int(rsModify));
}

// A failure inside the grid's event handling (here in a handler of the
// host's) is raised as the Error event; no exception leaves through the
// toolkit, and the grid goes on.
void TestEditGridEditing::failuresInHandlingRaiseError() {
    Form f;
    QList<QPair<int, QString>> errors;
    QObject::connect(f.g, &EditGrid::Error, [&errors](int n, const QString& d) { errors.append({n, d}); });
    bool fail = true;
    QObject::connect(f.g, &EditGrid::KeyPress, [&fail](int&) {
        if (fail)
            throw vt::Error(5004, "加载失败");
    });
    QObject::connect(f.g, &EditGrid::AfterNewRecord, [](clsRow) { throw std::runtime_error("no room"); });
    f.type("x");
    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors.first(), qMakePair(5004, QString("加载失败")));
    parts::addRowItem(f.g)->trigger();
    QCOMPARE(errors.size(), 2);
    QCOMPARE(errors.last().first, 51);
    QVERIFY(errors.last().second.contains("no room"));
    fail = false;
    f.g->Cells(1, 3).setSelected(true);
    f.type("y");
    QCOMPARE(parts::editor(f.g)->text(), QString("y"));
}

QTEST_MAIN(TestEditGridEditing)
#include "tst_editGridEditing.moc"
