// View in the satisfaction index window: 100,000 answers of one customer, 20 parameters over 50 dates, every
// parameter and the whole range chosen. Prints each run and the median in milliseconds.
#include "AnswerSeed.h"
#include "BenchRun.h"
#include "analysis/frmSatisfactionIndex.h"
#include "shell/MDIMain.h"

#include <QDateEdit>
#include <QListWidget>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char** argv)
{
    BenchApp app(argc, argv);
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

    const double ms = medianOfRuns("view", 7, [&] { window->cmdView_Click(); });
    std::printf("median view: %.0f ms (%d answers, %d parameters x %d dates)\n", ms,
                seed.parameters * seed.dates * seed.respondents, seed.parameters, seed.dates);
    return window->isExpanded() ? 0 : 1;
}
