// Times opening the composition window, adding a question and moving one, on a catalogue of many parameters and
// a long survey, in a fresh program folder of its own.

#include "BenchFolder.h"
#include "BenchRun.h"
#include "platform/grid/FlexGrid.h"
#include "shell/Db.h"
#include "shell/Transaction.h"
#include "shell/gblGlobal.h"
#include "surveys/ParameterTree.h"
#include "surveys/frmNewSurvey.h"

#include <QTemporaryDir>

#include <cstdio>

namespace
{

void seed(int parameters, int perParameter, int surveySize, const QDate& date)
{
    Transaction t;
    Db::exec(QStringLiteral("insert into customer (custname) values ('Acme')"));
    Db::exec(QStringLiteral("insert into respondent (custid, respondentname) values (1, 'Ann')"));
    for (int p = 1; p <= parameters; ++p) {
        Db::exec(QStringLiteral("insert into parameter (parametername) values (?)"),
                 {QStringLiteral("Parameter %1").arg(p, 3, 10, QLatin1Char('0'))});
        for (int q = 1; q <= perParameter; ++q)
            Db::exec(QStringLiteral("insert into questions (question, Type, paramid) values (?, ?, ?)"),
                     {QStringLiteral("Question %1 of parameter %2").arg(q).arg(p), q % 4 != 0 ? 1 : 0, p});
    }
    Db::exec(QStringLiteral("insert into survey (sdate, custid) values (?, 1)"), {date});
    for (int i = 1; i <= surveySize; ++i)
        Db::exec(QStringLiteral("insert into responquesindex (respondentid, questionid, surveyid, \"Order\") "
                                "values (1, ?, 1, ?)"),
                 {i * 3, i});
    t.commit();
}

} // namespace

int main(int argc, char** argv)
{
    BenchApp app(argc, argv);
    const int parameters = argc > 1 ? std::atoi(argv[1]) : 500;
    const int perParameter = argc > 2 ? std::atoi(argv[2]) : 20;
    const int surveySize = argc > 3 ? std::atoi(argv[3]) : 200;
    const int runs = 5;
    QTemporaryDir dir;
    if (!dir.isValid() || !startProgramIn(dir.path()))
        return 1;
    const QDate date(2031, 3, 14);
    seed(parameters, perParameter, surveySize, date);
    std::printf("%d parameters x %d questions, survey of %d questions\n", parameters, perParameter, surveySize);

    QList<double> open, add, move;
    for (int run = 0; run < runs; ++run) {
        frmNewSurvey* w = nullptr;
        open << timeMs([&] {
            w = new frmNewSurvey;
            w->Form_Load();
            w->toLoadSurvey({QStringLiteral("Acme"), QStringLiteral("Ann"), date});
            w->show();
        });
        // A question not yet in the survey, inserted in the middle.
        QTreeWidgetItem* parameter = w->trvParameter->topLevelItem(parameters - 1 - run);
        w->trvParameter->setCurrentItem(parameter->child(1));
        w->grdParamAndQuest->setRow(surveySize / 2);
        add << timeMs([&] { w->cmdAdd_Click(); });
        w->grdParamAndQuest->setRow(surveySize / 2 + 10);
        move << timeMs([&] { w->cmdUpward_Click(); });
        delete w;
    }
    printTimes("open composition window", open);
    printTimes("add a question", add);
    printTimes("move a question up", move);
    const int rows = Db::scalar(QStringLiteral("select count(*) from responquesindex")).toInt();
    std::printf("survey now holds %d questions\n", rows);
    toCloseConnection();
    return 0;
}
