#pragma once
// Hospital names remembered across runs in the user's settings store:
// section "HName", keys "1H" to "50H", one name each.
#include <QString>
#include <QStringList>
#include <QVariant>

class QSettings;
namespace vt {
class ucInput;
}

// The store the names live in: the user's native settings under the
// program's title. Tests point it elsewhere with SetHospitalStore.
QSettings& HospitalStore();
void SetHospitalStore(QSettings* store);

// The lab's own clinics as its records name them: distinct, most used
// first, at most LabHospitalLimit of them. One query, run at the
// workbench's load; a failure leaves the list empty and shows no box.
inline constexpr int LabHospitalLimit = 200;
QString LabHospitalsStatement();
void LoadLabHospitals(const QVariant& labKey);
void SetLabHospitals(const QStringList& names);
const QStringList& LabHospitals();

// Fills the picker with the remembered names, then the lab's clinics that
// are not among them (keys "1L", "2L", ...) (key = slot key, text = name);
// with a filter, only those whose pinyin initials or text contain it (letter
// case ignored).
void LoadHospitalNames(vt::ucInput* picker, const QString& filter = QString());
// Remembers a name in the first free slot, unless it is known already or
// all 50 slots are taken.
// True when the name was newly remembered.
bool SaveHospitalName(const QString& name);
