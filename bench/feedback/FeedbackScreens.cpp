// Pictures of the feedback window with a survey of forty questions and a long written answer, in the main window
// at 1024x720 and maximised: feedback_screens OUTDIR (run under xvfb-run with a screen of 1280x1024 or more).

#include "BenchFolder.h"
#include "FeedbackSeed.h"
#include "feedback/frmFeedBackObj.h"
#include "platform/dialogs/MsgBox.h"
#include "platform/grid/FlexGrid.h"
#include "shell/MDIMain.h"
#include "shell/gblGlobal.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

namespace
{

void save(QWidget* w, const QString& path)
{
    for (int i = 0; i < 10; ++i) {
        QCoreApplication::processEvents();
        QThread::msleep(30);
    }
    if (!w->grab().save(path))
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QTemporaryDir dir;
    MsgBox::setTestMode(true);
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
    save(&main, out + QStringLiteral("/feedback_1024x720.png"));
    save(w, out + QStringLiteral("/frmFeedBackObj.png"));
    w->grdDtls->setTopRow(30);
    save(w, out + QStringLiteral("/frmFeedBackObj_scrolled.png"));
    main.showMaximized();
    // Without a window manager the frame keeps its size; it is given the whole screen instead.
    main.setGeometry(main.screen()->availableGeometry());
    save(&main, out + QStringLiteral("/feedback_maximised.png"));
    toCloseConnection();
    return 0;
}
