// Times the satisfaction overview's Report button over 20,000 answers and 2,000 actions of one customer: the
// refill of its report table through the shared connection and the report rendered to PDF.
// bench_overviewreport [runs]

#include "BenchFolder.h"
#include "analysis/frmDtoDSatisfactionOverview.h"
#include "platform/dialogs/MsgBox.h"
#include "platform/report/ReportControl.h"
#include "shell/MDIMain.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace
{

const QDate kFirstDay(2020, 1, 6);
constexpr int kRespondents = 20;
constexpr int kParameters = 10;
constexpr int kQuestionsPerParameter = 5; // the last of each parameter is descriptive
constexpr int kDates = 20;
constexpr int kActions = 2000;

bool exec(QSqlQuery& q, const QVariantList& values)
{
    for (const QVariant& v : values)
        q.addBindValue(v);
    if (q.exec())
        return true;
    std::fprintf(stderr, "%s\n", qPrintable(q.lastError().text()));
    return false;
}

bool seedAnswers(QSqlDatabase& db)
{
    QSqlQuery q(db);
    bool ok = q.exec(QStringLiteral("insert into customer (custname) values ('Harbour Foods')"));
    q.prepare(QStringLiteral("insert into respondent (custid, respondentname) values (1, ?)"));
    for (int r = 1; ok && r <= kRespondents; ++r)
        ok = exec(q, {QStringLiteral("Respondent %1").arg(r)});
    QSqlQuery p(db);
    p.prepare(QStringLiteral("insert into parameter (parametername) values (?)"));
    q.prepare(QStringLiteral("insert into questions (question, Type, paramid) values (?, ?, ?)"));
    for (int i = 1; ok && i <= kParameters; ++i) {
        ok = exec(p, {QStringLiteral("Parameter %1").arg(i, 2, 10, QLatin1Char('0'))});
        for (int k = 1; ok && k <= kQuestionsPerParameter; ++k)
            ok = exec(q, {QStringLiteral("How satisfied are you with point %1 of parameter %2?").arg(k).arg(i),
                          k < kQuestionsPerParameter ? 1 : 0, i});
    }
    QSqlQuery s(db), w(db);
    s.prepare(QStringLiteral("insert into feedbackobjective (respondentid, questionid, surveydate, weightage, score) "
                             "values (?, ?, ?, ?, ?)"));
    w.prepare(QStringLiteral("insert into feedbackdescriptive (respondentid, questionid, surveydate, weightage, "
                             "Description) values (?, ?, ?, ?, ?)"));
    const int questions = kParameters * kQuestionsPerParameter;
    for (int d = 0; ok && d < kDates; ++d) {
        const QString date = kFirstDay.addDays(7 * d).toString(Qt::ISODate);
        for (int r = 1; ok && r <= kRespondents; ++r)
            for (int question = 1; ok && question <= questions; ++question) {
                const int n = d + r + question;
                if (question % kQuestionsPerParameter != 0)
                    ok = exec(s, {r, question, date, n % 11, (n * 7) % 11});
                else
                    ok = exec(w, {r, question, date, n % 11,
                                  QStringLiteral("A written answer long enough to wrap over two lines in its "
                                                 "column, as customers write them.")});
            }
    }
    q.prepare(QStringLiteral("insert into actionplan (customerid, Action, \"Date\", targetdate, Status) "
                             "values (1, ?, ?, ?, ?)"));
    for (int a = 0; ok && a < kActions; ++a)
        ok = exec(q, {QStringLiteral("Improvement action %1").arg(a), kFirstDay.addDays(a).toString(Qt::ISODate),
                      kFirstDay.addDays(a + 30).toString(Qt::ISODate), a % 2});
    return ok;
}

bool seed(const QString& databasePath)
{
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("seed"));
        db.setDatabaseName(databasePath);
        ok = db.open() && db.transaction() && seedAnswers(db) && db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("seed"));
    return ok;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    QTemporaryDir dir;
    MsgBox::setTestMode(true);
    ReportControl::setTestMode(true);
    if (!dir.isValid() || !startProgramIn(dir.path(), seed))
        return 1;

    MDIMain main;
    auto* window = main.child<frmDtoDSatisfactionOverview>();
    window->dtFrom->setDate(kFirstDay);
    window->dtTo->setDate(kFirstDay.addDays(kActions));

    std::vector<double> total, render;
    for (int i = 0; i < runs; ++i) {
        ReportControl::clearRuns();
        QElapsedTimer t;
        t.start();
        window->cmdPrint_Click();
        total.push_back(t.nsecsElapsed() / 1e6);
        if (ReportControl::runs().size() != 1 || !MsgBox::shown().isEmpty()) {
            std::fprintf(stderr, "the report did not run\n");
            return 1;
        }
        QString error;
        t.restart();
        if (!main.crpReport->renderToPdf(dir.filePath(QStringLiteral("overview.pdf")), &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        render.push_back(t.nsecsElapsed() / 1e6);
    }
    const ReportControl::Run& last = ReportControl::runs().last();
    std::printf("overview report: %d rows, %d pages; Report button (refill and PDF) median %.0f ms, rendering alone "
                "median %.0f ms, over %d runs\n",
                last.rowCount, last.pageCount, median(total), median(render), runs);
    return 0;
}
