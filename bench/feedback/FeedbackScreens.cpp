// Pictures of the feedback window with a survey of forty questions and a long written answer, in the main window
// at 1024x720 and maximised: bench_feedbackscreens OUTDIR (run under xvfb-run with a screen of 1280x1024 or more).

#include "BenchFolder.h"
#include "BenchRun.h"
#include "FeedbackSeed.h"
#include "feedback/frmFeedBackObj.h"
#include "platform/grid/FlexGrid.h"
#include "shell/MDIMain.h"
#include "shell/gblGlobal.h"

#include <QAction>
#include <QLineEdit>
#include <QScreen>
#include <QTemporaryDir>

int main(int argc, char** argv)
{
    BenchApp app(argc, argv, false);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QTemporaryDir dir;
    if (!dir.isValid() || !startProgramIn(dir.path()))
        return 1;
    const QDate date(2031, 3, 14);
    seedFeedback(40, date,
                 QStringLiteral("Deliveries were mostly on time, but the paperwork that came with them was often "
                                "incomplete and our stores had to call back for the missing delivery notes."));
    Db::exec(QStringLiteral("insert into log (custname, respname, respid, surveyid, sdate, xlsfilename) values "
                            "('Acme Engineering Works', 'Ann Carter', 1, 1, ?, "
                            "'Acme Engineering Works_Ann Carter_14-03-2031.xlsx')"),
             {date});

    MDIMain main;
    main.resize(1024, 720);
    main.show();
    main.mnuObjective->trigger();
    auto* w = main.windows()->find<frmFeedBackObj>();
    if (!w)
        return 1;
    // The editor over the long written answer of row 4, with its caret at the start.
    w->SetEditTextBox(frmFeedBackObj::ColDescription, 4);
    w->txtDtls->setCursorPosition(0);
    saveShot(&main, out + QStringLiteral("/feedback_1024x720.png"));
    saveShot(w, out + QStringLiteral("/frmFeedBackObj.png"));
    w->grdDtls->setTopRow(30);
    saveShot(w, out + QStringLiteral("/frmFeedBackObj_scrolled.png"));
    main.showMaximized();
    // Without a window manager the frame keeps its size; it is given the whole screen instead.
    main.setGeometry(main.screen()->availableGeometry());
    saveShot(&main, out + QStringLiteral("/feedback_maximised.png"));
    toCloseConnection();
    return 0;
}
