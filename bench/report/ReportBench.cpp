// Times the whole run of a report into a PDF file: reading the definition, reading the rows from the
// database file, laying out the pages and writing the PDF. The survey response report is the heaviest of
// the program's reports (two group levels, averages, wrapped written answers).

#include "BenchFolder.h"
#include "BenchRun.h"
#include "platform/report/ReportControl.h"
#include "shell/DatabaseFile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace
{

bool fill(const QString& databasePath, int rows)
{
    SeedDatabase db(databasePath);
    for (int i = 0; i < rows; ++i) {
        const bool scored = i < rows * 4 / 5;
        db.exec(QStringLiteral("INSERT INTO report (responname, question, Parameter, sc, wt, Type, Reply) "
                               "VALUES (?, ?, ?, ?, ?, ?, ?)"),
                {QStringLiteral("Respondent %1").arg(i % 37),
                 QStringLiteral("How satisfied are you with our service on point %1 of the survey?").arg(i % 50),
                 QStringLiteral("Parameter %1").arg(i % 40, 2, 10, QLatin1Char('0')),
                 scored ? QVariant(1 + i % 10) : QVariant(), 1 + i % 10, scored ? 1 : 0,
                 scored ? QVariant()
                        : QVariant(QStringLiteral("A written answer long enough to wrap over two lines in its column, "
                                                  "as customers write them."))});
    }
    return db.commit();
}

} // namespace

int main(int argc, char** argv)
{
    BenchApp app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 5000;
    QTemporaryDir dir;
    const QString resources = QStringLiteral(QUORVANE_SOURCE_DIR "/resources/");
    const QString database = dir.filePath(QStringLiteral("Pellorin.mdb"));
    QString error;
    if (!DatabaseFile::createFromSchema(database, resources + QStringLiteral("schema.sql"), &error) ||
        !fill(database, rows)) {
        std::fprintf(stderr, "cannot prepare the database: %s\n", qPrintable(error));
        return 1;
    }
    ReportControl control;
    control.setFormula(0, QStringLiteral("CompanyName='Harbour Instruments Ltd'"));
    control.setDataFile(0, database);
    control.setReportFileName(resources + QStringLiteral("surveyresponse.rpt"));

    QList<qint64> times;
    for (int run = 0; run < 5; ++run) {
        const QString pdf = dir.filePath(QStringLiteral("report-%1.pdf").arg(run));
        QElapsedTimer timer;
        timer.start();
        if (!control.renderToPdf(pdf, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        times << timer.elapsed();
        if (run == 0)
            std::printf("%d rows, %lld bytes of PDF\n", rows, static_cast<long long>(QFile(pdf).size()));
    }
    std::sort(times.begin(), times.end());
    std::printf("render to PDF: best %lld ms, median %lld ms, worst %lld ms (5 runs)\n",
                static_cast<long long>(times.first()), static_cast<long long>(times[2]),
                static_cast<long long>(times.last()));
    return 0;
}
