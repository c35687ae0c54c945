#pragma once
// Hospital names remembered across runs in the user's settings store:
// section "HName", keys "1H" to "50H", one name each.
#include <QString>

class QSettings;
namespace vt {
class ucInput;
}

// The store the names live in: the user's native settings under the
// program's title. Tests point it elsewhere with SetHospitalStore.
QSettings& HospitalStore();
void SetHospitalStore(QSettings* store);

// Fills the picker with the remembered names (key = slot key, text = name);
// with a filter, only those whose pinyin initials or text contain it (letter
// case ignored).
void LoadHospitalNames(vt::ucInput* picker, const QString& filter = QString());
// Remembers a name in the first free slot, unless it is known already or
// all 50 slots are taken.
// True when the name was newly remembered.
bool SaveHospitalName(const QString& name);
