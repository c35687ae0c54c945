#include "mduRecordRules.h"

#include "mduToothPositions.h"
#include "vtDateText.h"
#include "vtNumber.h"

#include <QHash>

namespace {

QString cellAt(const QStringList& cells, int column) { return cells.value(column - 1); }

RuleFailure fail(const QString& message, const QString& title, short kind, EntryField field) {
    RuleFailure f;
    f.message = message;
    f.title = title;
    f.kind = kind;
    f.field = field;
    return f;
}

} // namespace

RuleFailure CheckEntry(const WarrantyRecord& r, const QString& digits) {
    if (r.productKey.isEmpty())
        return fail(QStringLiteral("请选择产品名称！"), QString(), 0, EntryField::Product);
    if (digits.isEmpty())
        return fail(QStringLiteral("请输入质保卡号！"), QString(), 0, EntryField::CardDigits);
    if (!vt::IsNumericText(digits))
        return fail(QStringLiteral("质保卡号 异 常 ！无法保存！"), QStringLiteral("系统提示"), 1, EntryField::CardDigits);
    if (r.patientSurname.isEmpty() || r.patientGivenName.isEmpty())
        return fail(QStringLiteral("请输入病者姓名！"), QString(), 0, EntryField::None);
    if (r.hospital.isEmpty())
        return fail(QStringLiteral("请输入医院证所名称！"), QString(), 0, EntryField::Hospital);
    if (!r.productionDate.isValid())
        return fail(QStringLiteral("请输入制作时间！"), QString(), 0, EntryField::ProductionDate);
    if (!r.treatmentDate.isValid())
        return fail(QStringLiteral("请输入治疗时间！"), QString(), 0, EntryField::TreatmentDate);
    if (const ToothPositions teeth = ReadToothPositions(r.teeth); !teeth.ok())
        return fail(QStringLiteral("牙位有误：") + teeth.error, QString(), 0, EntryField::Teeth);
    // A NUL would cut the statement short; no stored text may hold one.
    const std::pair<const QString*, std::pair<EntryField, const char16_t*>> texts[] = {
        {&digits, {EntryField::CardDigits, u"质保卡号"}},
        {&r.patientSurname, {EntryField::PatientSurname, u"患者姓"}},
        {&r.patientGivenName, {EntryField::PatientGivenName, u"患者名"}},
        {&r.doctorSurname, {EntryField::DoctorSurname, u"医生姓"}},
        {&r.doctorGivenName, {EntryField::DoctorGivenName, u"医生名"}},
        {&r.hospital, {EntryField::Hospital, u"医院诊所"}},
        {&r.description, {EntryField::Description, u"治疗项目描述"}},
        {&r.remark, {EntryField::Remark, u"备注"}},
        {&r.lot, {EntryField::Lot, u"材料批号"}},
        {&r.shade, {EntryField::Shade, u"比色"}}};
    for (const auto& [text, where] : texts)
        if (text->contains(QChar(0)))
            return fail(QString::fromUtf16(where.second) + QStringLiteral(" 含有无效字符（空字符），无法保存！"), QString(),
                        0, where.first);
    return {};
}

QStringList BatchHeaders() {
    return {QStringLiteral("质保产品"), QStringLiteral("质保卡号"), QStringLiteral("制作时间"), QStringLiteral("诊疗时间"),
            QStringLiteral("患者姓"),   QStringLiteral("患者名"),   QStringLiteral("主治医生姓"), QStringLiteral("主治医生名"),
            QStringLiteral("医院诊所"), QStringLiteral("治疗项目描述"), QStringLiteral("备注")};
}

QStringList BatchExtraHeaders() {
    return {QStringLiteral("材料批号"), QStringLiteral("牙位"), QStringLiteral("比色")};
}

namespace {
QStringList allBatchHeaders() { return BatchHeaders() + BatchExtraHeaders(); }
} // namespace

int FindProduct(const QStringList& productNames, const QString& name) {
    return static_cast<int>(productNames.indexOf(name));
}

namespace {

bool digitsAfterFirst(const QString& number) {
    if (number.size() < 2)
        return false;
    for (qsizetype i = 1; i < number.size(); ++i)
        if (number.at(i) < QLatin1Char('0') || number.at(i) > QLatin1Char('9'))
            return false;
    return true;
}

} // namespace

QList<RuleFailure> DateWarnings(const QDate& production, const QDate& treatment, const QDate& today) {
    QList<RuleFailure> warnings;
    const auto warn = [&warnings](int column, EntryField field, const QString& text) {
        RuleFailure w;
        w.message = text;
        w.column = column;
        w.field = field;
        warnings << w;
    };
    if (production.isValid() && production > today)
        warn(BatchProductionDate, EntryField::ProductionDate, QStringLiteral("制作时间晚于今天"));
    if (production.isValid() && treatment.isValid() && production > treatment)
        warn(BatchProductionDate, EntryField::ProductionDate, QStringLiteral("制作时间晚于诊疗时间"));
    if (treatment.isValid() && treatment > today)
        warn(BatchTreatmentDate, EntryField::TreatmentDate, QStringLiteral("诊疗时间晚于今天"));
    if (production.isValid() && treatment.isValid() && treatment > production.addYears(1))
        warn(BatchTreatmentDate, EntryField::TreatmentDate, QStringLiteral("诊疗时间比制作时间晚一年以上"));
    return warnings;
}

QList<RuleFailure> BatchRowFailures(const QStringList& cells, int row, const QStringList& productNames) {
    const auto cell = [&cells](int c) { return cellAt(cells, c); };
    QList<RuleFailure> failures;
    const auto check = [&](bool passes, int c, const QString& text) {
        if (passes)
            return;
        RuleFailure f;
        f.message = QStringLiteral("行 ") + QString::number(row) + text;
        f.column = c;
        failures << f;
    };
    check(FindProduct(productNames, cell(BatchProduct)) >= 0, BatchProduct, QStringLiteral(" :请提供正确的  质保产品  ！"));
    check(!cell(BatchCardNumber).isEmpty(), BatchCardNumber, QStringLiteral(" :请提供  质保卡号  ！"));
    if (!cell(BatchCardNumber).isEmpty())
        check(digitsAfterFirst(cell(BatchCardNumber)), BatchCardNumber,
              QStringLiteral(" :质保卡号 格式有误（除首位外均为数字）  ！"));
    check(vt::recognizeDate(cell(BatchProductionDate)).isValid(), BatchProductionDate,
          QStringLiteral(" :提供的  制作时间  格式有误！"));
    check(vt::recognizeDate(cell(BatchTreatmentDate)).isValid(), BatchTreatmentDate,
          QStringLiteral(" :提供的  诊疗时间  格式有误！"));
    check(!cell(BatchPatientSurname).isEmpty(), BatchPatientSurname, QStringLiteral(" :请提供  患者姓  ！"));
    check(!cell(BatchPatientGivenName).isEmpty(), BatchPatientGivenName, QStringLiteral(" :请提供  患者名  ！"));
    check(!cell(BatchHospital).isEmpty(), BatchHospital, QStringLiteral(" :请提供  医院诊所  ！"));
    // The card's lot, teeth and shade, when the row has them.
    check(cell(BatchLot).trimmed().size() <= MostLotCharacters, BatchLot,
          QStringLiteral(" :材料批号 超过 %1 个字符！").arg(MostLotCharacters));
    if (const ToothPositions teeth = ReadToothPositions(cell(BatchTeeth)); !teeth.ok())
        check(false, BatchTeeth, QStringLiteral(" :牙位有误：") + teeth.error);
    check(cell(BatchShade).trimmed().size() <= MostShadeCharacters, BatchShade,
          QStringLiteral(" :比色 超过 %1 个字符！").arg(MostShadeCharacters));
    // A NUL (pasted from a binary file, say) would cut the statement short.
    const QStringList headers = allBatchHeaders();
    for (int c = BatchProduct; c <= BatchShade; ++c)
        if (cell(c).contains(QChar(0)))
            check(false, c, QStringLiteral(" :") + headers.at(c - 1) + QStringLiteral(" 含有无效字符（空字符）！"));
    return failures;
}

RuleFailure CheckBatchRow(const QStringList& cells, int row, const QStringList& productNames) {
    const QList<RuleFailure> all = BatchRowFailures(cells, row, productNames);
    return all.isEmpty() ? RuleFailure() : all.first();
}

WarrantyRecord BatchRowRecord(const QStringList& cells, const QString& productKey) {
    WarrantyRecord r;
    r.productKey = productKey;
    r.cardNumber = cellAt(cells, BatchCardNumber);
    r.productionDate = vt::recognizeDate(cellAt(cells, BatchProductionDate));
    r.treatmentDate = vt::recognizeDate(cellAt(cells, BatchTreatmentDate));
    r.patientSurname = cellAt(cells, BatchPatientSurname);
    r.patientGivenName = cellAt(cells, BatchPatientGivenName);
    r.doctorSurname = cellAt(cells, BatchDoctorSurname);
    r.doctorGivenName = cellAt(cells, BatchDoctorGivenName);
    r.hospital = cellAt(cells, BatchHospital);
    r.description = cellAt(cells, BatchDescription);
    r.remark = cellAt(cells, BatchRemark);
    r.lot = cellAt(cells, BatchLot).trimmed();
    r.teeth = ReadToothPositions(cellAt(cells, BatchTeeth)).normal;
    r.shade = cellAt(cells, BatchShade).trimmed();
    return r;
}

namespace {
// The batch column (0-based) a header names: the batch grid's own headers,
// or those of the lists' exports, where "名" follows each surname (the
// patient's first, then the doctor's). -1 for none.
int BatchColumnOfHeader(const QString& text, const QList<int>& taken) {
    if (const int h = int(allBatchHeaders().indexOf(text)); h >= 0)
        return h;
    static const QHash<QString, int> exported{
        {QStringLiteral("医生姓"), BatchDoctorSurname}, {QStringLiteral("医院、诊所"), BatchHospital},
        {QStringLiteral("治疗时间"), BatchTreatmentDate}, {QStringLiteral("治疗描述"), BatchDescription}};
    if (const auto it = exported.constFind(text); it != exported.constEnd())
        return *it - 1;
    if (text == QStringLiteral("名"))
        return taken.value(BatchPatientGivenName - 1) < 0 ? BatchPatientGivenName - 1 : BatchDoctorGivenName - 1;
    return -1;
}
} // namespace

QList<int> BatchSourceColumns(const QList<QPair<int, QString>>& firstRow) {
    const QStringList headers = allBatchHeaders();
    QList<int> from(headers.size(), -1);
    bool named = false;
    for (const auto& [column, text] : firstRow) {
        const int h = BatchColumnOfHeader(text.trimmed(), from);
        if (h >= 0 && from[h] < 0) {
            from[h] = column;
            named = true;
        }
    }
    if (!named)
        for (int h = 0; h < headers.size(); ++h)
            from[h] = h;
    return from;
}

bool BatchRowsFromTable(const QList<QStringList>& table, QList<QStringList>* rows, QString* error) {
    rows->clear();
    if (table.isEmpty()) {
        *error = QStringLiteral("文件中没有数据");
        return false;
    }
    const QStringList headers = allBatchHeaders();
    // Where each batch column comes from: -1 for none.
    QList<QPair<int, QString>> firstCells;
    for (int c = 0; c < table.first().size(); ++c)
        if (!table.first().at(c).isEmpty())
            firstCells.append({c, table.first().at(c)});
    QList<int> from = BatchSourceColumns(firstCells);
    const bool named = std::any_of(firstCells.begin(), firstCells.end(), [&](const QPair<int, QString>& cell) {
        return BatchColumnOfHeader(cell.second.trimmed(), {}) >= 0;
    });
    qsizetype first = named ? 1 : 0;
    if (!named) {
        // No header row: by position, when the second column holds card
        // numbers (a letter and digits) in the first row.
        const QString number = table.first().value(BatchCardNumber - 1).trimmed();
        const bool looksLikeData = number.size() >= 2 && number.at(0).isLetter() &&
                                   std::all_of(number.begin() + 1, number.end(), [](QChar c) { return c.isDigit(); });
        if (!looksLikeData) {
            *error = QStringLiteral("文件中没有与批量预录表头相符的列（") + BatchHeaders().join(QStringLiteral("、")) +
                     QStringLiteral("）");
            return false;
        }
    }
    rows->reserve(table.size() - first);
    for (qsizetype r = first; r < table.size(); ++r) {
        const QStringList& in = table.at(r);
        QStringList out;
        out.reserve(headers.size());
        bool any = false;
        for (int h = 0; h < headers.size(); ++h) {
            QString v = from[h] >= 0 ? in.value(from[h]) : QString();
            if (h != BatchRemark - 1 && h != BatchDescription - 1)
                v = v.trimmed();
            any = any || !v.isEmpty();
            out << v;
        }
        if (any)
            rows->append(out);
    }
    if (rows->isEmpty()) {
        *error = QStringLiteral("文件中没有数据");
        return false;
    }
    return true;
}
