#pragma once
// Symbols of the widget-free core library of Vantelo.
#include <QtCore/qglobal.h>

#if defined(VANTELO_CORE_LIBRARY)
#define VANTELO_CORE_EXPORT Q_DECL_EXPORT
#else
#define VANTELO_CORE_EXPORT Q_DECL_IMPORT
#endif
