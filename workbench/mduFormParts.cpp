#include "mduFormParts.h"

#include "EditGrid.h"
#include "common/vtTwips.h"
#include "mduHospital.h"
#include "qvDatePicker.h"
#include "ucInput.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>

namespace wb {

int px(int twips) { return vt::twipsToPixels(twips); }

void place(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(px(left), px(top), px(width), px(height));
}

QLabel* label(QWidget* parent, const char* name, const QString& caption, int left, int top, int width) {
    auto* l = new QLabel(caption, parent);
    l->setObjectName(QString::fromLatin1(name));
    place(l, left, top, width, 300);
    return l;
}

QLineEdit* textBox(QWidget* parent, const char* name, int maxLength, int left, int top, int width, const QString& text) {
    auto* t = new QLineEdit(text, parent);
    t->setObjectName(QString::fromLatin1(name));
    if (maxLength > 0)
        t->setMaxLength(maxLength);
    place(t, left, top, width, 330);
    return t;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, int left, int top, int width) {
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

} // namespace wb

void ApplyGridDesign(vt::EditGrid* g) {
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

void FitNumberAndDateColumns(vt::EditGrid* g, const QList<int>& numberColumns, const QList<int>& dateColumns) {
    const QFontMetrics fm(g->Font());
    // A cell's text has a margin on either side and a grid line.
    const int pad = wb::px(180);
    const int number = vt::pixelsToTwips(fm.horizontalAdvance(QStringLiteral("W00000000")) + pad);
    const int date = vt::pixelsToTwips(fm.horizontalAdvance(QStringLiteral("0000-00-00")) + pad);
    for (const auto& [cols, least] : {std::pair{numberColumns, number}, std::pair{dateColumns, date}})
        for (int c : cols)
            if (g->Col(c).Width() < least)
                g->Col(c).setWidth(least);
}

void FitColumnToTexts(vt::EditGrid* g, int col, const QStringList& texts) {
    const QFontMetrics fm(g->Font());
    int widest = 0;
    for (const QString& t : texts)
        widest = std::max(widest, fm.horizontalAdvance(t));
    const int least = vt::pixelsToTwips(widest + wb::px(180));
    if (g->Col(col).Width() < least)
        g->Col(col).setWidth(least);
}

void KeepColumnWidths(vt::EditGrid* g) {
    QObject::connect(g, &vt::EditGrid::ColWidthChanged, g, [g](int col, int width) {
        HospitalStore().setValue(QStringLiteral("ColWidth/%1/%2").arg(g->objectName()).arg(col), width);
    });
}

void RestoreColumnWidths(vt::EditGrid* g) {
    QSettings& store = HospitalStore();
    const QString group = QStringLiteral("ColWidth/") + g->objectName();
    for (int c = 0; c < g->Cols(); ++c) {
        const QVariant w = store.value(group + QLatin1Char('/') + QString::number(c));
        if (w.isValid() && w.toInt() > 0 && g->Col(c).Width() > 0)
            g->Col(c).setWidth(w.toInt());
    }
}

void SelectRowOf(vt::EditGrid* g, int col, const QString& text, int show) {
    for (int r = g->Rows() - 1; r >= 1; --r) {
        if (g->Cells(r, col).Text() == text) {
            g->Cells(r, show < 0 ? col : show).setSelected(true);
            return;
        }
    }
}
