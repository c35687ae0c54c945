#include "mduShTools.h"

#include "EditGrid.h"
#include "common/vtColor.h"
#include "vtDateText.h"
#include "common/vtTwips.h"
#include "mduPaths.h"
#include "qvVersion.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTextEdit>

namespace {

void setBackColor(QWidget* w, long color) {
    const QColor c = vt::fromColorValue(color);
    QPalette p = w->palette();
    p.setColor(QPalette::Window, c);
    p.setColor(QPalette::Base, c);
    p.setColor(QPalette::Button, c);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

void setTextColor(QWidget* w, long color) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, vt::fromColorValue(color));
    w->setPalette(p);
}

// Library controls and composite toolkit widgets are styled as one control;
// what they hold inside is theirs.
bool isComposite(const QWidget* w) {
    // The library's classes live in its namespace, which their meta-object
    // names carry.
    return w->inherits("vt::EditGrid") || w->inherits("vt::ucInput") || w->inherits("vt::ucList") ||
           w->inherits("vt::ucCheckList") || qobject_cast<const QAbstractSpinBox*>(w) ||
           qobject_cast<const QComboBox*>(w) || qobject_cast<const QLineEdit*>(w) ||
           qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QTextEdit*>(w);
}

void styleControl(QWidget* w) {
    const QString type = ControlTypeName(w);
    const QString name = w->objectName();
    if (type == QLatin1String("TextBox") || type == QLatin1String("CommandButton") ||
        type == QLatin1String("Frame") || type == QLatin1String("CheckBox") ||
        type == QLatin1String("OptionButton") || type == QLatin1String("SSTab")) {
        setBackColor(w, HouseBackColor);
    } else if (type == QLatin1String("Label")) {
        if (name.startsWith(QLatin1String("lbl")))
            setTextColor(w, PlainTextColor);
        else if (name.startsWith(QLatin1String("lbt")))
            setTextColor(w, EmphasisColor);
        setBackColor(w, HouseBackColor);
        if (name == QLatin1String("lblsystem") || name == QLatin1String("lblSystem")) {
            auto* label = static_cast<QLabel*>(w);
            label->setText(ProductName());
            label->setAlignment(Qt::AlignCenter);
            setTextColor(w, EmphasisColor);
        }
    } else if (type == QLatin1String("ucInput")) {
        QFont f = w->font();
        f.setPointSize(10);
        w->setFont(f);
    } else if (type == QLatin1String("EditGrid")) {
        w->setProperty("BackColorBkg", QVariant::fromValue(HouseBackColor));
        w->setProperty("BackColorFixed", QVariant::fromValue(HouseFixedColor));
    } else if (type == QLatin1String("Image") && name == QLatin1String("imgLogo")) {
        auto* image = static_cast<QLabel*>(w);
        image->setPixmap(QPixmap(ProgramFolder() + QStringLiteral("/icon/Logo.gif")));
        image->setScaledContents(true);
        image->setGeometry(vt::twipsToPixels(102), vt::twipsToPixels(120),
                           vt::twipsToPixels(1370), vt::twipsToPixels(700));
    }
}

void styleChildren(QWidget* parent) {
    for (QObject* o : parent->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (!w || w->isWindow())
            continue;
        if (!w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_")))
            styleControl(w);
        if (!isComposite(w))
            styleChildren(w);
    }
}

} // namespace

QString ProductName() { return QStringLiteral(QV_PRODUCT_NAME); }

QString ControlTypeName(const QObject* c) {
    if (!c)
        return {};
    if (c->inherits("vt::EditGrid"))
        return QStringLiteral("EditGrid");
    if (c->inherits("vt::ucInput"))
        return QStringLiteral("ucInput");
    if (qobject_cast<const QLineEdit*>(c) || qobject_cast<const QPlainTextEdit*>(c) ||
        qobject_cast<const QTextEdit*>(c))
        return QStringLiteral("TextBox");
    if (qobject_cast<const QPushButton*>(c))
        return QStringLiteral("CommandButton");
    if (qobject_cast<const QGroupBox*>(c))
        return QStringLiteral("Frame");
    if (qobject_cast<const QCheckBox*>(c))
        return QStringLiteral("CheckBox");
    if (qobject_cast<const QRadioButton*>(c))
        return QStringLiteral("OptionButton");
    if (qobject_cast<const QTabWidget*>(c))
        return QStringLiteral("SSTab");
    if (qobject_cast<const QLabel*>(c))
        return c->objectName().startsWith(QLatin1String("img")) ? QStringLiteral("Image")
                                                                : QStringLiteral("Label");
    return {};
}

void StyleForm(QWidget* form) {
    if (!form)
        return;
    setBackColor(form, HouseBackColor);
    form->setWindowTitle(form->windowTitle() + QStringLiteral("    ") + ProductName());
    styleChildren(form);
}

QString YearMonthText(const QVariant& value) { return vt::yearMonthText(vt::recognizeDate(value)); }

void EnterToTab(short& keyAscii) {
    if (keyAscii != 13)
        return;
    if (QWidget* w = QApplication::focusWidget())
        QCoreApplication::postEvent(w, new QKeyEvent(QEvent::KeyPress, Qt::Key_Tab,
                                                     Qt::NoModifier, QStringLiteral("\t")));
}

void SelectAllText(QWidget* control) {
    if (!control)
        return;
    control->setFocus(Qt::OtherFocusReason);
    if (auto* e = qobject_cast<QLineEdit*>(control))
        e->setSelection(0, static_cast<int>(e->text().size()));
    else if (auto* s = qobject_cast<QAbstractSpinBox*>(control))
        s->selectAll();
    else if (auto* p = qobject_cast<QPlainTextEdit*>(control))
        p->selectAll();
    else if (auto* t = qobject_cast<QTextEdit*>(control))
        t->selectAll();
}

void FitToContainer(QWidget* container, QWidget* control, short& minWidth, short& minHeight,
                    short& rows) {
    if (!container || !control)
        return;
    if (minWidth < 0)
        minWidth = 0;
    if (minHeight < 0)
        minHeight = 0;
    const int containerW = vt::pixelsToTwips(container->width());
    const int containerH = vt::pixelsToTwips(container->height());
    const int left = vt::pixelsToTwips(control->x());
    const int top = vt::pixelsToTwips(control->y());

    int height = 0;
    if (containerH - top < minHeight)
        height = minHeight;
    else
        height = containerH - top - 400 - rows * 300;
    int width = 0;
    if (containerW - left < minWidth)
        width = minWidth;
    else
        width = containerW - left - 200;
    control->resize(std::max(0, vt::twipsToPixels(width)), std::max(0, vt::twipsToPixels(height)));
}

void RemoveAllRows(vt::EditGrid* grid) {
    if (!grid)
        return;
    for (int i = grid->Rows() - 1; i >= 1; --i)
        grid->Row(i).Remove();
}
