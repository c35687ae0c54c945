#include "ucInput.h"

#include "common/vtColor.h"
#include "vtError.h"
#include "common/vtKeys.h"
#include "common/vtTwips.h"

#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>

namespace vt {

namespace {
constexpr int LineWidth = 15;  // twips
constexpr int MinLayoutWidth = 105;
int tw(int px) { return pixelsToTwips(px); }
int px(int twips) { return twipsToPixels(twips); }
} // namespace

ucInput::ucInput(QWidget* parent)
    : QWidget(parent), txtKey(new QLineEdit(this)), dcSelect(new QComboBox(this)), imgLine(new QFrame(this)) {
    setObjectName(QStringLiteral("ucInput"));
    txtKey->setObjectName(QStringLiteral("txtKey"));
    dcSelect->setObjectName(QStringLiteral("dcSelect"));
    imgLine->setObjectName(QStringLiteral("imgLine"));
    imgLine->setFrameShape(QFrame::NoFrame);
    dcSelect->setEditable(false);
    txtKey->installEventFilter(this);
    dcSelect->installEventFilter(this);
    connect(txtKey, &QLineEdit::textChanged, this, [this](const QString& text) { setKey(text); });
    connect(dcSelect, &QComboBox::currentIndexChanged, this, [this] { onListChanged(); });
    resize(px(3000), dcSelect->sizeHint().height());
    imgLine->setGeometry(0, 0, px(LineWidth), height());
    setFocusProxy(txtKey);
}

void ucInput::LoadList(const QVariant& RowData, int BoundField, int ListField, const QString& DefKey,
                       int ValueField, const QString& DefValue) {
    m_table.rowData = RowData;
    m_table.boundField = BoundField;
    m_table.listField = ListField;
    m_defKey = DefKey;
    m_valueField = ValueField;
    m_defValue = DefValue;
    Refresh();
}

QVariant ucInput::Key() const {
    const int i = ListIndex();
    return i < 0 ? QVariant(QString()) : m_table.element(m_table.boundField, i);
}

void ucInput::selectRow(int row) {
    dcSelect->setCurrentIndex(row >= 0 && row < dcSelect->count() ? row : -1);
}

void ucInput::setKey(const QVariant& key) { selectRow(vtListTable::lookup(m_keys, key)); }

void ucInput::setValue(const QVariant& value) { selectRow(vtListTable::lookup(m_values, value)); }

QVariant ucInput::Value() const {
    const int i = ListIndex();
    return i < 0 ? QVariant(QString()) : m_table.element(m_valueField, i);
}

QString ucInput::Text() const { return ListIndex() < 0 ? QString() : dcSelect->currentText(); }

void ucInput::Reset() { txtKey->setText(QString()); }

bool ucInput::Enabled() const { return dcSelect->isEnabled(); }

void ucInput::setEnabledState(bool on) {
    dcSelect->setEnabled(on);
    txtKey->setEnabled(on);
    setEnabled(on);
}

QVariant ucInput::DataInfo(int ColIndex) const {
    const int i = ListIndex();
    return i < 0 ? QVariant(QString()) : m_table.element(ColIndex, i);
}

void ucInput::setDataInfo(int ColIndex, const QVariant& value) { m_table.setElement(ColIndex, ListIndex(), value); }

void ucInput::Refresh() {
    {
        // Filling the list is no choice of the user's: no Click for it.
        const QSignalBlocker block(dcSelect);
        dcSelect->clear();
        m_lastIndex = -1;
        if (!isArray(m_table.rowData))
            return;
        const ValueArray data = toArray(m_table.rowData);
        if (data.cols() - 1 < m_table.listField || data.cols() - 1 < m_table.boundField)
            return;
        QHash<QString, int> values;
        m_keys = vtListTable::buildIndex(
            data, m_table.boundField,
            [&](int r) { dcSelect->addItem(vtListTable::textOf(data.at(m_table.listField, r))); }, &values,
            m_valueField);
        m_values = std::move(values);
        dcSelect->setCurrentIndex(-1);
    }
    if (!m_defKey.isEmpty() && dcSelect->count() > 0)
        setKey(m_defKey);
    else if (!m_defValue.isEmpty())
        setValue(m_defValue);
}

void ucInput::AddListItem(const QVariant& FirstColVal, const QVariantList& PA) {
    m_table.addRow(FirstColVal, PA);
    Refresh();
}

void ucInput::onListChanged() {
    // Typing a code that matches nothing keeps the choice at none: that is
    // no change, and no Click.
    const int index = ListIndex();
    if (index == m_lastIndex)
        return;
    m_lastIndex = index;
    const QString key = vtListTable::textOf(Key());
    if (!key.isEmpty() && txtKey->text() != key) {
        const QSignalBlocker block(txtKey);
        txtKey->setText(key);
        if (m_keyFocused)
            txtKey->setCursorPosition(static_cast<int>(key.size()));
    }
    emit Click();
}

QFont ucInput::Font() const { return dcSelect->font(); }

void ucInput::setInputFont(const QFont& font) {
    dcSelect->setFont(font);
    txtKey->setFont(font);
    if (m_showType == Horiz)
        layoutHoriz();
    else
        layoutVerti(false);
}

void ucInput::setProportion(int value) {
    if (value == m_proportion)
        return;
    if (value < prop0 || value > prop10)
        throw Error(380, QStringLiteral("无效的属性值"));
    m_proportion = value;
    if (m_showType == Horiz)
        split();
}

void ucInput::setShowType(int value) {
    if (value == m_showType)
        return;
    m_showType = value;
    if (value == Verti)
        layoutVerti(true);
    else
        layoutHoriz();
}

int ucInput::ListCount() const { return dcSelect->count(); }
QVariant ucInput::ListKey(int Index) const {
    return Index >= 0 && Index < dcSelect->count() ? m_table.element(m_table.boundField, Index) : QVariant(QString());
}
QString ucInput::ListText(int Index) const { return Index >= 0 && Index < dcSelect->count() ? dcSelect->itemText(Index) : QString(); }
int ucInput::ListIndex() const { return dcSelect->currentIndex(); }

void ucInput::setListIndex(int index) {
    const int i = static_cast<short>(index);
    if (i < -1 || i >= dcSelect->count())
        throw Error(380, QStringLiteral("无效的属性值"));
    dcSelect->setCurrentIndex(i);
}

short ucInput::MaxLength() const {
    const int m = txtKey->maxLength();
    return m >= 32767 ? 0 : static_cast<short>(m);
}

void ucInput::setMaxLength(short length) { txtKey->setMaxLength(length <= 0 ? 32767 : length); }

long ucInput::BackColor() const { return toColorValue(dcSelect->palette().color(QPalette::Button)); }

void ucInput::setBackColor(long color) {
    QPalette p = dcSelect->palette();
    p.setColor(QPalette::Button, fromColorValue(color));
    p.setColor(QPalette::Base, fromColorValue(color));
    dcSelect->setPalette(p);
}

void ucInput::InitProperties() {
    setEnabledState(true);
    setProportion(prop5);
    m_table.boundField = 0;
    m_table.listField = 0;
    setShowType(Horiz);
}

void ucInput::ReadProperties(const PropertyBag& bag) {
    setEnabledState(bag.value(QStringLiteral("Enabled"), true).toBool());
    if (bag.contains(QStringLiteral("Font")))
        setInputFont(bag.value(QStringLiteral("Font")).value<QFont>());
    setMaxLength(static_cast<short>(bag.value(QStringLiteral("MaxLength"), 0).toInt()));
    setShowType(bag.value(QStringLiteral("ShowType"), 0).toInt());
    setProportion(bag.value(QStringLiteral("Proportion"), 5).toInt());
    if (bag.contains(QStringLiteral("BackColor")))
        setBackColor(bag.value(QStringLiteral("BackColor")).toLongLong());
}

void ucInput::WriteProperties(PropertyBag& bag) const {
    bag.insert(QStringLiteral("Enabled"), Enabled());
    bag.insert(QStringLiteral("Font"), Font());
    bag.insert(QStringLiteral("MaxLength"), static_cast<int>(MaxLength()));
    bag.insert(QStringLiteral("ShowType"), m_showType);
    bag.insert(QStringLiteral("Proportion"), m_proportion);
    bag.insert(QStringLiteral("BackColor"), static_cast<qlonglong>(BackColor()));
}

void ucInput::layoutHoriz() {
    m_layingOut = true;
    resize(width(), dcSelect->sizeHint().height());
    txtKey->setGeometry(0, 0, txtKey->width(), height());
    m_layingOut = false;
    split();
}

void ucInput::split() {
    const int inner = tw(width());
    if (inner < LineWidth)
        return;
    int left = 0;
    if (m_proportion == prop0)
        left = 0;
    else if (m_proportion == prop10)
        left = inner;
    else
        left = (inner - LineWidth) / 10 * m_proportion;
    imgLine->setGeometry(px(left), 0, px(LineWidth), height());
    txtKey->setGeometry(0, 0, px(left), height());
    txtKey->setVisible(left != 0);
    dcSelect->setGeometry(px(left), 0, width() - px(left), height());
    dcSelect->setVisible(left != inner);
    // Focus given to the control goes to the half that is shown, the code box first.
    setFocusProxy(left != 0 ? static_cast<QWidget*>(txtKey) : static_cast<QWidget*>(dcSelect));
}

void ucInput::layoutVerti(bool fromKeyWidth) {
    m_layingOut = true;
    const int w = fromKeyWidth ? txtKey->width() : width();
    const int keyH = txtKey->sizeHint().height();
    const int listH = dcSelect->sizeHint().height();
    txtKey->setGeometry(0, 0, w, keyH);
    dcSelect->setGeometry(0, keyH + px(15), w, listH);
    txtKey->setVisible(true);
    dcSelect->setVisible(true);
    resize(w, listH + keyH + px(15));
    m_layingOut = false;
}

void ucInput::resizeEvent(QResizeEvent*) {
    if (m_layingOut || tw(width()) < MinLayoutWidth)
        return;
    if (m_showType == Horiz)
        layoutHoriz();
    else
        layoutVerti(false);
}

bool ucInput::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtKey) {
        if (event->type() == QEvent::FocusIn)
            m_keyFocused = true;
        else if (event->type() == QEvent::FocusOut)
            m_keyFocused = false;
    }
    // KeyDown from both halves; KeyPress only from the list.
    if ((watched == txtKey || watched == dcSelect) && event->type() == QEvent::KeyPress &&
        ForwardKey(watched, static_cast<QKeyEvent*>(event), [this](int& c, int& s) { emit KeyDown(c, s); },
                   [this, watched](int& a) {
                       if (watched == dcSelect)
                           emit KeyPress(a);
                   }))
        return true;
    return QWidget::eventFilter(watched, event);
}

} // namespace vt
