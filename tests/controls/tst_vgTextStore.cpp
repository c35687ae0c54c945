// The grid's packed text store against a plain list of strings: the same
// writes, resizes, erasures and rearrangements in random order must leave
// the same texts, through the compactions the store does on the way.
#include "grid/vgGridModel.h"
#include "grid/vgTextStore.h"

#include <QAbstractItemModelTester>

#include <QDate>
#include <QRandomGenerator>
#include <QtTest>

class TestVgTextStore : public QObject {
    Q_OBJECT
private slots:
    void matchesPlainStrings_data();
    void matchesPlainStrings();
    void overwriteInPlaceAndCompaction();
    void takenColumn();
    void removingManyRows_data();
    void removingManyRows();
};

// Rows removed together from the grid's model: a block (as a stored chunk
// leaves the batch) or scattered rows; the rest keep their texts and marks.
void TestVgTextStore::removingManyRows_data() {
    QTest::addColumn<QList<int>>("removed");
    QTest::newRow("a block at the end") << QList<int>{8, 9, 10};
    QTest::newRow("a block in the middle") << QList<int>{4, 5, 6};
    QTest::newRow("one row") << QList<int>{2};
    QTest::newRow("scattered, unordered, repeated") << QList<int>{9, 3, 3, 6};
    QTest::newRow("all data rows") << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    QTest::newRow("the header and rows past the end are kept out") << QList<int>{0, 10, 11};
}

void TestVgTextStore::removingManyRows() {
    QFETCH(QList<int>, removed);
    vt::vgGridModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setCols(2);
    model.setRows(11);
    model.setFixedRows(1);
    QStringList expected;
    QList<int> marked;
    for (int r = 0; r < 11; ++r) {
        model.setText(r, 0, QStringLiteral("行%1").arg(r));
        model.setText(r, 1, QString::number(r));
        if (r % 3 == 0) {
            model.setCheckState(r, 1, 1);
            if (!removed.contains(r) || r == 0)
                marked << int(expected.size());
        }
        if (!removed.contains(r) || r == 0)
            expected << QStringLiteral("行%1").arg(r);
    }
    model.removeDataRows(removed);
    QCOMPARE(model.rows(), int(expected.size()));
    for (int r = 0; r < model.rows(); ++r) {
        QCOMPARE(model.text(r, 0), expected[r]);
        QCOMPARE(model.text(r, 1), expected[r].mid(1));
        QCOMPARE(model.checkState(r, 1), marked.contains(r) ? 1 : 0);
    }
    QCOMPARE(model.rowCount(), model.rows() - 1);
}

void TestVgTextStore::matchesPlainStrings_data() {
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("maxLength");
    QTest::newRow("short texts") << 1u << 12;
    QTest::newRow("long texts") << 2u << 3000;
    QTest::newRow("mostly empty") << 3u << 1;
}

void TestVgTextStore::matchesPlainStrings() {
    QFETCH(quint32, seed);
    QFETCH(int, maxLength);
    QRandomGenerator rng(seed);
    vt::vgTextStore store;
    std::vector<QString> plain;
    auto randomText = [&] {
        QString s;
        const int n = rng.bounded(maxLength + 1);
        for (int i = 0; i < n; ++i)
            s += QChar(i % 3 ? char16_t(u'a' + rng.bounded(26)) : char16_t(0x4E00 + rng.bounded(500)));
        return s;
    };
    for (int step = 0; step < 20000; ++step) {
        const int op = rng.bounded(100);
        if (op < 5 || plain.empty()) {
            const std::size_t n = rng.bounded(200);
            store.resize(n);
            plain.resize(n);
        } else if (op < 80) {
            const std::size_t i = rng.bounded(static_cast<quint32>(plain.size()));
            const QString t = randomText();
            store.set(i, t);
            plain[i] = t;
        } else if (op < 84) {
            // A loaded column over the rows from `first` on: texts and
            // numbers only (read in place), or with a date among them.
            const std::size_t first = rng.bounded(static_cast<quint32>(plain.size() + 1));
            const int rows = rng.bounded(60);
            vt::ValueArray a(1, rows);
            for (int r = 0; r < rows; ++r) {
                const int kind = rng.bounded(10);
                if (kind == 0)
                    a.set(0, r, QVariant(qlonglong(r * 7)));
                else if (kind == 1 && op % 2)
                    a.set(0, r, QDate(2024, 2, 29));
                else if (kind != 2)
                    a.setText(0, r, randomText());
            }
            store.takeColumn(first, a, 0);
            const std::size_t size = std::max(plain.size(), first + static_cast<std::size_t>(rows));
            plain.resize(first);
            for (int r = 0; r < rows; ++r)
                plain.push_back(a.displayText(0, r));
            plain.resize(size);
        } else if (op < 88) {
            const std::size_t from = rng.bounded(static_cast<quint32>(plain.size()));
            const std::size_t to = from + rng.bounded(static_cast<quint32>(plain.size() - from + 1));
            store.erase(from, to);
            plain.erase(plain.begin() + static_cast<std::ptrdiff_t>(from), plain.begin() + static_cast<std::ptrdiff_t>(to));
        } else {
            // A rearrangement: reversed, every third cell dropped, two new
            // empty cells at the end.
            std::vector<vt::vgTextStore::Slot> arranged;
            std::vector<QString> next;
            for (std::size_t k = plain.size(); k-- > 0;) {
                if (k % 3 == 1)
                    continue;
                arranged.push_back(store.slot(k));
                next.push_back(plain[k]);
            }
            arranged.resize(arranged.size() + 2);
            next.resize(next.size() + 2);
            store.adopt(std::move(arranged));
            plain = std::move(next);
        }
        QCOMPARE(store.size(), plain.size());
        for (std::size_t i = 0; i < plain.size(); ++i)
            if (store.text(i) != plain[i])
                QFAIL(qPrintable(QString("step %1, operation %2: row %3 reads \"%4\"").arg(step).arg(op).arg(i).arg(store.text(i))));
    }
}

void TestVgTextStore::overwriteInPlaceAndCompaction() {
    vt::vgTextStore store;
    store.resize(1000);
    for (int i = 0; i < 1000; ++i)
        store.set(static_cast<std::size_t>(i), QString(100, QChar(u'甲' + i % 10)));
    const std::size_t full = store.bytes();
    // Shorter texts are written where the old ones were: no growth.
    for (int i = 0; i < 1000; ++i)
        store.set(static_cast<std::size_t>(i), QStringLiteral("短%1").arg(i));
    QVERIFY(store.bytes() <= full);
    // Rewriting every cell many times over does not grow without bound.
    for (int round = 0; round < 50; ++round)
        for (int i = 0; i < 1000; ++i)
            store.set(static_cast<std::size_t>(i), QString(120, QChar(u'a' + round % 26)));
    QVERIFY2(store.bytes() < 8 * full, qPrintable(QString::number(store.bytes())));
    QCOMPARE(store.text(999), QString(120, QChar(u'a' + 49 % 26)));
}

void TestVgTextStore::takenColumn() {
    // A loaded column: texts by reference to the array's block, other
    // values as the text they show; empty texts among them.
    vt::ValueArray a(1, 40000);
    for (int r = 0; r < a.rows(); ++r) {
        if (r % 5 == 0)
            a.set(0, r, QString(""));
        else if (r % 5 == 1)
            a.set(0, r, QVariant(qlonglong(r)));
        else if (r % 5 == 2)
            a.set(0, r, QDate(2024, 1, 1).addDays(r % 300));
        else
            a.set(0, r, QStringLiteral("口腔医院第%1分院").arg(r));
    }
    vt::vgTextStore store;
    store.resize(1);
    store.set(0, u"表头");
    store.takeColumn(1, a, 0);
    QCOMPARE(store.size(), std::size_t(40001));
    QCOMPARE(store.text(0), QString("表头"));
    for (int r = 0; r < a.rows(); r += 7)
        QCOMPARE(store.text(std::size_t(r) + 1), a.displayText(0, r));
    // The array gone, the texts stay; edits go to the column's own block.
    a = vt::ValueArray();
    store.set(4, u"改过");
    QCOMPARE(store.text(4), QString("改过"));
    QCOMPARE(store.text(5), QString("口腔医院第4分院"));
    // Most rows removed: the block is let go, what is left is kept, and
    // the empty texts read as empty.
    store.erase(10, store.size());
    QCOMPARE(store.size(), std::size_t(10));
    QCOMPARE(store.text(1), QString());
    QCOMPARE(store.text(2), QString("1"));
    QCOMPARE(store.text(3), QString("2024-01-03"));
    QCOMPARE(store.text(9), QString("口腔医院第8分院"));
    QVERIFY2(store.bytes() < 64 * 1024, qPrintable(QString::number(store.bytes())));

    // A column of texts only, cut from the end in blocks as stored chunks
    // leave a batch: the rows that stay keep reading the array's offsets
    // (no slot per row is made), then read right when the column grows.
    vt::ValueArray texts(1, 3000);
    for (int r = 0; r < texts.rows(); ++r)
        texts.setText(0, r, QStringLiteral("C%1").arg(r, 8, 10, QLatin1Char('0')));
    vt::vgTextStore cut;
    cut.takeColumn(0, texts, 0);
    const std::size_t loaded = cut.bytes();
    for (std::size_t end = 3000; end > 1000; end -= 500)
        cut.erase(end - 500, end);
    QCOMPARE(cut.size(), std::size_t(1000));
    QCOMPARE(cut.bytes(), loaded);
    QCOMPARE(texts.spans(0).use_count(), 3); // the array, the column and this look
    QCOMPARE(cut.text(999), QString("C00000999"));
    cut.resize(1200);
    QCOMPARE(cut.text(999), QString("C00000999"));
    QCOMPARE(cut.text(1000), QString());
    QCOMPARE(cut.text(1199), QString());
}

QTEST_MAIN(TestVgTextStore)
#include "tst_vgTextStore.moc"
