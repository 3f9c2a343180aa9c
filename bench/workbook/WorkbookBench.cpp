// Times the survey workbook's round: exporting a 60-question survey (the refill of the previous answers
// included), reading one returned workbook, and reading many of them, against openpyxl reading the same files.

#include "BenchFolder.h"
#include "BenchRun.h"
#include "feedback/SurveyWorkbookReader.h"
#include "platform/dialogs/MsgBox.h"
#include "shell/DatabaseFile.h"
#include "shell/gblGlobal.h"
#include "surveys/export/SurveyExport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/resource.h>

namespace
{

constexpr int Questions = 60;

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// One customer and respondent with a 60-question survey (every fifth question written), all answered once before.
bool seed(const QString& databasePath)
{
    SeedDatabase db(databasePath);
    db.exec(QStringLiteral("insert into customer (custid, custname) values (3, 'Harbour Instruments')"), {});
    db.exec(QStringLiteral("insert into respondent (respondentid, custid, respondentname) values (12, 3, 'Ann Lee')"),
            {});
    db.exec(QStringLiteral("insert into survey (surveyid, sdate, custid) values (7, '2024-03-15', 3)"), {});
    for (int p = 1; p <= 6; ++p)
        db.exec(QStringLiteral("insert into parameter (paramid, parametername) values (?, ?)"),
                {p, QStringLiteral("Parameter %1").arg(7 - p)});
    for (int i = 1; i <= Questions; ++i) {
        const bool scored = i % 5 != 0;
        db.exec(QStringLiteral("insert into questions (questionid, question, Type, paramid) values (?, ?, ?, ?)"),
                {i, QStringLiteral("Question %1: how well did we do on this point of our service to you?").arg(i),
                 scored ? 1 : 0, 1 + i % 6});
        db.exec(QStringLiteral("insert into responquesindex (respondentid, questionid, surveyid, \"Order\") "
                               "values (12, ?, 7, ?)"),
                {i, i});
        db.exec(scored ? QStringLiteral("insert into feedbackobjective (respondentid, questionid, surveyid, "
                                        "surveydate, weightage, score) values (12, ?, 5, '2023-09-01', ?, ?)")
                       : QStringLiteral("insert into feedbackdescriptive (respondentid, questionid, surveyid, "
                                        "surveydate, weightage, Description) values (12, ?, 5, '2023-09-01', ?, ?)"),
                {i, 1 + i % 10, scored ? QVariant(1 + i % 9) : QVariant(QStringLiteral("Earlier answer"))});
    }
    return db.commit();
}

// The respondent's part, as a spreadsheet program other than ours would write it.
bool fillIn(const QString& path)
{
    return !python(QStringLiteral("import sys, openpyxl\n"
                                  "wb = openpyxl.load_workbook(sys.argv[1])\n"
                                  "ws = wb['Sheet1']\n"
                                  "r = 14\n"
                                  "while r < 14 + 3 * 60 + 2:\n"
                                  "    if ws.cell(r, 9).value is None:\n"
                                  "        r += 1; continue\n"
                                  "    ws.cell(r, 4).value = 7\n"
                                  "    if ws.cell(r + 1, 2).value == 'Type your Answer here':\n"
                                  "        ws.cell(r + 1, 2).value = 'Quicker replies'; r += 3\n"
                                  "    else:\n"
                                  "        ws.cell(r, 3).value = 8; r += 2\n"
                                  "wb.save(sys.argv[1])\n"
                                  "print('ok')\n"),
                   {path})
                .isEmpty();
}

double openpyxlSeconds(const QString& folder, int files)
{
    const QByteArray out =
        python(QStringLiteral("import sys, time, openpyxl\n"
                              "folder, n = sys.argv[1], int(sys.argv[2])\n"
                              "scored = {str(i): i % 5 != 0 for i in range(1, 61)}\n"
                              "start = time.perf_counter()\n"
                              "for k in range(n):\n"
                              "    ws = openpyxl.load_workbook('%s/returned-%d.xlsx' % (folder, k))['Sheet1']\n"
                              "    head = [ws['I2'].value, ws['I3'].value, ws['I4'].value, ws['I5'].value]\n"
                              "    r, last, answers = 14, int(ws['I4'].value) * 3 + 15, []\n"
                              "    while r <= last:\n"
                              "        q = ws.cell(r, 9).value\n"
                              "        if q is None:\n"
                              "            r += 1; continue\n"
                              "        if scored.get(str(q)):\n"
                              "            answers.append((q, ws.cell(r, 4).value, ws.cell(r, 3).value)); r += 2\n"
                              "        else:\n"
                              "            answers.append((q, ws.cell(r, 4).value, ws.cell(r + 1, 2).value)); r += 3\n"
                              "    assert len(answers) == 60\n"
                              "print(time.perf_counter() - start)\n"),
               {folder, QString::number(files)});
    return out.isEmpty() ? -1 : out.toDouble();
}

} // namespace

int main(int argc, char** argv)
{
    BenchApp app(argc, argv);
    const int files = argc > 1 ? std::atoi(argv[1]) : 1000;
    QTemporaryDir dir;
    if (!startProgramIn(dir.path()) || !seed(QDir(dir.path()).filePath(QStringLiteral("Pellorin.mdb")))) {
        std::fprintf(stderr, "cannot prepare the program's folder\n");
        return 1;
    }

    // Export: the first run writes from the template, the later ones refill the logged file (as users re-export).
    QList<double> exportMs;
    QString exported;
    for (int run = 0; run < 21; ++run) {
        SurveyExportContext context{QStringLiteral("Harbour Instruments"),
                                    QStringLiteral("Ann Lee"),
                                    QDate(2024, 3, 15),
                                    false,
                                    false,
                                    QString(),
                                    {}};
        if (run > 0)
            MsgBox::setNextAnswer(MsgBox::Yes); // overwrite
        MsgBox::setNextAnswer(MsgBox::No);      // view
        QElapsedTimer timer;
        timer.start();
        const bool ok = SurveyExport(context).toWriteToExcelSheet();
        exportMs << timer.nsecsElapsed() / 1e6;
        if (!ok) {
            for (const MsgBox::Shown& shown : MsgBox::shown())
                std::fprintf(stderr, "%s\n", qPrintable(shown.text));
            std::fprintf(stderr, "export failed\n");
            return 1;
        }
        exported = programFile(context.fileName);
        MsgBox::clearRecords();
    }
    std::printf("export of a %d-question survey: median %.2f ms (first, from the template: %.2f ms)\n", Questions,
                median(exportMs), exportMs.first());

    const QString returnedDir = QDir(dir.path()).filePath(QStringLiteral("returned"));
    QDir().mkpath(returnedDir);
    const QString first = QDir(returnedDir).filePath(QStringLiteral("returned-0.xlsx"));
    if (!QFile::copy(exported, first) || !fillIn(first)) {
        std::fprintf(stderr, "cannot fill in the returned workbook\n");
        return 1;
    }
    for (int k = 1; k < files; ++k)
        QFile::copy(first, QDir(returnedDir).filePath(QStringLiteral("returned-%1.xlsx").arg(k)));

    QList<double> readMs;
    for (int run = 0; run < 201; ++run) {
        SurveyWorkbookReader::Content content;
        QString error;
        QElapsedTimer timer;
        timer.start();
        if (!SurveyWorkbookReader::read(first, &content, &error) || content.answers.size() != Questions) {
            std::fprintf(stderr, "read failed: %s\n", qPrintable(error));
            return 1;
        }
        readMs << timer.nsecsElapsed() / 1e6;
    }
    std::printf("reading one returned workbook: median %.3f ms\n", median(readMs));

    QList<double> manySeconds;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer timer;
        timer.start();
        for (int k = 0; k < files; ++k) {
            SurveyWorkbookReader::Content content;
            QString error;
            if (!SurveyWorkbookReader::read(QDir(returnedDir).filePath(QStringLiteral("returned-%1.xlsx").arg(k)),
                                            &content, &error)) {
                std::fprintf(stderr, "read failed: %s\n", qPrintable(error));
                return 1;
            }
        }
        manySeconds << timer.nsecsElapsed() / 1e9;
    }
    const double ours = median(manySeconds);
    std::printf("reading %d returned workbooks: median %.3f s; peak memory of the whole run %.1f MB\n", files, ours,
                peakMegabytes());
    const double theirs = openpyxlSeconds(returnedDir, files);
    std::printf("openpyxl reading the same %d workbooks: %.3f s (%.1f times our time)\n", files, theirs, theirs / ours);
    return 0;
}
