#include "mduHospital.h"

#include "mduShTools.h"
#include "ucInput.h"

#include <QSettings>
#include <memory>

namespace {
constexpr int Slots = 50;
QSettings*& storeOverride() {
    static QSettings* s = nullptr;
    return s;
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

void LoadHospitalNames(vt::ucInput* picker) {
    QSettings& s = HospitalStore();
    for (int n = 1; n <= Slots; ++n) {
        const QString name = readSlot(s, n);
        if (!name.isEmpty())
            picker->AddListItem(slotKey(n), {name});
    }
}

void SaveHospitalName(const QString& name) {
    QSettings& s = HospitalStore();
    for (int n = 1; n <= Slots; ++n) {
        const QString value = readSlot(s, n);
        if (value.isEmpty()) {
            s.setValue(QStringLiteral("HName/") + slotKey(n), name);
            s.sync();
            return;
        }
        if (value == name)
            return;
    }
}
