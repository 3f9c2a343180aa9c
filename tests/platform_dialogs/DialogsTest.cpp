#include "platform/dialogs/MsgBox.h"
#include "shell/Db.h"
#include "shell/gblGlobal.h"
#include "support/AppFixture.h"
#include "support/SpecialFiles.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCompleter>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QStringList>
#include <QTest>
#include <QTreeView>

#include <sys/stat.h>
#include <unistd.h>

namespace
{

// Answers the real dialogs as they come up: a file dialog once it has listed its folder, a message box once it
// has laid itself out. Answered from within the dialog's own event loop, so nothing races a timer.
class RealDialogs : public QObject
{
public:
    RealDialogs()
    {
        MsgBox::setTestMode(false);
        qApp->installEventFilter(this);
    }
    ~RealDialogs() override
    {
        qApp->removeEventFilter(this);
        MsgBox::setTestMode(true);
    }

    QString listedFolder;
    QStringList nameFilters;
    QStringList fileTypes;
    int boxWidth = 0;
    bool confirmsOverwrite = false;
    // The detail view as listed: each column's width and the width its texts need; all columns and the room for them.
    QList<int> columnWidths;
    QList<int> columnsNeed;
    int columnsLength = 0;
    int columnsRoom = 0;
    int dialogWidth = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Show)
            return false;
        if (auto* dialog = qobject_cast<QFileDialog*>(watched))
            watchFileDialog(dialog);
        else if (auto* box = qobject_cast<QMessageBox*>(watched))
            QMetaObject::invokeMethod(
                box,
                [this, box] {
                    boxWidth = box->width();
                    box->button(QMessageBox::Ok)->click();
                },
                Qt::QueuedConnection);
        return false;
    }

private:
    void measureColumns(QFileDialog* dialog)
    {
        auto* tree = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
        ASSERT_NE(tree, nullptr);
        QHeaderView* header = tree->header();
        columnWidths.clear();
        columnsNeed.clear();
        for (int column = 0; column < header->count(); ++column) {
            columnWidths << header->sectionSize(column);
            columnsNeed << std::max(static_cast<QAbstractItemView*>(tree)->sizeHintForColumn(column),
                                    header->sectionSizeHint(column));
        }
        columnsLength = header->length();
        columnsRoom = tree->viewport()->width();
        dialogWidth = dialog->frameGeometry().width();
    }

    void watchFileDialog(QFileDialog* dialog)
    {
        nameFilters = dialog->nameFilters();
        confirmsOverwrite = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
        auto* model = dialog->findChild<QFileSystemModel*>();
        ASSERT_NE(model, nullptr);
        const QString folder = QFileInfo(dialog->directory().absolutePath()).canonicalFilePath();
        connect(model, &QFileSystemModel::directoryLoaded, dialog, [=, this](const QString& path) {
            if (QFileInfo(path).canonicalFilePath() != folder)
                return;
            listedFolder = folder;
            // Everything the views show: icons and type names of every entry, painted.
            const QModelIndex root = model->index(path);
            for (int row = 0; row < model->rowCount(root); ++row) {
                const QModelIndex index = model->index(row, 0, root);
                model->data(index, Qt::DecorationRole);
                fileTypes << model->fileName(index) + QLatin1Char('=') + model->type(index);
            }
            dialog->grab();
            measureColumns(dialog);
            dialog->reject();
        });
    }
};

class Dialogs : public AppFixture
{
};

} // namespace

TEST_F(Dialogs, ListingTheProgramsFolderLeavesTheDatabaseLocksWithItsConnection)
{
    const QString shm = dbPath() + QStringLiteral("-shm");
    ASSERT_TRUE(QFileInfo::exists(shm));
    ASSERT_TRUE(QFileInfo::exists(dbPath() + QStringLiteral("-wal")));
    ASSERT_FALSE(locksHeldOn(shm).isEmpty());
    QFile(QDir(folder()).filePath(QStringLiteral("returned.xlsx"))).open(QIODevice::WriteOnly);

    {
        RealDialogs dialogs;
        // Typing a wildcard shows every file of the folder, the database's among them.
        EXPECT_TRUE(MsgBox::getOpenFileNames(QString(), folder(), QStringLiteral("All Files (*)|*")).isEmpty());
        EXPECT_EQ(dialogs.listedFolder, QFileInfo(folder()).canonicalFilePath());
        EXPECT_FALSE(dialogs.fileTypes.filter(QStringLiteral("Pellorin.mdb-shm=")).isEmpty())
            << dialogs.fileTypes.join(QLatin1Char(' ')).toStdString();

        // Qt's own file dialogs (the print dialog's file browser) take the same road once guarded.
        MsgBox::guardFileDialogs();
        dialogs.fileTypes.clear();
        EXPECT_TRUE(QFileDialog::getOpenFileName(nullptr, QString(), folder(), QStringLiteral("*")).isEmpty());
        EXPECT_FALSE(dialogs.fileTypes.filter(QStringLiteral("Pellorin.mdb-wal=")).isEmpty());
    }
    EXPECT_FALSE(locksHeldOn(shm).isEmpty()) << "the connection lost its lock on the shared-memory index";

    // Another program writes meanwhile; the program then reads what it wrote, and writes on.
    QProcess other;
    other.start(QStringLiteral("/usr/bin/python3"),
                {QStringLiteral("-c"),
                 QStringLiteral("import sqlite3,sys\n"
                                "c=sqlite3.connect(sys.argv[1],timeout=10)\n"
                                "c.execute(\"insert into customer(custname) values('Other')\")\n"
                                "c.commit()\n"),
                 dbPath()});
    ASSERT_TRUE(other.waitForFinished(60000));
    ASSERT_EQ(other.exitCode(), 0) << other.readAllStandardError().toStdString();
    EXPECT_EQ(
        Db::scalar(QStringLiteral("select count(*) from customer where custname=?"), {QStringLiteral("Other")}).toInt(),
        1);
    Db::exec(QStringLiteral("insert into customer(custname) values(?)"), {QStringLiteral("Ours")});
    EXPECT_EQ(Db::scalar(QStringLiteral("select count(*) from customer")).toInt(), 2);
    EXPECT_EQ(count(QStringLiteral("customer where custname='Ours'")), 1);
}

// Qt's print dialog completes the file name it is typed from a file list of its own, which no dialog of ours makes.
TEST_F(Dialogs, TypingAFileNameInThePrintDialogLeavesTheDatabaseLocksWithItsConnection)
{
    const QString shm = dbPath() + QStringLiteral("-shm");
    const QStringList databaseLocks = locksHeldOn(dbPath());
    const QStringList shmLocks = locksHeldOn(shm);
    ASSERT_FALSE(shmLocks.isEmpty());
    MsgBox::guardFileDialogs();
    QPrinter printer;
    printer.setOutputFileName(QDir(folder()).filePath(QStringLiteral("report.pdf")));
    QPrintDialog dialog(&printer);
    dialog.show();
    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("filename"));
    ASSERT_TRUE(name && name->completer());
    auto* model = qobject_cast<QFileSystemModel*>(name->completer()->model());
    ASSERT_NE(model, nullptr);
    QStringList loaded;
    QObject::connect(model, &QFileSystemModel::directoryLoaded, &dialog,
                     [&loaded](const QString& path) { loaded << QFileInfo(path).canonicalFilePath(); });
    name->setFocus();
    name->clear();
    // Typed as a user types: each folder of the path is listed before the next is typed.
    const QString typed = QFileInfo(folder()).canonicalFilePath() + QLatin1Char('/');
    for (qsizetype i = 0; i < typed.size(); ++i) {
        QTest::keyClick(name, typed[i].toLatin1());
        const QString listed = typed.left(i + 1);
        if (typed[i] == QLatin1Char('/')) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return loaded.contains(QFileInfo(listed).canonicalFilePath()); }, 60000))
                << listed.toStdString();
        }
    }
    QCoreApplication::processEvents();
    dialog.reject();
    EXPECT_EQ(locksHeldOn(shm), shmLocks) << "the connection lost its lock on the shared-memory index";
    EXPECT_EQ(locksHeldOn(dbPath()), databaseLocks);
}

TEST_F(Dialogs, FiltersShowTheirCaptionsOnce)
{
    EXPECT_EQ(MsgBox::qtFilter(QStringLiteral("All Files (*.xlsx)|*.xlsx")), QStringLiteral("All Files (*.xlsx)"));
    EXPECT_EQ(MsgBox::qtFilter(QStringLiteral("*.xlsx|*.xlsx|*.xlsx")), QStringLiteral("*.xlsx"));
    EXPECT_EQ(MsgBox::qtFilter(QStringLiteral("All Files (Pellorin.mdb)|Pellorin.mdb|Mdb Files(Pellorin.mdb)|"
                                              "Pellorin.mdb")),
              QStringLiteral("All Files (Pellorin.mdb);;Mdb Files(Pellorin.mdb)"));
    EXPECT_EQ(MsgBox::qtFilter(QStringLiteral("Workbooks|*.xlsx;*.xls")), QStringLiteral("Workbooks (*.xlsx *.xls)"));

    // The real dialog shows the caption as it is.
    RealDialogs dialogs;
    MsgBox::getOpenFileNames(QString(), folder(), QStringLiteral("All Files (*.xlsx)|*.xlsx"));
    EXPECT_EQ(dialogs.nameFilters, QStringList{QStringLiteral("All Files (*.xlsx)")});
}

TEST_F(Dialogs, TheDetailViewShowsItsColumnsWholeAtFirstSize)
{
    // A workbook of some 70 KiB: its size reads "70,2 KiB" under a decimal comma.
    QFile workbook(QDir(folder()).filePath(QStringLiteral("Acme_Ann_2031.xlsx")));
    ASSERT_TRUE(workbook.open(QIODevice::WriteOnly));
    workbook.write(QByteArray(71900, 'x'));
    workbook.close();

    RealDialogs dialogs;
    MsgBox::getOpenFileName(QString(), folder(), QStringLiteral("*.xlsx|*.xlsx|*.xlsx"));
    ASSERT_EQ(dialogs.columnWidths.size(), 4);
    for (int column = 0; column < 4; ++column)
        EXPECT_GE(dialogs.columnWidths[column], dialogs.columnsNeed[column]) << "column " << column;
    EXPECT_LE(dialogs.columnsLength, dialogs.columnsRoom);
    EXPECT_LE(dialogs.dialogWidth, 1366);
}

TEST_F(Dialogs, ASaveDialogAsksBeforeReplacingAFileUnlessItsCallerChecksTheName)
{
    RealDialogs dialogs;
    MsgBox::getSaveFileName(QString(), folder(), QStringLiteral("*.xlsx|*.xlsx|*.xlsx"));
    EXPECT_TRUE(dialogs.confirmsOverwrite);
    MsgBox::getSaveFileName(QString(), folder(), QStringLiteral("*.xlsx|*.xlsx|*.xlsx"), false);
    EXPECT_FALSE(dialogs.confirmsOverwrite);
}

TEST_F(Dialogs, AShortMessageBoxIsAsWideAsItsTitle)
{
    const QString title = QString::fromLatin1(kMessageTitle);
    EXPECT_GT(MsgBox::titleWidth(title), QFontMetrics(QApplication::font()).horizontalAdvance(title));
    RealDialogs dialogs;
    EXPECT_EQ(MsgBox::show(QStringLiteral("Import Done...."), MsgBox::Information, title), MsgBox::Ok);
    EXPECT_GE(dialogs.boxWidth, MsgBox::titleWidth(title));
}
