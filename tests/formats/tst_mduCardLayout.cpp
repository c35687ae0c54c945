// The warranty card's pages: the QR code of the number, the cards placed
// one to a page or eight to an A4 sheet, the PDF written whole or not at all.
#include "mduCardLayout.h"

#include <QBuffer>
#include <QPdfWriter>
#include <QtTest>

namespace {

CardDeck deckOf(int cards) {
    CardDeck deck{"加工所", QColor(160, 193, 215), {}};
    for (int i = 0; i < cards; ++i) {
        const QString number = QString("C%1").arg(110 + i, 8, 10, QChar('0'));
        deck.faces.append({number, {{"质保产品", "钴铬合金烤瓷冠"}, {"质保卡号", number}}});
    }
    return deck;
}

// The pages of a PDF's bytes.
int pageCount(const QByteArray& pdf) {
    return int(pdf.count("/Type /Page\n") + pdf.count("/Type /Page ") + pdf.count("/Type /Page/"));
}

} // namespace

class TestCardLayout : public QObject {
    Q_OBJECT
private slots:
    void qrModules_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("side");
        QTest::newRow("a card number") << "C00000110" << 21; // the smallest code holds it
        QTest::newRow("a long text") << QString(100, QChar('9')) << 29;
        QTest::newRow("nothing") << "" << 0;
    }
    void qrModules() {
        QFETCH(QString, text);
        QFETCH(int, side);
        int got = -1;
        const QList<bool> modules = QrModules(text, &got);
        QCOMPARE(got, side);
        QCOMPARE(modules.size(), side * side);
        if (side > 0) {
            // The finder pattern's corner: a dark module, then the light ring inside.
            QVERIFY(modules[0]);
            QVERIFY(!modules[side + 1]);
            QVERIFY(modules[2 * side + 2]);
        }
    }

    void cardsPerPage_data() {
        QTest::addColumn<int>("sheet");
        QTest::addColumn<int>("cards");
        QTest::addColumn<int>("pages");
        QTest::newRow("one card a page") << int(CardSheet::IdCard) << 3 << 3;
        QTest::newRow("eight to A4, one sheet") << int(CardSheet::EightPerA4) << 8 << 1;
        QTest::newRow("eight to A4, nine cards") << int(CardSheet::EightPerA4) << 9 << 2;
    }
    void cardsPerPage() {
        QFETCH(int, sheet);
        QFETCH(int, cards);
        QFETCH(int, pages);
        QBuffer bytes;
        QVERIFY(bytes.open(QIODevice::WriteOnly));
        {
            QPdfWriter pdf(&bytes);
            pdf.setResolution(300);
            SetUpCardPage(&pdf, CardSheet(sheet));
            QVERIFY(PaintCards(&pdf, deckOf(cards), CardSheet(sheet)));
        }
        QCOMPARE(pageCount(bytes.data()), pages);
        // The page is the card's own or A4, without margins.
        QPdfWriter probe(QDir::temp().filePath("unused.pdf"));
        SetUpCardPage(&probe, CardSheet(sheet));
        const QSizeF mm = probe.pageLayout().fullRect(QPageLayout::Millimeter).size();
        QCOMPARE(mm.toSize(), sheet == int(CardSheet::IdCard) ? QSize(86, 54) : QSize(210, 297));
        QCOMPARE(probe.pageLayout().margins(), QMarginsF());
    }

    void pdfWrittenWholeOrNotAtAll() {
        QTemporaryDir dir;
        QString error;
        const QString path = dir.filePath("cards.pdf");
        QVERIFY2(WriteCardsPdf(path, deckOf(2), CardSheet::IdCard, "Quorvat", &error), qPrintable(error));
        QFile written(path);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QByteArray pdf = written.readAll();
        QVERIFY(pdf.startsWith("%PDF"));
        QCOMPARE(pageCount(pdf), 2);
        QVERIFY(!WriteCardsPdf(dir.filePath("missing/cards.pdf"), deckOf(1), CardSheet::IdCard, "Quorvat", &error));
        QVERIFY(error.startsWith("文件夹不存在"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"cards.pdf"});
    }
};

QTEST_MAIN(TestCardLayout)
#include "tst_mduCardLayout.moc"
