// The work the stress run kills, and the check after the restart.
//
//   stress_work prepare MODE DIR [--refuse]   a fresh demo database for MODE
//   stress_work MODE DIR JOURNAL              the work: import | submitall | save
//   stress_work verify MODE DIR JOURNAL       the restart and the check
// With QV_STRESS_ODBC set to the SQLite ODBC driver's library, the work runs
// through the ODBC path (the driver standing in for SQL Server).
//   stress_work race-prepare | race WORKER | race-verify …   see stress_race.h
//
// The work writes to JOURNAL every row the program confirmed (it left the
// grid, or the entry form moved on), a block at a time, each block closed
// by a line "."; a kill in the middle of a block loses only confirmations.
// A run that ends by itself adds the rows still waiting in the grid ("Q "
// lines) and "done". With --refuse the database refuses one row of the
// work (a trigger standing in for a server that rejects it): that row must
// stay waiting and unstored.
//
// verify prints one line of counts: lost (a confirmed row not stored exactly
// once with the values typed, or another record changed), duplicated,
// queued_stored (a row left waiting although stored), and for the chunk
// checks stored, confirmed and logged.
#include "EditGrid.h"
#include "clsConn.h"
#include "frmBatchTab.h"
#include "frmEntryTab.h"
#include "frmProducts.h"
#include "frmRecordList.h"
#include "dbChunkWriter.h"
#include "dbOdbcBackend.h"
#include "mduHospital.h"
#include "mduMessage.h"
#include "mduPaths.h"
#include "mduRecordSql.h"
#include "qvDatePicker.h"
#include "stress_race.h"
#include "ucInput.h"
#include "vgGrid.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

class Yes final : public MessagePresenter {
public:
    int present(const MessageRequest&) override { return MsgYes; }
};

// How many rows each kind of work stores.
int rowsOf(const QString& mode) {
    if (mode == QLatin1String("import"))
        return 10000;
    if (mode == QLatin1String("submitall"))
        return 3000;
    return 300; // save
}

QChar prefixOf(const QString& mode) {
    if (mode == QLatin1String("import"))
        return QLatin1Char('K');
    if (mode == QLatin1String("submitall"))
        return QLatin1Char('U');
    return QLatin1Char('C'); // the entry form gives the product's letter
}

// The values typed for row i of the work: quotes, wildcards and Chinese in
// them, so that a value changed on the way is seen.
WarrantyRecord rowFor(const QString& mode, int i) {
    WarrantyRecord r;
    r.productKey = QStringLiteral("C01");
    r.cardNumber = mode == QLatin1String("save") ? QStringLiteral("C9%1").arg(i, 7, 10, QLatin1Char('0'))
                                                 : prefixOf(mode) + QStringLiteral("%1").arg(i, 8, 10, QLatin1Char('0'));
    r.productionDate = QDate(2013, 1, 1).addDays(i % 700);
    r.treatmentDate = r.productionDate.addDays(3);
    r.patientSurname = QStringLiteral("李");
    r.patientGivenName = QStringLiteral("明%1").arg(i % 97);
    r.doctorSurname = QStringLiteral("王");
    r.doctorGivenName = QStringLiteral("芳");
    r.hospital = QStringLiteral("协和医院");
    r.description = QStringLiteral("O'Brien 第%1例 100%_").arg(i);
    r.remark = QStringLiteral("备注 '%1'").arg(i);
    return r;
}

// The card number of the row that the database refuses with --refuse: in
// the middle of an import or of the saves; for submit-all the topmost row of
// the list, which it reaches last, since a refused status change ends it.
QString refusedCard(const QString& mode) {
    return rowFor(mode, mode == QLatin1String("submitall") ? 0 : rowsOf(mode) / 2).cardNumber;
}

class Journal {
public:
    explicit Journal(const char* path) : m_fd(::open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644)) {}
    ~Journal() { ::close(m_fd); }
    // One block in one write.
    void confirm(const QStringList& cards) {
        if (cards.isEmpty())
            return;
        put(cards.join(QLatin1Char('\n')) + QStringLiteral("\n.\n"));
    }
    void finish(const QStringList& queued) {
        QString text;
        for (const QString& q : queued)
            text += QStringLiteral("Q ") + q + QLatin1Char('\n');
        put(text + QStringLiteral("done\n"));
    }

private:
    void put(const QString& text) {
        const QByteArray bytes = text.toUtf8();
        if (::write(m_fd, bytes.constData(), static_cast<size_t>(bytes.size())) != bytes.size())
            std::perror("journal");
    }
    int m_fd;
};

QStringList column(vt::EditGrid* grid, int col) {
    QStringList cards;
    for (int r = 1; r < grid->Rows(); ++r)
        cards << grid->Cells(r, col).Text();
    return cards;
}

// Confirms the rows that leave a grid, each time rows leave it.
void journalRemovals(vt::EditGrid* grid, int cardCol, Journal& journal) {
    auto waiting = std::make_shared<QSet<QString>>();
    for (const QString& c : column(grid, cardCol))
        waiting->insert(c);
    QObject::connect(grid, &vt::EditGrid::AfterRemoveRow, grid, [grid, cardCol, waiting, &journal] {
        QSet<QString> now;
        for (const QString& c : column(grid, cardCol))
            now.insert(c);
        QStringList gone;
        for (const QString& c : std::as_const(*waiting))
            if (!now.contains(c))
                gone << c;
        *waiting = now;
        journal.confirm(gone);
    });
}

bool signIn(const QString& dir) {
    SetProgramFolder(dir);
    QString server = QStringLiteral("(embedded)"), name = QStringLiteral("demo");
    if (!gConn->ConnectToDatabase(server, name))
        return false;
    QString account = QStringLiteral("1001"), password = QStringLiteral("1234");
    return gConn->CheckUser(account, password);
}

QString fingerprintOfOthers(const QString& mode) {
    // Every other record, whole: the work must leave them as they were.
    const QString prefix = mode == QLatin1String("save") ? QStringLiteral("C9") : QString(prefixOf(mode));
    const vt::ValueArray rows = vt::toArray(gConn->GetArray(
        QStringLiteral("select * from tblrecord where fldPrdNo not like '") + prefix + QStringLiteral("%' order by fldsn")));
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (int r = 0; r < rows.rows(); ++r)
        for (int c = 0; c < rows.cols(); ++c)
            hash.addData((rows.at(c, r).toString() + QLatin1Char('\x1f')).toUtf8());
    return QString::fromLatin1(hash.result().toHex());
}

int prepare(const QString& mode, const QString& dir, bool refuse) {
    if (!signIn(dir))
        return 1;
    if (mode == QLatin1String("submitall")) {
        // The lab's range for the work, and its pending records only.
        if (!gConn->CommandRan(gConn->ExeCommand(QStringLiteral("delete from tblrecord where fldStatus = '00'"))))
            return 1;
        if (!gConn->CommandRan(gConn->ExeCommand(QStringLiteral("insert into tblProductNoSet (fldPrdNoFrom, fldPrdNoTo, fldmaker) "
                                                                    "values ('U00000000', 'U99999999', 1)"))))
            return 1;
        gConn->BeginTrans();
        for (int i = 0; i < rowsOf(mode); ++i)
            gConn->GetConnection()->execute(BatchInsertStatement(rowFor(mode, i), gConn->OpId().toString(),
                                                                 gConn->OpNo().toString()),
                                            {}, 0);
        gConn->CommitTrans();
    }
    if (refuse) {
        const QString event = mode == QLatin1String("submitall") ? QStringLiteral("update") : QStringLiteral("insert");
        const QString when = mode == QLatin1String("submitall") ? QStringLiteral("new.fldStatus = '01' and ")
                                                                : QString();
        // Without the refused row the check of waiting rows would see none.
        if (!gConn->CommandRan(gConn->ExeCommand(QStringLiteral("create trigger trgRefuse before ") + event +
                                                 QStringLiteral(" on tblrecord when ") + when +
                                                 QStringLiteral("new.fldPrdNo = '") + refusedCard(mode) +
                                                 QStringLiteral("' begin select raise(abort, '拒绝此行'); end"))))
            return 1;
    }
    QFile f(dir + QStringLiteral("/others.sha"));
    if (!f.open(QIODevice::WriteOnly))
        return 1;
    const QByteArray print = fingerprintOfOthers(mode).toLatin1();
    return f.write(print) == print.size() && f.flush() ? 0 : 1;
}

QStringList batchCells(const WarrantyRecord& r) {
    return {QStringLiteral("钴铬合金烤瓷冠"), r.cardNumber, DateText(r.productionDate), DateText(r.treatmentDate),
            r.patientSurname, r.patientGivenName, r.doctorSurname, r.doctorGivenName, r.hospital, r.description,
            r.remark};
}

// The work through the ODBC path instead, when QV_STRESS_ODBC names the
// SQLite ODBC driver: registered as "SQL Server" in the folder, over the
// same database file.
bool signInOverOdbc(const QString& dir, const QByteArray& driver) {
    QFile inst(dir + QStringLiteral("/odbcinst.ini"));
    if (!inst.open(QIODevice::WriteOnly) || inst.write("[SQL Server]\nDriver=" + driver + "\n") < 0)
        return false;
    inst.close();
    qputenv("ODBCSYSINI", dir.toLocal8Bit());
    qputenv("ODBCINSTINI", "odbcinst.ini");
    SetProgramFolder(dir);
    SetBackendFactory([](const ConnectRequest&) -> std::unique_ptr<DbBackend> { return std::make_unique<OdbcBackend>(); });
    QString server = QStringLiteral("srv01"), name = dir + QStringLiteral("/demo.db");
    if (!gConn->ConnectToDatabase(server, name))
        return false;
    QString account = QStringLiteral("1001"), password = QStringLiteral("1234");
    return gConn->CheckUser(account, password);
}

int work(const QString& mode, const QString& dir, const char* journalPath) {
    const QByteArray odbcDriver = qgetenv("QV_STRESS_ODBC");
    if (!(odbcDriver.isEmpty() ? signIn(dir) : signInOverOdbc(dir, odbcDriver)))
        return 1;
    Journal journal(journalPath);
    frmProducts form;
    if (mode == QLatin1String("import")) {
        const int n = rowsOf(mode);
        vt::ValueArray rows(11, n);
        for (int i = 0; i < n; ++i) {
            const QStringList cells = batchCells(rowFor(mode, i));
            for (int c = 0; c < 11; ++c)
                rows.set(c, i, cells[c]);
        }
        form.tabBatch->egBatch->LoadData(vt::toVariant(rows));
        journalRemovals(form.tabBatch->egBatch, 2, journal);
        form.tabBatch->cmdImport_Click();
        journal.finish(column(form.tabBatch->egBatch, 2));
    } else if (mode == QLatin1String("submitall")) {
        form.LoadRecordList(QStringLiteral("New"));
        journalRemovals(form.tabEntry->list->grid, 4, journal);
        form.tabEntry->cmdSubmitAll_Click();
        QStringList queued;
        for (const QString& c : column(form.tabEntry->list->grid, 4))
            if (c.startsWith(QLatin1Char('U')))
                queued << c;
        journal.finish(queued);
    } else {
        QStringList queued;
        for (int i = 0; i < rowsOf(mode); ++i) {
            const WarrantyRecord r = rowFor(mode, i);
            form.tabEntry->cmdNew_Click();
            form.tabEntry->ucProduct->setKey(r.productKey);
            form.tabEntry->txtPrdNo->setText(r.cardNumber.mid(1));
            form.tabEntry->txtPLName->setText(r.patientSurname);
            form.tabEntry->txtPFName->setText(r.patientGivenName);
            form.tabEntry->txtDLName->setText(r.doctorSurname);
            form.tabEntry->txtDFName->setText(r.doctorGivenName);
            form.tabEntry->txtHospital->setText(r.hospital);
            form.tabEntry->txtPdTime->setDate(r.productionDate);
            form.tabEntry->txtOpTime->setDate(r.treatmentDate);
            form.tabEntry->txtOpDesp->setText(r.description);
            form.tabEntry->txtMemo->setPlainText(r.remark);
            form.tabEntry->cmdSave_Click();
            // The form moved on: the number is cleared and New is offered.
            if (form.tabEntry->txtPrdNo->text().isEmpty() && form.tabEntry->lbId->text().isEmpty() && form.tabEntry->cmdNew->isEnabled())
                journal.confirm({r.cardNumber});
            else
                queued << r.cardNumber;
        }
        journal.finish(queued);
    }
    return 0;
}

struct JournalContents {
    QSet<QString> confirmed;
    QStringList queued;
    bool done = false;
};

JournalContents readJournal(const QString& path) {
    JournalContents j;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return j;
    QStringList block;
    for (const QByteArray& raw : f.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw);
        if (line == QLatin1String(".")) {
            for (const QString& c : std::as_const(block))
                j.confirmed.insert(c);
            block.clear();
        } else if (line.startsWith(QLatin1String("Q "))) {
            j.queued << line.mid(2);
        } else if (line == QLatin1String("done")) {
            j.done = true;
        } else if (!line.isEmpty()) {
            block << line;
        }
    }
    return j;
}

int verify(const QString& mode, const QString& dir, const QString& journalPath) {
    // The restart: the program opens the database as after a power cut.
    if (!signIn(dir)) {
        std::puts("lost=-1 duplicated=0 queued_stored=0 stored=0 confirmed=0 logged=0");
        return 1;
    }
    const JournalContents j = readJournal(journalPath);
    const bool submit = mode == QLatin1String("submitall");
    const QString prefix = mode == QLatin1String("save") ? QStringLiteral("C9") : QString(prefixOf(mode));
    const vt::ValueArray rows = vt::toArray(gConn->GetArray(
        QStringLiteral("select fldPrdName,fldPrdNo,fldPLName,fldPFName,fldDLName,fldDFName,fldHospital,fldOpTime,"
                       "fldPdTime,fldOpDesp,fldMemo,fldStatus from tblrecord where fldPrdNo like '") +
        prefix + QStringLiteral("%'")));
    // Rows by card number, each with whether it holds the values typed.
    QHash<QString, int> copies;
    QHash<QString, bool> exact;
    QHash<QString, QString> status;
    for (int r = 0; r < rows.rows(); ++r) {
        const QString card = rows.at(1, r).toString();
        ++copies[card];
        const int i = card.mid(prefix.size()).toInt();
        const WarrantyRecord want = rowFor(mode, i);
        const QStringList typed{want.productKey, want.cardNumber, want.patientSurname, want.patientGivenName,
                                want.doctorSurname, want.doctorGivenName, want.hospital, DateText(want.treatmentDate),
                                DateText(want.productionDate), want.description, want.remark};
        bool same = true;
        for (int c = 0; c < typed.size(); ++c)
            same = same && rows.at(c, r).toString() == typed[c];
        exact[card] = same;
        status[card] = rows.at(11, r).toString();
    }
    int lost = 0, duplicated = 0, queuedStored = 0, stored = 0;
    for (auto it = copies.cbegin(); it != copies.cend(); ++it) {
        if (it.value() > 1)
            duplicated += it.value() - 1;
        if (!submit || status.value(it.key()) == QLatin1String("01"))
            ++stored;
    }
    for (const QString& card : j.confirmed) {
        const bool done = copies.value(card) == 1 && exact.value(card) &&
                          status.value(card) == (submit ? QStringLiteral("01") : QStringLiteral("00"));
        if (!done) {
            ++lost;
            std::fprintf(stderr, "verify: %s confirmed but not stored as typed\n", qPrintable(card));
        }
    }
    for (const QString& card : j.queued)
        if (copies.contains(card) && (!submit || status.value(card) == QLatin1String("01")))
            ++queuedStored;
    // Every other record as it was before the work.
    QFile f(dir + QStringLiteral("/others.sha"));
    if (!f.open(QIODevice::ReadOnly) || QString::fromLatin1(f.readAll()) != fingerprintOfOthers(mode)) {
        ++lost;
        std::fputs("verify: other records changed\n", stderr);
    }
    // The rows the execution log names: one for a row's own statement, the
    // card numbers among its values for a statement of many rows.
    int logged = 0;
    const vt::ValueArray log = vt::toArray(gConn->GetArray(
        QStringLiteral("select fldStatement, fldParams from tblExecLog where fldStatement like '%''") + prefix +
        QStringLiteral("%' or fldParams like '%,") + prefix + QStringLiteral("%'")));
    const QRegularExpression number(QStringLiteral("^") + QRegularExpression::escape(prefix) + QStringLiteral("\\d+$"));
    for (int r = 0; r < log.rows(); ++r) {
        if (log.at(0, r).toString().contains(QLatin1Char('\'') + prefix)) {
            ++logged;
            continue;
        }
        for (const QString& value : log.at(1, r).toString().split(QLatin1Char(',')))
            logged += number.match(value).hasMatch() ? 1 : 0;
    }
    std::printf("lost=%d duplicated=%d queued_stored=%d stored=%d confirmed=%d logged=%d done=%d\n", lost, duplicated,
                queuedStored, stored, int(j.confirmed.size()), logged, j.done ? 1 : 0);
    return lost || duplicated || queuedStored ? 3 : 0;
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2)
        return 2;
    Yes yes;
    SetMessagePresenter(&yes);
    if (const int rows = qEnvironmentVariableIntValue("QV_CHUNK_ROWS"); rows > 0)
        ChunkWriter::ChunkRows() = rows;
    const QString dir = args.value(args[0] == QLatin1String("prepare") || args[0] == QLatin1String("verify") ||
                                           args[0] == QLatin1String("race")
                                       ? 2
                                       : 1);
    QSettings hospitals(dir + QStringLiteral("/hospitals.ini"), QSettings::IniFormat);
    SetHospitalStore(&hospitals);
    int rc = 2;
    if (args[0] == QLatin1String("race-prepare"))
        rc = RacePrepare(args[1]);
    else if (args[0] == QLatin1String("race") && args.size() >= 3)
        rc = RaceWork(args[1].toInt(), args[2], args.contains(QStringLiteral("--chunks")));
    else if (args[0] == QLatin1String("race-verify"))
        rc = RaceVerify(args[1]);
    else if (args[0] == QLatin1String("prepare"))
        rc = prepare(args.value(1), dir, args.contains(QStringLiteral("--refuse")));
    else if (args[0] == QLatin1String("verify") && args.size() == 4)
        rc = verify(args[1], dir, args[3]);
    else if (args.size() == 3)
        rc = work(args[0], dir, argv[3]);
    std::fflush(stdout);
    gConn.reset();
    std::_Exit(rc);
}
