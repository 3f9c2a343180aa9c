// Times importing many returned 60-question workbooks through "Read Xls File" into a database that already holds
// 100,000 answers, against a Python script that reads and stores the same files with openpyxl and sqlite3 (one
// transaction per workbook), and checks that the window keeps painting its status text meanwhile.
// bench_importbench [workbooks] [--lock-before SECONDS | --lock-during SECONDS] [--folder DIR --leave-kb KB]
//   --lock-before: sqlite3 holds the database's write lock from before Import for that long;
//   --lock-during: sqlite3 takes it a moment into the import and holds it that long;
//   --folder: the program's folder in DIR (say a small tmpfs), filled up to KB kilobytes left before Import.
// With any of them, the import is timed once and what it showed and stored is reported.

#include "BenchFolder.h"
#include "BenchRun.h"
#include "feedback/frmReading.h"
#include "platform/dialogs/MsgBox.h"
#include "shell/Db.h"
#include "shell/MDIMain.h"
#include "shell/gblGlobal.h"
#include "surveys/export/SurveyExport.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace
{

constexpr int Questions = 60;
constexpr int StoredAnswers = 100000;

// One customer with as many respondents as workbooks, a 60-question survey (every fifth question written) for the
// first of them, 100,000 earlier answers spread over all of them, and a log row for each workbook.
bool seed(const QString& databasePath, int workbooks)
{
    SeedDatabase db(databasePath);
    db.exec(QStringLiteral("insert into customer (custid, custname) values (3, 'Harbour Instruments')"));
    db.exec(QStringLiteral("insert into survey (surveyid, sdate, custid) values (7, '2024-03-15', 3)"));
    db.exec(QStringLiteral("insert into parameter (paramid, parametername) values (1, 'Service')"));
    for (int r = 1; r <= workbooks; ++r) {
        db.exec(QStringLiteral("insert into respondent (respondentid, custid, respondentname) values (?, 3, ?)"),
                {r, QStringLiteral("Respondent %1").arg(r)});
        db.exec(QStringLiteral("insert into log (custname, respname, xlsfilename, sdate, surveyid, respid, Status) "
                               "values ('Harbour Instruments', ?, ?, '2024-03-15', 7, ?, 0)"),
                {QStringLiteral("Respondent %1").arg(r), QStringLiteral("returned-%1.xlsx").arg(r), r});
    }
    for (int i = 1; i <= Questions; ++i) {
        db.exec(QStringLiteral("insert into questions (questionid, question, Type, paramid) values (?, ?, ?, 1)"),
                {i, QStringLiteral("Question %1: how well did we do on this point?").arg(i), i % 5 != 0});
        db.exec(QStringLiteral("insert into responquesindex (respondentid, questionid, surveyid, \"Order\") "
                               "values (1, ?, 7, ?)"),
                {i, i});
    }
    for (int k = 0; k < StoredAnswers; ++k) {
        const int question = 1 + (k / workbooks) % Questions;
        const QString date =
            k / (workbooks * Questions) == 0 ? QStringLiteral("2023-09-01") : QStringLiteral("2023-03-01");
        db.exec(question % 5 != 0 ? QStringLiteral("insert into feedbackobjective (respondentid, questionid, surveyid, "
                                                   "surveydate, weightage, score) values (?, ?, 5, ?, 4, 6)")
                                  : QStringLiteral("insert into feedbackdescriptive (respondentid, questionid, "
                                                   "surveyid, surveydate, weightage, Description) "
                                                   "values (?, ?, 5, ?, 4, 'Earlier answer')"),
                {1 + k % workbooks, question, date});
    }
    return db.commit();
}

// The respondent's part as openpyxl writes it, then one copy per respondent (the id in I2 changed in the sheet's
// XML, so that the copies are what the filled-in workbook is but for that cell).
bool fillAndCopy(const QString& exported, const QString& folder, int workbooks)
{
    return !python(QStringLiteral(R"(
import re, sys, zipfile, openpyxl
src, folder, n = sys.argv[1], sys.argv[2], int(sys.argv[3])
wb = openpyxl.load_workbook(src)
ws = wb['Sheet1']
r = 14
while r < 14 + 3 * 60 + 2:
    if ws.cell(r, 9).value is None:
        r += 1; continue
    ws.cell(r, 4).value = 1 + r % 10
    if ws.cell(r + 1, 2).value == 'Type your Answer here':
        ws.cell(r + 1, 2).value = "Quicker replies, and 'fewer' forms"; r += 3
    else:
        ws.cell(r, 3).value = 1 + r % 9; r += 2
first = folder + '/filled.xlsx'
wb.save(first)
parts = {i.filename: zipfile.ZipFile(first).read(i.filename) for i in zipfile.ZipFile(first).infolist()}
sheet = parts['xl/worksheets/sheet1.xml'].decode()
for k in range(1, n + 1):
    parts['xl/worksheets/sheet1.xml'] = re.sub(r'(<c r="I2"[^>]*>)<v>[^<]*</v>', r'\g<1><v>%d</v>' % k, sheet).encode()
    with zipfile.ZipFile('%s/returned-%d.xlsx' % (folder, k), 'w', zipfile.ZIP_DEFLATED) as z:
        for name, data in parts.items():
            z.writestr(name, data)
print('ok')
)"),
                   {exported, folder, QString::number(workbooks)})
                .isEmpty();
}

// The same reading and storing in Python, one transaction per workbook, on its own copy of the database.
double pythonSeconds(const QString& database, const QString& folder, int workbooks)
{
    const QByteArray out = python(QStringLiteral(R"(
import sqlite3, sys, time, openpyxl
db, folder, n = sys.argv[1], sys.argv[2], int(sys.argv[3])
con = sqlite3.connect(db, isolation_level=None)
con.execute('pragma journal_mode=wal'); con.execute('pragma synchronous=normal')
def whole(v):
    return 0 if v is None or v == '' else round(float(v))
start = time.perf_counter()
for k in range(1, n + 1):
    name = 'returned-%d.xlsx' % k
    ws = openpyxl.load_workbook('%s/%s' % (folder, name))['Sheet1']
    resp, date, count, survey = ws['I2'].value, ws['I3'].value.date().isoformat(), ws['I4'].value, ws['I5'].value
    con.execute('begin')
    con.execute('update log set Status=1 where rowid=(select rowid from log where xlsfilename=? order by rowid limit 1)', (name,))
    for r in range(14, int(count) * 3 + 16):
        q = ws.cell(r, 9).value
        if q is None:
            continue
        row = con.execute('select Type from questions where questionid=?', (q,)).fetchone()
        if row is None:
            continue
        table, last = ('feedbackobjective', 'score') if row[0] else ('feedbackdescriptive', 'Description')
        value = whole(ws.cell(r, 3).value) if row[0] else ws.cell(r + 1, 2).value
        found = con.execute('select rowid from %s where questionid=? and respondentid=? and surveydate=? order by rowid limit 1' % table, (q, resp, date)).fetchone()
        values = (resp, q, date, whole(ws.cell(r, 4).value), value, survey)
        if found:
            con.execute('update %s set respondentid=?, questionid=?, surveydate=?, weightage=?, %s=?, surveyid=? where rowid=?' % (table, last), values + (found[0],))
        else:
            con.execute('insert into %s (respondentid, questionid, surveydate, weightage, %s, surveyid) values (?, ?, ?, ?, ?, ?)' % (table, last), values)
    con.execute('commit')
print(time.perf_counter() - start)
)"),
                                  {database, folder, QString::number(workbooks)});
    return out.isEmpty() ? -1 : out.toDouble();
}

qint64 count(const QString& sql)
{
    return Db::scalar(sql).toLongLong();
}

// Counts the paints of the status text while the import runs: a timer asks for one every 20 ms.
class PaintWatch : public QObject
{
public:
    explicit PaintWatch(QLabel* label) : m_label(label)
    {
        label->installEventFilter(this);
        m_ticks.setInterval(20);
        QObject::connect(&m_ticks, &QTimer::timeout, label, [label] { label->update(); });
    }
    void start()
    {
        m_paints = 0;
        m_longestGap = 0;
        m_clock.start();
        m_last = 0;
        m_ticks.start();
    }
    void stop() { m_ticks.stop(); }
    int paints() const { return m_paints; }
    qint64 longestGap() const { return std::max(m_longestGap, m_clock.elapsed() - m_last); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_label && event->type() == QEvent::Paint && m_ticks.isActive() &&
            m_label->text() == QLatin1String("Importing Survey File(s)......")) {
            ++m_paints;
            const qint64 now = m_clock.elapsed();
            m_longestGap = std::max(m_longestGap, now - m_last);
            m_last = now;
        }
        return false;
    }

private:
    QLabel* m_label;
    QTimer m_ticks;
    QElapsedTimer m_clock;
    int m_paints = 0;
    qint64 m_last = 0;
    qint64 m_longestGap = 0;
};

// Another program (Python's sqlite3) holding the write lock of the database for `seconds`: once `afterRead` log rows
// are marked read, and it has waited for the lock itself. It prints a line once it is ready to watch.
void lockFor(QProcess& other, const QString& database, int seconds, int afterRead)
{
    other.start(QStringLiteral("/usr/bin/python3"),
                {QStringLiteral("-c"),
                 QStringLiteral("import sqlite3, sys, time\n"
                                "c = sqlite3.connect(sys.argv[1], isolation_level=None, timeout=60)\n"
                                "print('ready', flush=True)\n"
                                "while c.execute('select count(*) from log where Status=1').fetchone()[0] < "
                                "int(sys.argv[3]):\n"
                                "    time.sleep(0.005)\n"
                                "c.execute('begin immediate')\n"
                                "print('locked', flush=True)\n"
                                "time.sleep(float(sys.argv[2]))\n"
                                "c.execute('commit')\n"),
                 database, QString::number(seconds), QString::number(afterRead)});
}

// Fills the folder's disk until `kilobytes` are left.
bool fillDisk(const QString& folder, qint64 kilobytes)
{
    QFile filler(QDir(folder).filePath(QStringLiteral("filler.bin")));
    if (!filler.open(QIODevice::WriteOnly))
        return false;
    const QByteArray block(4096, 'x');
    QStorageInfo disk(folder);
    while (disk.bytesAvailable() > kilobytes * 1024 + 4096) {
        if (filler.write(block) != block.size() || !filler.flush())
            break;
        disk.refresh();
    }
    filler.close();
    disk.refresh();
    std::printf("left on the disk before Import: %lld KB\n", disk.bytesAvailable() / 1024);
    return true;
}

// The import under one fault: timed once, then what it showed and what it stored.
int importUnderFault(frmReading* window, const QString& database, int workbooks, int lockBefore, int lockDuring)
{
    QProcess sqlite;
    if (lockBefore > 0 || lockDuring > 0) {
        lockFor(sqlite, database, std::max(lockBefore, lockDuring), lockBefore > 0 ? 0 : workbooks / 4);
        // Before Import it holds the lock; for a lock during the run it watches the log.
        const QByteArray awaited = lockBefore > 0 ? "locked" : "ready";
        QByteArray said;
        while (!said.contains(awaited) && sqlite.waitForReadyRead(60000))
            said += sqlite.readAllStandardOutput();
        if (!said.contains(awaited)) {
            std::fprintf(stderr, "the other program did not start\n");
            return 1;
        }
    }
    MsgBox::clearRecords();
    QElapsedTimer timer;
    timer.start();
    window->cmdImport_Click();
    const double seconds = timer.nsecsElapsed() / 1e9;
    sqlite.waitForFinished(120000);
    std::printf("the other program's lock ended %.3f s after Import began\n", timer.nsecsElapsed() / 1e9);
    std::printf("import of %d workbooks: %.3f s, %lld messages\n", workbooks, seconds, qint64(MsgBox::shown().size()));
    for (const MsgBox::Shown& shown : MsgBox::shown().first(std::min<qsizetype>(MsgBox::shown().size(), 5)))
        std::printf("  message: %s\n", qPrintable(QString(shown.text).replace(QStringLiteral("\r\n"), " / ")));
    const auto marked = count(QStringLiteral("select count(*) from log where Status=1"));
    // A log row marked read whose workbook's answers are not all stored.
    const auto partial = count(
        QStringLiteral("select count(*) from log l where Status=1 and (select count(*) from feedbackobjective o where "
                       "o.respondentid=l.respid and o.surveydate='2024-03-15') + (select count(*) from "
                       "feedbackdescriptive d where "
                       "d.respondentid=l.respid and d.surveydate='2024-03-15') <> %1")
            .arg(Questions));
    const auto complete =
        count(QStringLiteral("select count(*) from respondent r where (select count(*) from feedbackobjective o where "
                             "o.respondentid=r.respondentid and o.surveydate='2024-03-15') + (select count(*) from "
                             "feedbackdescriptive d "
                             "where d.respondentid=r.respondentid and d.surveydate='2024-03-15') = %1")
                  .arg(Questions));
    std::printf("log rows marked read: %lld (of them with answers missing: %lld); workbooks with every answer "
                "stored: %lld\n",
                marked, partial, complete);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    BenchApp app(argc, argv);
    const int workbooks = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    int lockBefore = 0;
    int lockDuring = 0;
    QString folder;
    qint64 leaveKb = -1;
    for (int i = 2; i + 1 < argc; i += 2) {
        const QByteArray option(argv[i]);
        if (option == "--lock-before")
            lockBefore = std::atoi(argv[i + 1]);
        else if (option == "--lock-during")
            lockDuring = std::atoi(argv[i + 1]);
        else if (option == "--folder")
            folder = QString::fromLocal8Bit(argv[i + 1]);
        else if (option == "--leave-kb")
            leaveKb = std::atoll(argv[i + 1]);
    }
    QTemporaryDir dir;
    const QString programDir = folder.isEmpty() ? dir.path() : folder;
    const QString pythonDb = QDir(dir.path()).filePath(QStringLiteral("python.db"));
    const auto prepare = [&](const QString& database) {
        return seed(database, workbooks) && QFile::copy(database, pythonDb);
    };
    if (!startProgramIn(programDir, prepare)) {
        std::fprintf(stderr, "cannot prepare the program's folder\n");
        return 1;
    }
    std::printf("journal mode of the program's connection: %s\n",
                qPrintable(Db::scalar(QStringLiteral("pragma journal_mode")).toString()));

    SurveyExportContext context{QStringLiteral("Harbour Instruments"),
                                QStringLiteral("Respondent 1"),
                                QDate(2024, 3, 15),
                                false,
                                false,
                                QString(),
                                {}};
    MsgBox::setNextAnswer(MsgBox::No); // view
    const QString returned = QDir(dir.path()).filePath(QStringLiteral("returned"));
    QDir().mkpath(returned);
    if (!SurveyExport(context).toWriteToExcelSheet() ||
        !fillAndCopy(programFile(context.fileName), returned, workbooks)) {
        std::fprintf(stderr, "cannot make the returned workbooks\n");
        return 1;
    }
    QStringList paths;
    for (int k = 1; k <= workbooks; ++k)
        paths << QDir(returned).filePath(QStringLiteral("returned-%1.xlsx").arg(k));

    MDIMain main;
    main.resize(1024, 720);
    main.show();
    main.mnuReadMultipleFiles->trigger();
    frmReading* window = main.windows()->find<frmReading>();
    MsgBox::setNextFileNames(paths);
    window->cmdBrowse_Click();
    window->lstXlsFiles->selectAll();
    if (lockBefore > 0 || lockDuring > 0 || !folder.isEmpty()) {
        if (leaveKb >= 0 && !fillDisk(programDir, leaveKb))
            return 1;
        return importUnderFault(window, gDatabasePath, workbooks, lockBefore, lockDuring);
    }
    PaintWatch watch(main.findChild<QLabel*>(QStringLiteral("m_panelText")));
    const qint64 before = count(QStringLiteral("select (select count(*) from feedbackobjective) + "
                                               "(select count(*) from feedbackdescriptive)"));

    const auto import = [&] {
        MsgBox::clearRecords();
        watch.start();
        QElapsedTimer timer;
        timer.start();
        window->cmdImport_Click();
        const double seconds = timer.nsecsElapsed() / 1e9;
        watch.stop();
        if (MsgBox::shown().size() != 1 || MsgBox::shown().first().text != QLatin1String("Import Done....")) {
            for (const MsgBox::Shown& shown : MsgBox::shown())
                std::fprintf(stderr, "%s\n", qPrintable(shown.text));
            return -1.0;
        }
        return seconds;
    };
    const double ours = import();
    const qint64 after = count(QStringLiteral("select (select count(*) from feedbackobjective) + "
                                              "(select count(*) from feedbackdescriptive)"));
    const qint64 marked = count(QStringLiteral("select count(*) from log where Status=1"));
    std::printf("import of %d workbooks through \"Read Xls File\": %.3f s; %lld answers stored (%lld before), "
                "%lld log rows marked read\n",
                workbooks, ours, after - before, before, marked);
    std::printf("status text painted %d times meanwhile, at most %lld ms apart\n", watch.paints(), watch.longestGap());
    const double again = import();
    const qint64 afterAgain = count(QStringLiteral("select (select count(*) from feedbackobjective) + "
                                                   "(select count(*) from feedbackdescriptive)"));
    std::printf("importing the same workbooks again: %.3f s; answer rows %lld (%s)\n", again, afterAgain,
                afterAgain == after ? "unchanged" : "CHANGED");
    if (ours < 0 || again < 0 || after - before != qint64(workbooks) * Questions || afterAgain != after)
        return 1;

    const double theirs = pythonSeconds(pythonDb, returned, workbooks);
    std::printf("openpyxl and sqlite3 doing the same: %.3f s (%.1f times our time)\n", theirs, theirs / ours);
    return 0;
}
