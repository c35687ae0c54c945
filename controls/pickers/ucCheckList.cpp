#include "ucCheckList.h"

#include "vtError.h"
#include "common/vtKeys.h"
#include "common/vtTwips.h"

#include <QKeyEvent>
#include <QListWidget>

namespace vt {

namespace {
// A check value read as a boolean: numbers (0 false, any other true),
// booleans, and the texts "True"/"False" or numbers in text.
bool readBoolean(const QVariant& v, bool* ok) {
    *ok = true;
    switch (v.metaType().id()) {
    case QMetaType::Bool:
        return v.toBool();
    case QMetaType::Int: case QMetaType::LongLong: case QMetaType::Double: case QMetaType::Short:
        return v.toDouble() != 0;
    default:
        break;
    }
    const QString t = vtListTable::textOf(v).trimmed();
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    bool numeric = false;
    const double d = t.toDouble(&numeric);
    if (numeric)
        return d != 0;
    *ok = false;
    return false;
}
} // namespace

ucCheckList::ucCheckList(QWidget* parent) : QWidget(parent), dcSelect(new QListWidget(this)) {
    setObjectName(QStringLiteral("ucCheckList"));
    dcSelect->setObjectName(QStringLiteral("dcSelect"));
    dcSelect->installEventFilter(this);
    connect(dcSelect, &QListWidget::currentRowChanged, this, [this] { emit Click(); });
    connect(dcSelect, &QListWidget::itemDoubleClicked, this, [this] { emit DblClick(); });
    resize(twipsToPixels(2400), twipsToPixels(1500));
}

void ucCheckList::LoadList(const QVariant& RowData, int BoundField, int ListField, int CheckField) {
    m_table.rowData = RowData;
    m_table.boundField = BoundField;
    m_table.listField = ListField;
    m_checkField = CheckField;
    Refresh();
}

QVariant ucCheckList::Key() const {
    const int i = ListIndex();
    return i < 0 ? QVariant(QString()) : m_table.element(m_table.boundField, i);
}

void ucCheckList::setKey(const QVariant& key) {
    const int row = vtListTable::lookup(m_keys, key);
    dcSelect->setCurrentRow(row >= 0 && row < dcSelect->count() ? row : -1);
}

QString ucCheckList::Text() const {
    const int i = ListIndex();
    return i < 0 ? QString() : dcSelect->item(i)->text();
}

void ucCheckList::Reset() {
    dcSelect->setCurrentRow(-1);
    dcSelect->clearSelection();
}

bool ucCheckList::Enabled() const { return dcSelect->isEnabled(); }
void ucCheckList::setEnabledState(bool on) { dcSelect->setEnabled(on); }

QVariant ucCheckList::DataInfo(int RowIndex, int ColIndex) const { return m_table.element(ColIndex, RowIndex); }

void ucCheckList::Refresh() {
    const QSignalBlocker block(dcSelect);
    dcSelect->clear();
    if (!isArray(m_table.rowData))
        return;
    const ValueArray data = toArray(m_table.rowData);
    const int ub = data.cols() - 1;
    if (ub < m_table.boundField || ub < m_table.listField || ub < m_checkField)
        return;
    QHash<QString, int> keys;
    try {
        for (int r = 0; r < data.rows(); ++r) {
            const QString key = vtListTable::textOf(data.at(m_table.boundField, r)).toLower();
            if (keys.contains(key))
                throw Error(457, QStringLiteral("此键已经与该集合的一个元素相关联"));
            keys.insert(key, r);
            auto* item = new QListWidgetItem(vtListTable::textOf(data.at(m_table.listField, r)), dcSelect);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            bool ok = false;
            const bool checked = readBoolean(data.at(m_checkField, r), &ok);
            if (!ok)
                throw Error(13, QStringLiteral("类型不匹配"));
            item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
        }
    } catch (const Error& e) {
        m_keys = keys;
        throw Error(5001, e.description());
    }
    m_keys = std::move(keys);
}

QFont ucCheckList::Font() const { return dcSelect->font(); }

void ucCheckList::setListFont(const QFont& font) {
    dcSelect->setFont(font);
    resize(width(), WholeLinesHeight(height(), font, dcSelect->frameWidth()));
}

int ucCheckList::ListCount() const { return dcSelect->count(); }
int ucCheckList::ListIndex() const { return dcSelect->currentRow(); }

void ucCheckList::setListIndex(int index) {
    if (index < -1 || index >= dcSelect->count())
        throw Error(380, QStringLiteral("无效的属性值"));
    dcSelect->setCurrentRow(index);
}

bool ucCheckList::Selected(int Index) const {
    if (Index < 0 || Index >= dcSelect->count())
        throw Error(381, QStringLiteral("无效的属性数组索引"));
    return dcSelect->item(Index)->checkState() == Qt::Checked;
}

void ucCheckList::setSelected(int Index, bool checked) {
    if (Index < 0 || Index >= dcSelect->count())
        throw Error(381, QStringLiteral("无效的属性数组索引"));
    dcSelect->item(Index)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

QVariant ucCheckList::ListKey(int Index) const { return m_table.element(m_table.boundField, Index); }

void ucCheckList::AddListItem(const QVariant& FirstColVal, const QVariantList& PA) {
    m_table.addRow(FirstColVal, PA);
    Refresh();
}

void ucCheckList::SelectAll() {
    for (int i = 0; i < dcSelect->count(); ++i)
        dcSelect->item(i)->setCheckState(Qt::Checked);
}

void ucCheckList::InitProperties() {
    setEnabledState(true);
    setBoundField(0);
    setListField(0);
}

void ucCheckList::ReadProperties(const PropertyBag& bag) {
    setEnabledState(bag.value(QStringLiteral("Enabled"), true).toBool());
    if (bag.contains(QStringLiteral("Font")))
        setListFont(bag.value(QStringLiteral("Font")).value<QFont>());
}

void ucCheckList::WriteProperties(PropertyBag& bag) const {
    bag.insert(QStringLiteral("Enabled"), Enabled());
    bag.insert(QStringLiteral("Font"), Font());
}

void ucCheckList::resizeEvent(QResizeEvent*) { dcSelect->setGeometry(rect()); }

bool ucCheckList::eventFilter(QObject* watched, QEvent* event) {
    if (watched == dcSelect && event->type() == QEvent::KeyPress &&
        ForwardKey(dcSelect, static_cast<QKeyEvent*>(event), [this](int& c, int& s) { emit KeyDown(c, s); },
                   [this](int& a) { emit KeyPress(a); }))
        return true;
    return QWidget::eventFilter(watched, event);
}

} // namespace vt
