// View in the satisfaction index window: 100,000 answers of one customer, 20 parameters over 50 dates, every
// parameter and the whole range chosen. Prints each run and the median in milliseconds.
#include "AnswerSeed.h"
#include "BenchFolder.h"
#include "analysis/frmSatisfactionIndex.h"
#include "platform/dialogs/MsgBox.h"
#include "platform/report/ReportControl.h"
#include "shell/MDIMain.h"

#include <QApplication>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QListWidget>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    MsgBox::setTestMode(true);
    ReportControl::setTestMode(true);
    const AnswerSeed seed;
    QTemporaryDir folder;
    if (!folder.isValid() || !startProgramIn(folder.path(), [&](const QString& db) { return seed.fill(db); }))
        return 1;

    MDIMain main;
    main.show();
    auto* window = main.openChild<frmSatisfactionIndex>(true);
    window->dtFrom->setDate(seed.date(0));
    window->dtTo->setDate(seed.date(seed.dates - 1));
    window->lstParameter->selectAll();

    QList<qint64> runs;
    for (int i = 0; i < 7; ++i) {
        QElapsedTimer timer;
        timer.start();
        window->cmdView_Click();
        QApplication::processEvents();
        runs << timer.elapsed();
        std::printf("view %d: %lld ms\n", i + 1, static_cast<long long>(runs.last()));
    }
    std::sort(runs.begin(), runs.end());
    std::printf("median view: %lld ms (%d answers, %d parameters x %d dates)\n", static_cast<long long>(runs[3]),
                seed.parameters * seed.dates * seed.respondents, seed.parameters, seed.dates);
    return window->isExpanded() ? 0 : 1;
}
