#include "ucList.h"

#include "common/vtColor.h"
#include "vtError.h"
#include "common/vtTwips.h"
#include "common/vtKeys.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>

namespace vt {

namespace {
// A list box that does not choose its first entry by itself when it gets the
// focus: a list opened with nothing chosen stays so until the user chooses.
class ListBox final : public QListWidget {
public:
    using QListWidget::QListWidget;

protected:
    void focusInEvent(QFocusEvent* e) override {
        const int before = currentRow();
        const QSignalBlocker block(this);
        QListWidget::focusInEvent(e);
        if (before == -1 && currentRow() != -1) {
            setCurrentRow(-1);
            clearSelection();
        }
    }
};
} // namespace

ucList::ucList(QWidget* parent) : QWidget(parent), dcSelect(new ListBox(this)) {
    setObjectName(QStringLiteral("ucList"));
    dcSelect->setObjectName(QStringLiteral("dcSelect"));
    dcSelect->setSelectionMode(QAbstractItemView::SingleSelection);
    dcSelect->installEventFilter(this);
    dcSelect->viewport()->installEventFilter(this);
    connect(dcSelect, &QListWidget::currentRowChanged, this, [this] { emit Click(); });
    // A click on the item that is already highlighted (reached with the
    // arrow keys) changes no row, yet it chooses that item.
    connect(dcSelect, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        if (dcSelect->row(item) == m_rowAtPress && m_rowAtPress == dcSelect->currentRow())
            emit Click();
    });
    connect(dcSelect, &QListWidget::itemDoubleClicked, this, [this] { emit DblClick(); });
    resize(twipsToPixels(2400), twipsToPixels(1500));
}

int ucList::ListIndex() const { return dcSelect->currentRow(); }

void ucList::setListIndex(int index) {
    const int i = static_cast<short>(index);
    if (i < -1 || i >= dcSelect->count())
        throw Error(380, QStringLiteral("无效的属性值"));
    dcSelect->setCurrentRow(i);
    if (i == -1)
        dcSelect->clearSelection();
}

void ucList::LoadList(const QVariant& RowData, int BoundField, int ListField) {
    m_table.rowData = RowData;
    m_table.boundField = BoundField;
    m_table.listField = ListField;
    Refresh();
}

void ucList::setAppearance(short value) {
    m_appearance = value;
    dcSelect->setFrameShadow(value == 0 ? QFrame::Plain : QFrame::Sunken);
}

QVariant ucList::Key() const {
    const int i = ListIndex();
    return i < 0 ? QVariant(QString()) : m_table.element(m_table.boundField, i);
}

void ucList::setKey(const QVariant& key) {
    const int row = vtListTable::lookup(m_keys, key);
    if (row >= 0 && row < dcSelect->count()) {
        dcSelect->setCurrentRow(row);
    } else {
        dcSelect->setCurrentRow(-1);
        dcSelect->clearSelection();
    }
}

QString ucList::Text() const {
    const int i = ListIndex();
    return i < 0 ? QString() : dcSelect->item(i)->text();
}

void ucList::Reset() { setListIndex(-1); }

QVariant ucList::ListKey(int Index) const { return m_table.element(m_table.boundField, Index); }

bool ucList::Enabled() const { return dcSelect->isEnabled(); }

void ucList::setEnabledState(bool on) { dcSelect->setEnabled(on); }

QVariant ucList::DataInfo(int ColIndex) const {
    const int i = ListIndex();
    return i < 0 ? QVariant(QString()) : m_table.element(ColIndex, i);
}

void ucList::Refresh() {
    // Rebuilding the list is no choice: no Click for it.
    const QSignalBlocker block(dcSelect);
    dcSelect->clear();
    if (!isArray(m_table.rowData))
        return;
    const ValueArray data = toArray(m_table.rowData);
    if (data.cols() - 1 < m_table.listField || data.cols() - 1 < m_table.boundField)
        return;
    QStringList texts;
    QList<int> order;
    try {
        m_keys = vtListTable::buildIndex(data, m_table.boundField, [&](int r) {
            dcSelect->addItem(vtListTable::textOf(data.at(m_table.listField, r)));
            order << r;
        });
    } catch (...) {
        m_keyOrder = order;
        throw;
    }
    m_keyOrder = order;
}

void ucList::AddListItem(const QVariant& FirstColVal, const QVariantList& PA) {
    m_table.addRow(FirstColVal, PA);
    Refresh();
}

QFont ucList::Font() const { return dcSelect->font(); }

void ucList::setListFont(const QFont& font) {
    dcSelect->setFont(font);
    resize(width(), WholeLinesHeight(height(), font, dcSelect->frameWidth()));
}

int ucList::ListCount() const { return dcSelect->count(); }

QVariant ucList::ListItem(const QVariant& Index) const {
    bool numeric = false;
    const int typeId = Index.metaType().id();
    if (typeId == QMetaType::Int || typeId == QMetaType::LongLong || typeId == QMetaType::Double ||
        typeId == QMetaType::Short)
        numeric = true;
    if (numeric) {
        const int n = Index.toInt();
        if (n < 1 || n > m_keyOrder.size())
            throw Error(5, QStringLiteral("无效的过程调用或参数"));
        return m_keyOrder[n - 1];
    }
    const int row = vtListTable::lookup(m_keys, Index);
    if (row < 0)
        throw Error(5, QStringLiteral("无效的过程调用或参数"));
    return row;
}

long ucList::BackColor() const { return toColorValue(dcSelect->palette().color(QPalette::Base)); }

void ucList::setBackColor(long color) {
    QPalette p = dcSelect->palette();
    p.setColor(QPalette::Base, fromColorValue(color));
    dcSelect->setPalette(p);
}

void ucList::InitProperties() {
    setEnabledState(true);
    setBoundField(0);
    setListField(0);
}

void ucList::ReadProperties(const PropertyBag& bag) {
    setEnabledState(bag.value(QStringLiteral("Enabled"), true).toBool());
    if (bag.contains(QStringLiteral("Font")))
        setListFont(bag.value(QStringLiteral("Font")).value<QFont>());
    setAppearance(static_cast<short>(bag.value(QStringLiteral("Appearance"), 1).toInt()));
    if (bag.contains(QStringLiteral("BackColor")))
        setBackColor(bag.value(QStringLiteral("BackColor")).toLongLong());
}

void ucList::WriteProperties(PropertyBag& bag) const {
    bag.insert(QStringLiteral("Enabled"), Enabled());
    bag.insert(QStringLiteral("Font"), Font());
    bag.insert(QStringLiteral("Appearance"), static_cast<int>(m_appearance));
    bag.insert(QStringLiteral("BackColor"), static_cast<qlonglong>(BackColor()));
}

void ucList::resizeEvent(QResizeEvent*) { dcSelect->setGeometry(rect()); }

bool ucList::eventFilter(QObject* watched, QEvent* event) {
    if (watched == dcSelect && event->type() == QEvent::KeyPress) {
        auto* e = static_cast<QKeyEvent*>(event);
        if (ForwardKey(dcSelect, e, [this](int& c, int& s) { emit KeyDown(c, s); }, [this](int& a) { emit KeyPress(a); }))
            return true;
        // Enter and Esc belong to the host; the list box does nothing with them.
        const int code = KeyCodeOf(e);
        if (code == 13 || code == 27)
            return true;
    } else if (watched == dcSelect && event->type() == QEvent::FocusOut) {
        emit focusLost();
    } else if (watched == dcSelect->viewport() &&
               (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease)) {
        auto* e = static_cast<QMouseEvent*>(event);
        int button = e->button() == Qt::LeftButton ? 1 : e->button() == Qt::RightButton ? 2 : 4;
        int shift = ShiftOf(e->modifiers());
        float x = pixelsToTwips(e->position().toPoint().x());
        float y = pixelsToTwips(e->position().toPoint().y());
        if (event->type() == QEvent::MouseButtonPress) {
            m_rowAtPress = dcSelect->currentRow();
            emit MouseDown(button, shift, x, y);
        }
        else
            emit MouseUp(button, shift, x, y);
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace vt
