#include "qvToothChart.h"

#include "mduToothPositions.h"

#include <QGridLayout>
#include <QToolButton>

qvToothChart::qvToothChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ToothChart"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setHorizontalSpacing(1);
    grid->setVerticalSpacing(1);
    QFont small = font();
    small.setPointSize(8);
    // Rows: upper deciduous, upper permanent, lower permanent, lower
    // deciduous; a column of its own between right and left (the midline).
    const struct {
        int row;
        bool upper;
        bool deciduous;
    } rows[] = {{0, true, true}, {1, true, false}, {3, false, false}, {4, false, true}};
    for (const auto& r : rows) {
        const QList<int> arch = ArchOrder(r.upper, r.deciduous);
        const int half = int(arch.size()) / 2;
        // Deciduous teeth stand above and below the permanent ones nearest
        // the midline: columns 3 to 7 and 9 to 13.
        const int first = r.deciduous ? 3 : 0;
        for (int i = 0; i < arch.size(); ++i) {
            const int code = arch[i];
            auto* b = new QToolButton(this);
            b->setObjectName(QStringLiteral("tooth%1").arg(code));
            b->setText(QString::number(code));
            b->setCheckable(true);
            b->setFont(small);
            b->setFixedSize(24, 20);
            b->setAutoRaise(false);
            b->setToolTip(QStringLiteral("牙位 %1").arg(code));
            b->setFocusPolicy(Qt::NoFocus);
            const int column = first + i + (i >= half ? 1 : 0);
            grid->addWidget(b, r.row, column);
            connect(b, &QToolButton::clicked, this, [this] { emit toggled(positions()); });
            m_teeth << b;
        }
    }
    // The line between the upper and lower arch.
    grid->setRowMinimumHeight(2, 6);
    grid->setColumnMinimumWidth(8, 8);
}

void qvToothChart::setPositions(const QString& normal) {
    const QList<int> codes = ToothCodes(normal);
    for (QToolButton* b : m_teeth)
        b->setChecked(codes.contains(b->text().toInt()));
}

QString qvToothChart::positions() const {
    QList<int> codes;
    for (QToolButton* b : m_teeth)
        if (b->isChecked())
            codes << b->text().toInt();
    return ToothNormalForm(codes);
}

QToolButton* qvToothChart::tooth(int code) const {
    for (QToolButton* b : m_teeth)
        if (b->text().toInt() == code)
            return b;
    return nullptr;
}
