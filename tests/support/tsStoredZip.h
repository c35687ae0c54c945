#pragma once
// A zip package of stored (not compressed) parts, for tests and benchmarks
// that make workbooks no writer would: a cell at the last column of every
// row, repeated cells, damaged shared strings. Qt Core only, header only.
#include <QByteArray>
#include <QList>
#include <QPair>

#include <array>
#include <cstdint>

namespace ts {

inline uint32_t crc32Of(const QByteArray& bytes) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    uint32_t c = 0xFFFFFFFFu;
    for (const char b : bytes)
        c = table[(c ^ uint8_t(b)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

inline void put16(QByteArray& out, uint16_t v) { out.append(char(v & 0xFF)).append(char(v >> 8)); }
inline void put32(QByteArray& out, uint32_t v) {
    put16(out, uint16_t(v & 0xFFFF));
    put16(out, uint16_t(v >> 16));
}

// The package of the named parts, in order.
inline QByteArray StoredZip(const QList<QPair<QByteArray, QByteArray>>& parts) {
    QByteArray out, directory;
    for (const auto& [name, data] : parts) {
        const uint32_t offset = uint32_t(out.size()), crc = crc32Of(data), size = uint32_t(data.size());
        put32(out, 0x04034b50);
        put16(out, 20), put16(out, 0), put16(out, 0), put16(out, 0), put16(out, 0);
        put32(out, crc), put32(out, size), put32(out, size);
        put16(out, uint16_t(name.size())), put16(out, 0);
        out += name;
        out += data;
        put32(directory, 0x02014b50);
        put16(directory, 20), put16(directory, 20), put16(directory, 0), put16(directory, 0);
        put16(directory, 0), put16(directory, 0);
        put32(directory, crc), put32(directory, size), put32(directory, size);
        put16(directory, uint16_t(name.size())), put16(directory, 0), put16(directory, 0);
        put16(directory, 0), put16(directory, 0), put32(directory, 0), put32(directory, offset);
        directory += name;
    }
    const uint32_t at = uint32_t(out.size());
    out += directory;
    put32(out, 0x06054b50);
    put16(out, 0), put16(out, 0), put16(out, uint16_t(parts.size())), put16(out, uint16_t(parts.size()));
    put32(out, uint32_t(directory.size())), put32(out, at), put16(out, 0);
    return out;
}

// A workbook of one sheet with the given sheet XML (its <sheetData>
// content) and shared strings XML (its <si> items; none when empty).
inline QByteArray StoredWorkbook(const QByteArray& sheetData, const QByteArray& sharedItems = {}) {
    QList<QPair<QByteArray, QByteArray>> parts{
        {"xl/workbook.xml", "<workbook><sheets><sheet name=\"s\" sheetId=\"1\"/></sheets></workbook>"},
        {"xl/worksheets/sheet1.xml", "<worksheet><sheetData>" + sheetData + "</sheetData></worksheet>"}};
    if (!sharedItems.isEmpty())
        parts.append({"xl/sharedStrings.xml", "<sst>" + sharedItems + "</sst>"});
    return StoredZip(parts);
}

// The rows of the wide workbook: rows 1 to rows, each with a header or
// values in A to K and one cell at XFD, the last column.
inline QByteArray WideSheetData(int rows) {
    QByteArray data;
    data.reserve(rows * 200);
    for (int r = 1; r <= rows; ++r) {
        const QByteArray n = QByteArray::number(r);
        data += "<row r=\"" + n + "\">";
        if (r == 1)
            data += "<c r=\"A1\" t=\"inlineStr\"><is><t>质保产品</t></is></c>"
                    "<c r=\"B1\" t=\"inlineStr\"><is><t>质保卡号</t></is></c>";
        else
            data += "<c r=\"A" + n + "\" t=\"inlineStr\"><is><t>钴铬合金烤瓷冠</t></is></c><c r=\"B" + n +
                    "\" t=\"inlineStr\"><is><t>C" + QByteArray::number(r).rightJustified(8, '0') + "</t></is></c>";
        data += "<c r=\"XFD" + n + "\"><v>1</v></c></row>";
    }
    return data;
}

} // namespace ts
