#include "vtValue.h"

#include <QDate>
#include <QStringDecoder>

namespace vt {

namespace {
struct Column {
    // Per row; for Other cells the index in others. Shared with a grid that
    // took the column over, and copied before a write while it is.
    std::shared_ptr<std::vector<ValueArray::Span>> spans = std::make_shared<std::vector<ValueArray::Span>>();
    std::vector<ValueArray::Kind> kinds; // per row
    std::shared_ptr<std::vector<char16_t>> block = std::make_shared<std::vector<char16_t>>();
    QList<QVariant> others;
    std::size_t chars = 0; // the sum of the spans' sizes

    // Puts a span in a row, keeping the sum.
    void place(std::size_t row, ValueArray::Span s) {
        std::vector<ValueArray::Span>& all = spansToWrite();
        chars = chars - all[row].size + s.size;
        all[row] = s;
    }

    std::vector<ValueArray::Span>& spansToWrite() {
        if (spans.use_count() > 1)
            spans = std::make_shared<std::vector<ValueArray::Span>>(*spans);
        return *spans;
    }
    QStringView text(std::size_t row) const {
        const ValueArray::Span s = (*spans)[row];
        return QStringView(block->data() + s.at, static_cast<qsizetype>(s.size));
    }
    // The block to append to, copied first when somebody else (a copy of the
    // array, a grid) still refers to it.
    std::vector<char16_t>& blockToWrite() {
        if (block.use_count() > 1)
            block = std::make_shared<std::vector<char16_t>>(*block);
        return *block;
    }
    ValueArray::Span append(QStringView t) {
        blockToWrite();
        const ValueArray::Span s{static_cast<quint32>(block->size()), static_cast<quint32>(t.size())};
        block->insert(block->end(), t.utf16(), t.utf16() + t.size());
        return s;
    }
    // The same for UTF-8 text, decoded straight into the block.
    ValueArray::Span appendUtf8(const char* p, qsizetype bytes) {
        blockToWrite();
        thread_local QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const std::size_t at = block->size();
        block->resize(at + static_cast<std::size_t>(utf8.requiredSpace(bytes)));
        QChar* begin = reinterpret_cast<QChar*>(block->data() + at);
        QChar* end = utf8.appendToBuffer(begin, QByteArrayView(p, bytes));
        block->resize(at + static_cast<std::size_t>(end - begin));
        return ValueArray::Span{static_cast<quint32>(at), static_cast<quint32>(end - begin)};
    }
};
} // namespace

struct ValueArray::Data {
    int cols = 0;
    int rows = 0;
    std::vector<Column> columns;
};

ValueArray::ValueArray() : d(std::make_shared<Data>()) {}

ValueArray::ValueArray(int cols, int rows) : d(std::make_shared<Data>()) {
    d->cols = cols < 0 ? 0 : cols;
    d->rows = rows < 0 ? 0 : rows;
    d->columns.resize(static_cast<std::size_t>(d->cols));
    for (Column& c : d->columns) {
        c.spans->resize(static_cast<std::size_t>(d->rows));
        c.kinds.resize(static_cast<std::size_t>(d->rows), Kind::Empty);
    }
}

ValueArray::ValueArray(const ValueArray&) = default;
ValueArray::ValueArray(ValueArray&& o) noexcept : d(std::move(o.d)) { o.d = std::make_shared<Data>(); }
ValueArray& ValueArray::operator=(const ValueArray&) = default;
ValueArray& ValueArray::operator=(ValueArray&& o) noexcept {
    std::swap(d, o.d);
    return *this;
}
ValueArray::~ValueArray() = default;

int ValueArray::cols() const { return d->cols; }
int ValueArray::rows() const { return d->rows; }

void ValueArray::detach() {
    // A copy of the columns; their text blocks stay shared until written.
    if (d.use_count() > 1)
        d = std::make_shared<Data>(*d);
}

ValueArray::Kind ValueArray::kind(int col, int row) const {
    return d->columns[static_cast<std::size_t>(col)].kinds[static_cast<std::size_t>(row)];
}

QVariant ValueArray::at(int col, int row) const {
    const Column& c = d->columns[static_cast<std::size_t>(col)];
    const std::size_t r = static_cast<std::size_t>(row);
    switch (c.kinds[r]) {
    case Kind::Empty: return QVariant();
    case Kind::Null: return Null();
    case Kind::Text: return c.text(r).toString();
    case Kind::Integer: return QVariant(c.text(r).toLongLong());
    case Kind::Real: return QVariant(c.text(r).toDouble());
    case Kind::Other: return c.others[(*c.spans)[r].at];
    }
    return QVariant();
}

QString ValueArray::displayText(int col, int row) const {
    const Column& c = d->columns[static_cast<std::size_t>(col)];
    const std::size_t r = static_cast<std::size_t>(row);
    switch (c.kinds[r]) {
    case Kind::Empty: case Kind::Null: return QString();
    case Kind::Text: case Kind::Integer: case Kind::Real: return c.text(r).toString();
    case Kind::Other: return vt::displayText(c.others[(*c.spans)[r].at]);
    }
    return QString();
}

void ValueArray::setText(int col, int row, QStringView text) {
    detach();
    Column& c = d->columns[static_cast<std::size_t>(col)];
    const Span span = c.append(text);
    c.place(static_cast<std::size_t>(row), span);
    c.kinds[static_cast<std::size_t>(row)] = Kind::Text;
}

void ValueArray::setTextUtf8(int col, int row, const char* text, qsizetype bytes) {
    detach();
    Column& c = d->columns[static_cast<std::size_t>(col)];
    const Span span = c.appendUtf8(text, bytes);
    c.place(static_cast<std::size_t>(row), span);
    c.kinds[static_cast<std::size_t>(row)] = Kind::Text;
}

void ValueArray::set(int col, int row, const QVariant& v) {
    if (!v.isValid() || isNull(v)) {
        // No text: an empty span, so that a grid reading spans sees none.
        detach();
        Column& c = d->columns[static_cast<std::size_t>(col)];
        c.place(static_cast<std::size_t>(row), Span());
        c.kinds[static_cast<std::size_t>(row)] = v.isValid() ? Kind::Null : Kind::Empty;
        return;
    }
    const int type = v.metaType().id();
    if (type == QMetaType::QString) {
        setText(col, row, *static_cast<const QString*>(v.constData()));
        return;
    }
    detach();
    Column& c = d->columns[static_cast<std::size_t>(col)];
    const std::size_t r = static_cast<std::size_t>(row);
    switch (type) {
    case QMetaType::LongLong: // as the databases give whole numbers; other types keep their own
        c.place(r, c.append(QString::number(v.toLongLong())));
        c.kinds[r] = Kind::Integer;
        return;
    case QMetaType::Double:
        // The shortest text that reads back as the same number.
        c.place(r, c.append(QString::number(v.toDouble(), 'g', QLocale::FloatingPointShortest)));
        c.kinds[r] = Kind::Real;
        return;
    default:
        c.place(r, ValueArray::Span{static_cast<quint32>(c.others.size()), 0});
        c.others.append(v);
        c.kinds[r] = Kind::Other;
    }
}

int ValueArray::appendRow() {
    detach();
    for (Column& c : d->columns) {
        c.spansToWrite().emplace_back();
        c.kinds.push_back(Kind::Empty);
    }
    return d->rows++;
}

void ValueArray::resizeRows(int rows) {
    if (rows < 0)
        rows = 0;
    detach();
    for (Column& c : d->columns) {
        for (std::size_t r = static_cast<std::size_t>(rows); r < c.spans->size(); ++r)
            c.chars -= (*c.spans)[r].size;
        c.spansToWrite().resize(static_cast<std::size_t>(rows));
        c.kinds.resize(static_cast<std::size_t>(rows), Kind::Empty);
    }
    d->rows = rows;
}

ValueArray ValueArray::selectRows(const std::vector<int>& rows) const {
    ValueArray out;
    out.d->cols = d->cols;
    out.d->rows = static_cast<int>(rows.size());
    out.d->columns.resize(d->columns.size());
    for (std::size_t c = 0; c < d->columns.size(); ++c) {
        const Column& from = d->columns[c];
        Column& to = out.d->columns[c];
        to.block = from.block;
        to.others = from.others;
        auto spans = std::make_shared<std::vector<Span>>();
        spans->reserve(rows.size());
        to.kinds.reserve(rows.size());
        for (const int r : rows) {
            spans->push_back((*from.spans)[static_cast<std::size_t>(r)]);
            to.chars += spans->back().size;
            to.kinds.push_back(from.kinds[static_cast<std::size_t>(r)]);
        }
        to.spans = std::move(spans);
    }
    return out;
}

ValueArray::Spans ValueArray::spans(int col) const { return d->columns[static_cast<std::size_t>(col)].spans; }

std::size_t ValueArray::textChars(int col) const { return d->columns[static_cast<std::size_t>(col)].chars; }

bool ValueArray::hasOtherValues(int col) const { return !d->columns[static_cast<std::size_t>(col)].others.isEmpty(); }

ValueArray::TextBlock ValueArray::textBlock(int col) const { return d->columns[static_cast<std::size_t>(col)].block; }

ValueArray::Span ValueArray::span(int col, int row) const {
    return (*d->columns[static_cast<std::size_t>(col)].spans)[static_cast<std::size_t>(row)];
}

bool ValueArray::operator==(const ValueArray& o) const {
    if (cols() != o.cols() || rows() != o.rows())
        return false;
    for (int c = 0; c < cols(); ++c)
        for (int r = 0; r < rows(); ++r)
            if (kind(c, r) != o.kind(c, r) || at(c, r) != o.at(c, r))
                return false;
    return true;
}

QString displayText(const QVariant& v) {
    if (isNothing(v))
        return QString();
    if (v.metaType().id() == QMetaType::Bool)
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    return v.toString();
}

QVariant toVariant(const ValueArray& a) {
    if (a.cols() == 0 || a.rows() == 0)
        return Empty();
    return QVariant::fromValue(a);
}

bool isArray(const QVariant& v) { return v.metaType() == QMetaType::fromType<ValueArray>(); }

ValueArray toArray(const QVariant& v) { return isArray(v) ? v.value<ValueArray>() : ValueArray(); }

} // namespace vt
