// Times the satisfaction overview's Report button over 20,000 answers and 2,000 actions of one customer: the
// refill of its report table through the shared connection and the report rendered to PDF.
// bench_overviewreport [runs]

#include "BenchFolder.h"
#include "BenchRun.h"
#include "analysis/frmDtoDSatisfactionOverview.h"
#include "platform/dialogs/MsgBox.h"
#include "platform/report/ReportControl.h"
#include "shell/MDIMain.h"

#include <QDateEdit>
#include <QTemporaryDir>

#include <cstdio>

namespace
{

const QDate kFirstDay(2020, 1, 6);
constexpr int kRespondents = 20;
constexpr int kParameters = 10;
constexpr int kQuestionsPerParameter = 5; // the last of each parameter is descriptive
constexpr int kDates = 20;
constexpr int kActions = 2000;

bool seed(const QString& databasePath)
{
    SeedDatabase db(databasePath);
    db.exec(QStringLiteral("insert into customer (custname) values ('Harbour Foods')"));
    for (int r = 1; r <= kRespondents; ++r)
        db.exec(QStringLiteral("insert into respondent (custid, respondentname) values (1, ?)"),
                {QStringLiteral("Respondent %1").arg(r)});
    for (int i = 1; i <= kParameters; ++i) {
        db.exec(QStringLiteral("insert into parameter (parametername) values (?)"),
                {QStringLiteral("Parameter %1").arg(i, 2, 10, QLatin1Char('0'))});
        for (int k = 1; k <= kQuestionsPerParameter; ++k)
            db.exec(QStringLiteral("insert into questions (question, Type, paramid) values (?, ?, ?)"),
                    {QStringLiteral("How satisfied are you with point %1 of parameter %2?").arg(k).arg(i),
                     k < kQuestionsPerParameter ? 1 : 0, i});
    }
    for (int d = 0; d < kDates; ++d) {
        const QString date = kFirstDay.addDays(7 * d).toString(Qt::ISODate);
        for (int r = 1; r <= kRespondents; ++r)
            for (int question = 1; question <= kParameters * kQuestionsPerParameter; ++question) {
                const int n = d + r + question;
                if (question % kQuestionsPerParameter != 0)
                    db.exec(QStringLiteral("insert into feedbackobjective (respondentid, questionid, surveydate, "
                                           "weightage, score) values (?, ?, ?, ?, ?)"),
                            {r, question, date, n % 11, (n * 7) % 11});
                else
                    db.exec(QStringLiteral("insert into feedbackdescriptive (respondentid, questionid, surveydate, "
                                           "weightage, Description) values (?, ?, ?, ?, ?)"),
                            {r, question, date, n % 11,
                             QStringLiteral("A written answer long enough to wrap over two lines in its column, as "
                                            "customers write them.")});
            }
    }
    for (int a = 0; a < kActions; ++a)
        db.exec(QStringLiteral("insert into actionplan (customerid, Action, \"Date\", targetdate, Status) "
                               "values (1, ?, ?, ?, ?)"),
                {QStringLiteral("Improvement action %1").arg(a), kFirstDay.addDays(a).toString(Qt::ISODate),
                 kFirstDay.addDays(a + 30).toString(Qt::ISODate), a % 2});
    return db.commit();
}

} // namespace

int main(int argc, char** argv)
{
    BenchApp app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    QTemporaryDir dir;
    if (!dir.isValid() || !startProgramIn(dir.path(), seed))
        return 1;

    MDIMain main;
    auto* window = main.child<frmDtoDSatisfactionOverview>();
    window->dtFrom->setDate(kFirstDay);
    window->dtTo->setDate(kFirstDay.addDays(kActions));

    QList<double> total, render;
    for (int i = 0; i < runs; ++i) {
        ReportControl::clearRuns();
        total << timeMs([&] { window->cmdPrint_Click(); });
        if (ReportControl::runs().size() != 1 || !MsgBox::shown().isEmpty()) {
            std::fprintf(stderr, "the report did not run\n");
            return 1;
        }
        QString error;
        bool rendered = false;
        render << timeMs([&] { rendered = main.crpReport->renderToPdf(dir.filePath("overview.pdf"), &error); });
        if (!rendered) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
    }
    const ReportControl::Run& last = ReportControl::runs().last();
    std::printf("overview report: %d rows, %d pages; Report button (refill and PDF) median %.0f ms, rendering alone "
                "median %.0f ms, over %d runs\n",
                last.rowCount, last.pageCount, median(total), median(render), runs);
    return 0;
}
