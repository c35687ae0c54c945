#include "mduHospital.h"

#include "clsConn.h"
#include "dbUserInterface.h"
#include "mduPinyin.h"
#include "mduShTools.h"
#include "vtValue.h"
#include "ucInput.h"

#include <QSettings>
#include <memory>

namespace {
constexpr int Slots = 50;
QSettings*& storeOverride() {
    static QSettings* s = nullptr;
    return s;
}
QStringList& labHospitals() {
    static QStringList names;
    return names;
}
QString slotKey(int n) { return QString::number(n) + QLatin1Char('H'); }
QString readSlot(QSettings& s, int n) {
    return s.value(QStringLiteral("HName/") + slotKey(n)).toString();
}
} // namespace

QSettings& HospitalStore() {
    if (storeOverride())
        return *storeOverride();
    static QSettings store(QSettings::NativeFormat, QSettings::UserScope, ProductName(), ProductName());
    return store;
}

void SetHospitalStore(QSettings* store) { storeOverride() = store; }

QString LabHospitalsStatement() {
    return QStringLiteral("select top %1 fldHospital from tblrecord where fldMsn=? and fldHospital<>''"
                          " group by fldHospital order by count(*) desc, fldHospital")
        .arg(LabHospitalLimit);
}

void LoadLabHospitals(const QVariant& labKey) {
    QuietBoxes quiet;
    const vt::ValueArray rows = gConn->GetRows(LabHospitalsStatement(), {labKey});
    QStringList names;
    for (int r = 0; r < rows.rows() && rows.cols() > 0 && names.size() < LabHospitalLimit; ++r)
        if (const QString name = rows.displayText(0, r); !name.trimmed().isEmpty())
            names << name;
    SetLabHospitals(names);
}

void SetLabHospitals(const QStringList& names) { labHospitals() = names; }
const QStringList& LabHospitals() { return labHospitals(); }

void LoadHospitalNames(vt::ucInput* picker, const QString& filter) {
    QSettings& s = HospitalStore();
    QStringList keys, names;
    for (int n = 1; n <= Slots; ++n) {
        const QString name = readSlot(s, n);
        if (name.isEmpty())
            continue;
        if (!filter.isEmpty() && !PinyinInitials(name).contains(filter, Qt::CaseInsensitive) &&
            !name.contains(filter, Qt::CaseInsensitive))
            continue;
        keys << slotKey(n);
        names << name;
    }
    // Then the clinics of the lab's records that this user has not typed.
    QStringList remembered;
    for (int n = 1; n <= Slots; ++n)
        remembered << readSlot(s, n);
    int k = 0;
    for (const QString& name : labHospitals()) {
        ++k;
        if (remembered.contains(name))
            continue;
        if (!filter.isEmpty() && !PinyinInitials(name).contains(filter, Qt::CaseInsensitive) &&
            !name.contains(filter, Qt::CaseInsensitive))
            continue;
        keys << QString::number(k) + QLatin1Char('L');
        names << name;
    }
    vt::ValueArray table(2, static_cast<int>(names.size()));
    for (int r = 0; r < names.size(); ++r) {
        table.set(0, r, keys[r]);
        table.set(1, r, names[r]);
    }
    picker->LoadList(names.isEmpty() ? vt::Empty() : vt::toVariant(table), 0, 1);
}

bool SaveHospitalName(const QString& name) {
    QSettings& s = HospitalStore();
    for (int n = 1; n <= Slots; ++n) {
        const QString value = readSlot(s, n);
        if (value.isEmpty()) {
            s.setValue(QStringLiteral("HName/") + slotKey(n), name);
            s.sync();
            return !name.isEmpty();
        }
        if (value == name)
            return false;
    }
    return false;
}
