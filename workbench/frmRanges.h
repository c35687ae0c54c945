#pragma once
// The card ranges tab: each range issued to the lab (and to its related
// lab) with its numbers used and left and the next free number; a range
// with less than a tenth left is marked.
#include "mduCardRanges.h"

#include <QWidget>
#include <optional>

class QLabel;
class QPushButton;
class QTableWidget;

// The usage of the signed-in lab's ranges, read from the database; only
// those of one card letter when a letter is given.
QList<RangeUsage> LoadRangeUsages(const QString& letter = QString());
// The same for a hint: the queries show no box and take no part in the
// recovery after a lost link; nothing when one of them failed.
std::optional<QList<RangeUsage>> LoadRangeUsagesQuietly(const QString& letter);

class frmRanges : public QWidget {
    Q_OBJECT
public:
    explicit frmRanges(QWidget* parent = nullptr);

    QPushButton* cmdRefresh;
    QLabel* lblNote;
    QTableWidget* lstRanges;

    // Reads the ranges and their numbers again.
    void Refresh();
    const QList<RangeUsage>& Usages() const { return m_usages; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QList<RangeUsage> m_usages;
};
