#pragma once
// The enumerations of the grid library, by name and value.
#include "common/vtExport.h"

#include <QObject>

namespace vt {
Q_NAMESPACE_EXPORT(VANTELO_EXPORT)

enum EnterMoveType { fmtNoMove = 0, fmtHorNext = 1, fmtHorNextEdit = 2, fmtVerNext = 3, fmtEdit = 4 };
Q_ENUM_NS(EnterMoveType)

enum RecordState { rsNormal = 0, rsNew = 1, rsModify = 2, rsDelete = 3 };
Q_ENUM_NS(RecordState)

enum DataValid { dvString = 0, dvNoEmpty = 1, dvNumeric = 2, dvDate = 3, dvMonth = 4, dvYear = 5 };
Q_ENUM_NS(DataValid)

} // namespace vt
