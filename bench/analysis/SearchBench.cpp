// Times a keyword search through the search window, from the Search button to the filled list: 100,000 answers
// (80,000 scored, 20,000 written) and 5,000 actions, with about 10,000 hits. bench_searchbench [RUNS]

#include "BenchFolder.h"
#include "analysis/frmSearch.h"
#include "platform/dialogs/MsgBox.h"
#include "shell/gblGlobal.h"

#include <QApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>

namespace
{

constexpr int kCustomers = 50;
constexpr int kRespondentsPerCustomer = 5;
constexpr int kParameters = 10;
constexpr int kQuestionsPerParameter = 10; // the last two of each are written answers
constexpr int kScoredAnswers = 80000;
constexpr int kWrittenAnswers = 20000;
constexpr int kActions = 5000;

bool exec(QSqlQuery& q, const QString& sql, const QVariantList& values)
{
    if (!q.prepare(sql))
        return false;
    for (const QVariant& v : values)
        q.addBindValue(v);
    if (q.exec())
        return true;
    std::fprintf(stderr, "%s\n", qPrintable(q.lastError().text()));
    return false;
}

// Question 3 of parameters 1 to 7 mentions delivery: 7 of 80 scored questions, 7,000 hits. One written answer in
// 10 and one action in 5 mention it too, in other cases: 2,000 + 1,000 more.
QString questionText(int parameter, int question)
{
    if (question == 3 && parameter <= 7)
        return QStringLiteral("How reliable was Delivery of order group %1?").arg(parameter);
    return QStringLiteral("How satisfied are you with aspect %1 of área %2?").arg(question).arg(parameter);
}

bool seed(const QString& path)
{
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("seed"));
        db.setDatabaseName(path);
        ok = db.open() && db.transaction();
        QSqlQuery q(db);
        for (int c = 1; ok && c <= kCustomers; ++c) {
            ok = exec(q, QStringLiteral("insert into customer (custname) values (?)"),
                      {QStringLiteral("Customer %1").arg(c)});
            for (int r = 0; ok && r < kRespondentsPerCustomer; ++r)
                ok = exec(q, QStringLiteral("insert into respondent (custid, respondentname) values (?, ?)"),
                          {c, QStringLiteral("Respondent %1").arg(r)});
        }
        for (int p = 1; ok && p <= kParameters; ++p) {
            ok = exec(q, QStringLiteral("insert into parameter (parametername) values (?)"),
                      {QStringLiteral("Parameter %1").arg(p)});
            for (int n = 1; ok && n <= kQuestionsPerParameter; ++n)
                ok = exec(q, QStringLiteral("insert into questions (question, Type, paramid) values (?, ?, ?)"),
                          {questionText(p, n), n <= 8 ? 1 : 0, p});
        }
        const int respondents = kCustomers * kRespondentsPerCustomer;
        const QDate first(2030, 1, 15);
        for (int i = 0; ok && i < kScoredAnswers; ++i) {
            const int question = (i % kParameters) * kQuestionsPerParameter + 1 + (i / kParameters) % 8;
            ok = exec(q,
                      QStringLiteral("insert into feedbackobjective (respondentid, questionid, surveyid, surveydate, "
                                     "weightage, score) values (?, ?, 1, ?, 5, 7)"),
                      {1 + i % respondents, question, first.addMonths(i % 24)});
        }
        for (int i = 0; ok && i < kWrittenAnswers; ++i) {
            const int question = (i % kParameters) * kQuestionsPerParameter + 9 + i % 2;
            const QString answer = i % 10 == 0 ? QStringLiteral("The DELIVERY didn't come on time, %1").arg(i)
                                               : QStringLiteral("Service was fine, nothing more to say (%1)").arg(i);
            ok = exec(q,
                      QStringLiteral("insert into feedbackdescriptive (respondentid, questionid, surveyid, "
                                     "surveydate, weightage, Description) values (?, ?, 1, ?, 5, ?)"),
                      {1 + i % respondents, question, first.addMonths(i % 24), answer});
        }
        for (int i = 0; ok && i < kActions; ++i) {
            const QString action = i % 5 == 0 ? QStringLiteral("Review the delivery schedule, step %1").arg(i)
                                              : QStringLiteral("Call the customer back, step %1").arg(i);
            ok = exec(q,
                      QStringLiteral("insert into actionplan (customerid, Action, \"Date\", targetdate, Status) "
                                     "values (?, ?, ?, ?, 0)"),
                      {1 + i % kCustomers, action, first.addDays(i / kCustomers), first.addDays(i / kCustomers + 30)});
        }
        ok = ok && db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("seed"));
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    MsgBox::setTestMode(true);
    QTemporaryDir dir;
    if (!dir.isValid() || !startProgramIn(dir.path(), seed)) {
        std::fprintf(stderr, "cannot prepare the program's folder\n");
        return 1;
    }

    int hits = 0;
    QList<qint64> times;
    {
        frmSearch window;
        window.Form_Load();
        window.txtKeyword->setText(QStringLiteral("delivery"));
        for (int run = 0; run < runs; ++run) {
            QElapsedTimer timer;
            timer.start();
            window.cmdOK_Click();
            times << timer.elapsed();
            hits = window.lsvDtls->topLevelItemCount();
        }
    }
    toCloseConnection();
    std::sort(times.begin(), times.end());
    std::printf("search with %d hits over %d answers and %d actions, list filled: median %lld ms (min %lld, max "
                "%lld, %d runs)\n",
                hits, kScoredAnswers + kWrittenAnswers, kActions, times[times.size() / 2], times.first(), times.last(),
                runs);
    if (!MsgBox::shown().isEmpty())
        std::printf("messages shown: %lld (first: %s)\n", static_cast<long long>(MsgBox::shown().size()),
                    qPrintable(MsgBox::shown().first().text));
    return 0;
}
