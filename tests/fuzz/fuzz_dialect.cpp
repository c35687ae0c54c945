// Fuzz target: the dialect step of the embedded database. Any text is
// translated without a crash; text without any of the translated forms
// comes back unchanged; a quoted literal is never touched.
#include "dbDialect.h"
#include "mduRecordSql.h"

#include <QString>
#include <cstdint>
#include <cstdlib>

namespace {
bool hasTranslatedForm(const QString& s) {
    for (const char* word : {"isnull", "len", "getdate", "convert", "@@identity"})
        if (s.contains(QLatin1String(word), Qt::CaseInsensitive))
            return true;
    return false;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString out = TranslateToSqlite(text);
    if (!hasTranslatedForm(text) && out != text)
        std::abort(); // changed what it has no business changing
    // The same text as a quoted value of a statement the program writes.
    const QString statement = QStringLiteral("select isnull(fldMemo,'') from tblrecord where fldMemo='") +
                              SqlQuote(text) + QStringLiteral("' and len(fldPrdNo)>0");
    const QString translated = TranslateToSqlite(statement);
    if (!translated.contains(QLatin1Char('\'') + SqlQuote(text) + QLatin1Char('\'')))
        std::abort(); // the literal was touched
    return 0;
}
