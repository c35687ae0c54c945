#pragma once
#include <QtCore/qglobal.h>

#if defined(VANTELO_LIBRARY)
#define VANTELO_EXPORT Q_DECL_EXPORT
#else
#define VANTELO_EXPORT Q_DECL_IMPORT
#endif
