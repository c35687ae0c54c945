#pragma once
// ucCheckList: a list with a check box per entry, bound to a value table
// with a key column, a shown column and a column of initial check marks.
#include "common/vtExport.h"
#include "vtListTable.h"

#include <QFont>
#include <QVariantMap>
#include "vtPropertyBag.h"
#include <QWidget>

class QListWidget;

namespace vt {

class VANTELO_EXPORT ucCheckList : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QVariant RowSource READ RowSource WRITE setRowSource)
    Q_PROPERTY(QVariant Key READ Key WRITE setKey)
    Q_PROPERTY(QString Text READ Text)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabledState)
    Q_PROPERTY(int BoundField READ BoundField WRITE setBoundField)
    Q_PROPERTY(int ListField READ ListField WRITE setListField)
    Q_PROPERTY(QFont Font READ Font WRITE setListFont)
    Q_PROPERTY(int ListCount READ ListCount)
    Q_PROPERTY(int ListIndex READ ListIndex WRITE setListIndex)
public:
    explicit ucCheckList(QWidget* parent = nullptr);


    Q_INVOKABLE void LoadList(const QVariant& RowData, int BoundField = 0, int ListField = 1, int CheckField = 2);
    QVariant RowSource() const { return m_table.rowData; }
    void setRowSource(const QVariant& data) { m_table.rowData = data; }
    QVariant Key() const;
    void setKey(const QVariant& key);
    QString Text() const;
    Q_INVOKABLE void Reset();
    bool Enabled() const;
    void setEnabledState(bool on);
    Q_INVOKABLE QVariant DataInfo(int RowIndex, int ColIndex) const;
    Q_INVOKABLE void Refresh();
    int BoundField() const { return m_table.boundField; }
    void setBoundField(int f) { m_table.boundField = f; }
    int ListField() const { return m_table.listField; }
    void setListField(int f) { m_table.listField = f; }
    int CheckField() const { return m_checkField; }
    QFont Font() const;
    void setListFont(const QFont& font);
    int ListCount() const;
    int ListIndex() const;
    void setListIndex(int index);
    Q_INVOKABLE bool Selected(int Index) const;
    Q_INVOKABLE void setSelected(int Index, bool checked);
    Q_INVOKABLE QVariant ListKey(int Index) const;
    Q_INVOKABLE void AddListItem(const QVariant& FirstColVal, const QVariantList& PA = {});
    Q_INVOKABLE void SelectAll();

    void InitProperties();
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

signals:
    void Click();
    void DblClick();
    void KeyDown(int& KeyCode, int& Shift);
    void KeyPress(int& KeyAscii);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Inner controls, reached only through the control's members.
    QListWidget* dcSelect;
    vtListTable m_table;
    int m_checkField = 0;
    QHash<QString, int> m_keys;
};

} // namespace vt
