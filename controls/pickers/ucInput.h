#pragma once
// ucInput: a code box joined to a list of names. Typing a row's code selects
// the row; choosing a name writes its code into the box.
#include "common/vtExport.h"
#include "vtListTable.h"

#include <QFont>
#include <QVariantMap>
#include "vtPropertyBag.h"
#include <QWidget>

class QComboBox;
class QFrame;
class QLineEdit;

namespace vt {

class VANTELO_EXPORT ucInput : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QVariant RowSource READ RowSource WRITE setRowSource)
    Q_PROPERTY(QVariant Key READ Key WRITE setKey)
    Q_PROPERTY(QString Text READ Text)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabledState)
    Q_PROPERTY(int BoundField READ BoundField WRITE setBoundField)
    Q_PROPERTY(int ListField READ ListField WRITE setListField)
    Q_PROPERTY(QFont Font READ Font WRITE setInputFont)
    Q_PROPERTY(int Proportion READ Proportion WRITE setProportion)
    Q_PROPERTY(int ShowType READ ShowType WRITE setShowType)
    Q_PROPERTY(int ListCount READ ListCount)
    Q_PROPERTY(int ListIndex READ ListIndex WRITE setListIndex)
    Q_PROPERTY(QVariant Value READ Value WRITE setValue)
    Q_PROPERTY(short MaxLength READ MaxLength WRITE setMaxLength)
    Q_PROPERTY(long BackColor READ BackColor WRITE setBackColor)
public:
    enum propEnum { prop0, prop1, prop2, prop3, prop4, prop5, prop6, prop7, prop8, prop9, prop10 };
    Q_ENUM(propEnum)
    enum showEnum { Horiz = 0, Verti = 1 };
    Q_ENUM(showEnum)

    explicit ucInput(QWidget* parent = nullptr);


    Q_INVOKABLE void LoadList(const QVariant& RowData, int BoundField = 0, int ListField = 1,
                              const QString& DefKey = QString(), int ValueField = 0,
                              const QString& DefValue = QString());
    QVariant RowSource() const { return m_table.rowData; }
    void setRowSource(const QVariant& data) { m_table.rowData = data; }
    QVariant Key() const;
    void setKey(const QVariant& key);
    QString Text() const;
    Q_INVOKABLE void Reset();
    bool Enabled() const;
    void setEnabledState(bool on);
    Q_INVOKABLE QVariant DataInfo(int ColIndex) const;
    Q_INVOKABLE void setDataInfo(int ColIndex, const QVariant& value);
    Q_INVOKABLE void Refresh();
    Q_INVOKABLE void AddListItem(const QVariant& FirstColVal, const QVariantList& PA = {});
    int BoundField() const { return m_table.boundField; }
    void setBoundField(int f) { m_table.boundField = f; }
    int ListField() const { return m_table.listField; }
    void setListField(int f) { m_table.listField = f; }
    QFont Font() const;
    void setInputFont(const QFont& font);
    int Proportion() const { return m_proportion; }
    void setProportion(int value);
    int ShowType() const { return m_showType; }
    void setShowType(int value);
    int ListCount() const;
    // The shown text of entry Index of the list, or "" outside it.
    Q_INVOKABLE QString ListText(int Index) const;
    // The key (bound field) of entry Index of the list, or "" outside it.
    Q_INVOKABLE QVariant ListKey(int Index) const;
    int ListIndex() const;
    void setListIndex(int index);
    QVariant Value() const;
    void setValue(const QVariant& value);
    short MaxLength() const;
    void setMaxLength(short length);
    long BackColor() const;
    void setBackColor(long color);

    void InitProperties();
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

signals:
    void Click();
    void KeyDown(int& KeyCode, int& Shift);
    void KeyPress(int& KeyAscii);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Inner controls, reached only through the control's members.
    QLineEdit* txtKey;
    QComboBox* dcSelect;
    QFrame* imgLine;
    void layoutHoriz();
    int m_lastIndex = -1; // the choice the last Click reported
    void layoutVerti(bool fromKeyWidth);
    void split();
    void selectRow(int row);
    void onListChanged();

    vtListTable m_table;
    int m_valueField = 0;
    QString m_defKey;
    QString m_defValue;
    QHash<QString, int> m_keys;
    QHash<QString, int> m_values;
    int m_proportion = prop5;
    int m_showType = Horiz;
    bool m_keyFocused = false;
    bool m_layingOut = false;
};

} // namespace vt
