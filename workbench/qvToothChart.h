#pragma once
// A small tooth chart: the 32 permanent and 20 deciduous teeth as buttons
// in the usual chart layout (upper arch above, lower below, the patient's
// right on the left of the chart; deciduous teeth outside the permanent
// ones). Clicking a tooth toggles it; the chart shows the positions of a
// stored form (mduToothPositions) and tells the new one.
#include <QList>
#include <QWidget>

class QToolButton;

class qvToothChart : public QWidget {
    Q_OBJECT
public:
    explicit qvToothChart(QWidget* parent = nullptr);

    // The teeth shown selected: a stored form; other text selects none.
    void setPositions(const QString& normal);
    QString positions() const;
    // The button of a tooth (a code of the notation), or null.
    QToolButton* tooth(int code) const;

signals:
    // A tooth was clicked: the positions now selected, in the stored form.
    void toggled(const QString& positions);

private:
    QList<QToolButton*> m_teeth;
};
