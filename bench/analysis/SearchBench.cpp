// Times a keyword search through the search window, from the Search button to the filled list: 100,000 answers
// (80,000 scored, 20,000 written) and 5,000 actions, with about 10,000 hits. bench_searchbench [RUNS]

#include "BenchFolder.h"
#include "BenchRun.h"
#include "analysis/frmSearch.h"
#include "platform/dialogs/MsgBox.h"
#include "shell/gblGlobal.h"

#include <QDate>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTreeWidget>

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
    SeedDatabase db(path);
    for (int c = 1; c <= kCustomers; ++c) {
        db.exec(QStringLiteral("insert into customer (custname) values (?)"), {QStringLiteral("Customer %1").arg(c)});
        for (int r = 0; r < kRespondentsPerCustomer; ++r)
            db.exec(QStringLiteral("insert into respondent (custid, respondentname) values (?, ?)"),
                    {c, QStringLiteral("Respondent %1").arg(r)});
    }
    for (int p = 1; p <= kParameters; ++p) {
        db.exec(QStringLiteral("insert into parameter (parametername) values (?)"),
                {QStringLiteral("Parameter %1").arg(p)});
        for (int n = 1; n <= kQuestionsPerParameter; ++n)
            db.exec(QStringLiteral("insert into questions (question, Type, paramid) values (?, ?, ?)"),
                    {questionText(p, n), n <= 8 ? 1 : 0, p});
    }
    const int respondents = kCustomers * kRespondentsPerCustomer;
    const QDate first(2030, 1, 15);
    for (int i = 0; i < kScoredAnswers; ++i)
        db.exec(QStringLiteral("insert into feedbackobjective (respondentid, questionid, surveyid, surveydate, "
                               "weightage, score) values (?, ?, 1, ?, 5, 7)"),
                {1 + i % respondents, (i % kParameters) * kQuestionsPerParameter + 1 + (i / kParameters) % 8,
                 first.addMonths(i % 24)});
    for (int i = 0; i < kWrittenAnswers; ++i)
        db.exec(QStringLiteral("insert into feedbackdescriptive (respondentid, questionid, surveyid, surveydate, "
                               "weightage, Description) values (?, ?, 1, ?, 5, ?)"),
                {1 + i % respondents, (i % kParameters) * kQuestionsPerParameter + 9 + i % 2, first.addMonths(i % 24),
                 i % 10 == 0 ? QStringLiteral("The DELIVERY didn't come on time, %1").arg(i)
                             : QStringLiteral("Service was fine, nothing more to say (%1)").arg(i)});
    for (int i = 0; i < kActions; ++i)
        db.exec(QStringLiteral("insert into actionplan (customerid, Action, \"Date\", targetdate, Status) "
                               "values (?, ?, ?, ?, 0)"),
                {1 + i % kCustomers,
                 i % 5 == 0 ? QStringLiteral("Review the delivery schedule, step %1").arg(i)
                            : QStringLiteral("Call the customer back, step %1").arg(i),
                 first.addDays(i / kCustomers), first.addDays(i / kCustomers + 30)});
    return db.commit();
}

} // namespace

int main(int argc, char** argv)
{
    BenchApp app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    QTemporaryDir dir;
    if (!dir.isValid() || !startProgramIn(dir.path(), seed)) {
        std::fprintf(stderr, "cannot prepare the program's folder\n");
        return 1;
    }

    int hits = 0;
    QList<double> times;
    {
        frmSearch window;
        window.Form_Load();
        window.txtKeyword->setText(QStringLiteral("delivery"));
        for (int run = 0; run < runs; ++run) {
            times << timeMs([&] { window.cmdOK_Click(); });
            hits = window.lsvDtls->topLevelItemCount();
        }
    }
    toCloseConnection();
    std::printf("search with %d hits over %d answers and %d actions, list filled:\n", hits,
                kScoredAnswers + kWrittenAnswers, kActions);
    printTimes("search", times);
    if (!MsgBox::shown().isEmpty())
        std::printf("messages shown: %lld (first: %s)\n", static_cast<long long>(MsgBox::shown().size()),
                    qPrintable(MsgBox::shown().first().text));
    return 0;
}
