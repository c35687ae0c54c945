#include "mduSqlText.h"

QString SqlQuote(const QString& value) {
    QString v = value;
    return v.replace(QLatin1Char('\''), QLatin1String("''"));
}
