#pragma once
// Values spliced into statement text. Where a statement keeps the system's
// fixed form with its values between single quotes, each value goes in with
// its own quotes doubled: it is stored and compared exactly as typed and can
// never change the statement. The data layer and the warranty rules both
// build such texts.
#include <QString>

// A value placed between single quotes: its quotes doubled.
QString SqlQuote(const QString& value);
