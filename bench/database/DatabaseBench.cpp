// Single-statement inserts through the shared connection, each committing on its own, as the answer saves and the
// report tables write them. Prints the connection's journal mode and the median time of the runs.
#include "BenchFolder.h"
#include "BenchRun.h"
#include "shell/Db.h"
#include "shell/ProviderError.h"
#include "shell/gblGlobal.h"

#include <QDate>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace
{

// One respondent with one question to answer, made through the program's connection.
QVariantList seedAnswerKeys()
{
    Db::exec(QStringLiteral("insert into customer (custname) values (?)"), {QStringLiteral("Bench Ltd")});
    const QVariant custid = Db::scalar(QStringLiteral("select custid from customer"));
    Db::exec(QStringLiteral("insert into respondent (custid, respondentname, respondentdesignation) values (?, ?, ?)"),
             {custid, QStringLiteral("Ann"), QStringLiteral("CEO")});
    Db::exec(QStringLiteral("insert into parameter (parametername) values (?)"), {QStringLiteral("Delivery")});
    Db::exec(QStringLiteral("insert into questions (question, Type, paramid) values (?, 1, ?)"),
             {QStringLiteral("On time?"), Db::scalar(QStringLiteral("select paramid from parameter"))});
    return {Db::scalar(QStringLiteral("select respondentid from respondent")),
            Db::scalar(QStringLiteral("select questionid from questions"))};
}

void insertRows(const QVariantList& keys, int count)
{
    for (int i = 0; i < count; ++i)
        Db::exec(QStringLiteral("insert into feedbackobjective (respondentid, questionid, surveyid, surveydate, "
                                "weightage, score) values (?, ?, ?, ?, ?, ?)"),
                 {keys[0], keys[1], i, QDate(2024, 1, 1).addDays(i % 365), i % 5 + 1, i % 10 + 1});
}

} // namespace

int main(int argc, char** argv)
{
    BenchApp app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 3;
    QTemporaryDir folder;
    if (count < 1 || runs < 1 || !folder.isValid() || !startProgramIn(folder.path()))
        return 1;
    try {
        const QVariantList keys = seedAnswerKeys();
        std::printf("journal_mode %s, synchronous %s\n",
                    qPrintable(Db::scalar(QStringLiteral("PRAGMA journal_mode")).toString()),
                    qPrintable(Db::scalar(QStringLiteral("PRAGMA synchronous")).toString()));
        const double ms = medianOfRuns("inserts", runs, [&] { insertRows(keys, count); });
        std::printf("median: %.0f ms for %d inserts, %.3f ms per insert\n", ms, count, ms / count);
    } catch (const ProviderError& e) {
        for (const ErrorRecord& record : e.records())
            std::fprintf(stderr, "%s\n", qPrintable(record.description));
        return 1;
    }
    toCloseConnection();
    return 0;
}
