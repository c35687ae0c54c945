#pragma once
// ucList: a list box bound to a value table, one column giving each row's
// key and another the text shown. The editable grid uses one per column as
// its in-cell list.
#include "common/vtExport.h"
#include "vtListTable.h"

#include <QFont>
#include <QVariantMap>
#include "vtPropertyBag.h"
#include <QWidget>

class QListWidget;

namespace vt {

class VANTELO_EXPORT ucList : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int ListIndex READ ListIndex WRITE setListIndex)
    Q_PROPERTY(short Appearance READ Appearance WRITE setAppearance)
    Q_PROPERTY(QVariant RowSource READ RowSource WRITE setRowSource)
    Q_PROPERTY(QVariant Key READ Key WRITE setKey)
    Q_PROPERTY(QString Text READ Text)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabledState)
    Q_PROPERTY(int BoundField READ BoundField WRITE setBoundField)
    Q_PROPERTY(int ListField READ ListField WRITE setListField)
    Q_PROPERTY(QFont Font READ Font WRITE setListFont)
    Q_PROPERTY(int ListCount READ ListCount)
    Q_PROPERTY(long BackColor READ BackColor WRITE setBackColor)
public:
    explicit ucList(QWidget* parent = nullptr);


    int ListIndex() const;
    void setListIndex(int index);
    Q_INVOKABLE void LoadList(const QVariant& RowData, int BoundField = 0, int ListField = 1);
    short Appearance() const { return m_appearance; }
    void setAppearance(short value);
    QVariant RowSource() const { return m_table.rowData; }
    void setRowSource(const QVariant& data) { m_table.rowData = data; }
    QVariant Key() const;
    void setKey(const QVariant& key);
    QString Text() const;
    Q_INVOKABLE void Reset();
    Q_INVOKABLE QVariant ListKey(int Index) const;
    bool Enabled() const;
    void setEnabledState(bool on);
    Q_INVOKABLE QVariant DataInfo(int ColIndex) const;
    Q_INVOKABLE void Refresh();
    Q_INVOKABLE void AddListItem(const QVariant& FirstColVal, const QVariantList& PA = {});
    int BoundField() const { return m_table.boundField; }
    void setBoundField(int f) { m_table.boundField = f; }
    int ListField() const { return m_table.listField; }
    void setListField(int f) { m_table.listField = f; }
    QFont Font() const;
    void setListFont(const QFont& font);
    int ListCount() const;
    Q_INVOKABLE QVariant ListItem(const QVariant& Index) const;
    long BackColor() const;
    void setBackColor(long color);

    // Design-time properties: the property bag of the form.
    void InitProperties();
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

signals:
    void Click();
    void DblClick();
    void KeyDown(int& KeyCode, int& Shift);
    void KeyPress(int& KeyAscii);
    void MouseDown(int& Button, int& Shift, float& X, float& Y);
    void MouseUp(int& Button, int& Shift, float& X, float& Y);
    // Not an event of the control: told when the list loses the focus, for
    // the grid that shows it.
    void focusLost();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class EditGrid; // the grid places its in-cell lists and gives them the focus
    // Inner controls, reached only through the control's members.
    QListWidget* dcSelect;
    vtListTable m_table;
    QHash<QString, int> m_keys;
    QList<int> m_keyOrder; // row numbers in the order they entered the index
    short m_appearance = 1;
    int m_rowAtPress = -1; // the highlighted row when the mouse went down
};

} // namespace vt
