// Single-statement inserts through the shared connection, each committing on its own, as the answer saves and the
// report tables write them. Prints the connection's journal mode and the median time of the runs.
#include "BenchFolder.h"
#include "platform/dialogs/MsgBox.h"
#include "shell/Db.h"
#include "shell/ProviderError.h"
#include "shell/gblGlobal.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

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

qint64 insertRows(const QVariantList& keys, int count)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < count; ++i)
        Db::exec(QStringLiteral("insert into feedbackobjective (respondentid, questionid, surveyid, surveydate, "
                                "weightage, score) values (?, ?, ?, ?, ?, ?)"),
                 {keys[0], keys[1], i, QDate(2024, 1, 1).addDays(i % 365), i % 5 + 1, i % 10 + 1});
    return timer.elapsed();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    MsgBox::setTestMode(true);
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
        std::vector<qint64> times;
        for (int r = 0; r < runs; ++r) {
            times.push_back(insertRows(keys, count));
            std::printf("run %d: %d inserts in %lld ms\n", r + 1, count, static_cast<long long>(times.back()));
        }
        std::sort(times.begin(), times.end());
        const qint64 median = times[times.size() / 2];
        std::printf("median: %lld ms, %.3f ms per insert\n", static_cast<long long>(median), double(median) / count);
    } catch (const ProviderError& e) {
        for (const ErrorRecord& record : e.records())
            std::fprintf(stderr, "%s\n", qPrintable(record.description));
        return 1;
    }
    toCloseConnection();
    return 0;
}
