#pragma once

#include "feedback/AnswerTables.h"
#include "platform/chart/ChartControl.h"
#include "platform/desktop/Desktop.h"
#include "platform/dialogs/MsgBox.h"
#include "platform/grid/FlexGrid.h"
#include "platform/report/ReportControl.h"
#include "platform/report/ValueFormat.h"
#include "shell/MDIMain.h"
#include "shell/Progress.h"
#include "shell/SearchHits.h"
#include "shell/gblGlobal.h"
#include "support/AppFixture.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <memory>

// A program folder with what the windows read stored as the program stores it, the windows driven as a user drives
// them, and what they show or store read back as text. The main window is made on first use.
class ProgramFixture : public AppFixture
{
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        MsgBox::clearRecords();
        ReportControl::clearRuns();
        gCompanyName = QStringLiteral("Harbour Quality Ltd");
        Progress::setTextSink([this](const QString& text) { m_statusTexts << text; });
    }
    void TearDown() override
    {
        m_main.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Progress::setTextSink({});
        Progress::setBusy(false);
        SearchHits::setSource({});
        Desktop::setToday(QDate());
        QLocale::setDefault(QLocale::system());
        AppFixture::TearDown();
    }

    // Each returns the row's key; a parameter, question or survey already there is used again.
    int customer(const QString& name)
    {
        run(QStringLiteral("insert into customer (custname) values (?)"), {name});
        return value(QStringLiteral("select max(custid) from customer")).toInt();
    }
    int respondent(int custId, const QString& name)
    {
        run(QStringLiteral("insert into respondent (custid, respondentname) values (?, ?)"), {custId, name});
        return value(QStringLiteral("select max(respondentid) from respondent")).toInt();
    }
    int question(const QString& parameter, const QString& text = QStringLiteral("How well?"), bool scored = true)
    {
        run(QStringLiteral("insert into parameter (parametername) select ? where not exists "
                           "(select 1 from parameter where parametername=?)"),
            {parameter, parameter});
        run(QStringLiteral("insert into questions (question, Type, paramid) select ?, ?, paramid from parameter p "
                           "where parametername=? and not exists (select 1 from questions q where q.paramid=p.paramid "
                           "and q.question=?)"),
            {text, scored ? 1 : 0, parameter, text});
        return value(QStringLiteral("select questionid from questions join parameter using (paramid) "
                                    "where parametername=? and question=?"),
                     {parameter, text})
            .toInt();
    }
    int survey(int custId, const QDate& date)
    {
        run(QStringLiteral("insert into survey (sdate, custid) select ?, ? where not exists "
                           "(select 1 from survey where sdate=? and custid=?)"),
            {iso(date), custId, iso(date), custId});
        return value(QStringLiteral("select surveyid from survey where custid=? and sdate=?"), {custId, iso(date)})
            .toInt();
    }
    // Puts the questions in the respondent's survey of that date, "Order" counting on from `order`.
    int ask(int respondentId, const QDate& date, const QList<int>& questions, int order = 1)
    {
        const int id = survey(
            value(QStringLiteral("select custid from respondent where respondentid=?"), {respondentId}).toInt(), date);
        for (int questionId : questions)
            run(QStringLiteral("insert into responquesindex (respondentid, questionid, surveyid, \"Order\") "
                               "select ?, ?, ?, ? where not exists (select 1 from responquesindex where "
                               "respondentid=? and questionid=? and surveyid=?)"),
                {respondentId, questionId, id, order++, respondentId, questionId, id});
        return id;
    }
    // An answer row as the feedback window and the workbook readers add it: the score of a scored question, the
    // description of a written one; a null value stores Null. The question joins the respondent's survey if need be.
    void answer(int respondentId, int questionId, const QDate& date, const QVariant& weightage, const QVariant& given,
                int surveyId = 0)
    {
        const int order =
            value(QStringLiteral("select count(*) + 1 from responquesindex where respondentid=?"), {respondentId})
                .toInt();
        ask(respondentId, date, {questionId}, order);
        const bool scored =
            value(QStringLiteral("select Type from questions where questionid=?"), {questionId}).toBool();
        AnswerTables::write(scored, 0, {respondentId, questionId, date}, surveyId, weightage, given);
    }
    // An action as the improvement window stores it, its target a month on.
    void action(const QString& customer, const QDate& date, const QString& text, bool complete = false)
    {
        run(QStringLiteral("insert into actionplan (customerid, Action, \"Date\", targetdate, Status) "
                           "select custid, ?, ?, ?, ? from customer where custname=?"),
            {text, iso(date), iso(date.addMonths(1)), complete ? 1 : 0, customer});
    }

    // Rows as "a|b|c", Null as "NULL".
    QStringList table(const QString& sql, const QVariantList& values = {}) const
    {
        QStringList lines;
        for (const QVariant& row : rows(sql, values)) {
            QStringList cells;
            for (const QVariant& cell : row.toList())
                cells << (cell.isNull() ? QStringLiteral("NULL") : cell.toString());
            lines << cells.join(QLatin1Char('|'));
        }
        return lines;
    }
    static QStringList messages()
    {
        QStringList texts;
        for (const MsgBox::Shown& s : MsgBox::shown())
            texts << s.text;
        return texts;
    }
    static QStringList texts(const QListWidget* list)
    {
        QStringList texts;
        for (int i = 0; i < list->count(); ++i)
            texts << list->item(i)->text();
        return texts;
    }
    static QStringList texts(const QTreeWidget* list, int column)
    {
        QStringList texts;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            texts << list->topLevelItem(i)->text(column);
        return texts;
    }
    static QStringList column(FlexGrid* grid, int col)
    {
        QStringList texts;
        for (int r = 1; r < grid->rows(); ++r)
            texts << grid->textMatrix(r, col);
        return texts;
    }
    // Every data cell, column by column: what the user sees and would save.
    static QStringList cells(FlexGrid* grid)
    {
        QStringList texts;
        for (int c = 1; c < grid->cols(); ++c)
            texts << column(grid, c);
        return texts;
    }
    // The last report run as pdftotext reads its PDF.
    static QString reportText()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("report.pdf")));
        if (ReportControl::runs().isEmpty() || !file.open(QIODevice::WriteOnly))
            return QString();
        file.write(ReportControl::runs().last().pdf);
        file.close();
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file.fileName(), QStringLiteral("-")});
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }
    static ::testing::AssertionResult holds(const QString& text, const QStringList& parts)
    {
        for (const QString& part : parts)
            if (!text.contains(part))
                return ::testing::AssertionFailure() << '"' << part.toStdString() << "\" not in:\n"
                                                     << text.toStdString();
        return ::testing::AssertionSuccess();
    }
    // Report of a chart window: the picture written to the program's folder and left on the clipboard is the chart
    // as drawn; the report's text is returned. A picture that cannot be written is reported and nothing is printed,
    // so that no older picture is printed as this one.
    QString printChart(QPushButton* print, ChartControl* chart, const QString& pictureName)
    {
        QGuiApplication::clipboard()->setText(QStringLiteral("something else"));
        print->click();
        const QImage drawn = chart->picture().convertToFormat(QImage::Format_RGB32);
        const QString file = QDir(folder()).filePath(pictureName);
        EXPECT_EQ(QImage(file, "BMP").convertToFormat(QImage::Format_RGB32), drawn);
        EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), drawn);
        EXPECT_EQ(ReportControl::runs().size(), 1);
        const QString text = reportText();
        ReportControl::clearRuns();
        EXPECT_TRUE(QFile::remove(file) && QDir(folder()).mkdir(pictureName));
        print->click();
        EXPECT_TRUE(ReportControl::runs().isEmpty());
        EXPECT_EQ(messages().size(), 1);
        EXPECT_TRUE(messages().value(0).startsWith(QStringLiteral("75:"))) << messages().value(0).toStdString();
        EXPECT_TRUE(idle());
        return text;
    }
    // Status text and pointer back to normal.
    static bool idle() { return Progress::text().isEmpty() && !Progress::busy(); }
    static QString iso(const QDate& d) { return d.toString(Qt::ISODate); }
    static QString shown(const QDate& d) { return ValueFormat::formatDate(d); }

    // A window of its own, loaded and shown outside the main window.
    template <class W> std::unique_ptr<W> open()
    {
        auto w = std::make_unique<W>();
        w->Form_Load();
        w->show();
        return w;
    }
    MDIMain* main()
    {
        if (!m_main) {
            m_main = std::make_unique<MDIMain>();
            m_main->show();
            QApplication::setActiveWindow(m_main.get());
            EXPECT_TRUE(QTest::qWaitForWindowActive(m_main.get()));
        }
        return m_main.get();
    }
    // The window the menu item opens in the main window.
    template <class W> W* open(QAction* item)
    {
        item->trigger();
        return main()->windows()->find<W>();
    }
    template <class W> W* active()
    {
        QMdiSubWindow* frame = main()->mdiArea()->activeSubWindow();
        return frame ? qobject_cast<W*>(frame->widget()) : nullptr;
    }

    static void type(QLineEdit* editor, const QString& text) { QTest::keyClicks(editor, text); }
    static void press(QWidget* widget, Qt::Key key, int times = 1)
    {
        for (int i = 0; i < times; ++i)
            QTest::keyClick(widget, key);
    }
    // A press and release on a data cell or a heading, as the mouse gives them.
    static void clickCell(FlexGrid* grid, int row, int col)
    {
        grid->scrollToItem(grid->item(row, col) ? grid->item(row, col) : nullptr);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(row, col)).center());
    }
    static void clickHeading(FlexGrid* grid, int col)
    {
        QHeaderView* heading = grid->horizontalHeader();
        const int x = heading->sectionViewportPosition(col) + heading->sectionSize(col) / 2;
        QTest::mouseClick(heading->viewport(), Qt::LeftButton, {}, QPoint(x, heading->height() / 2));
    }
    // Types over a cell's text, reaching the cell with the mouse.
    static void setCell(FlexGrid* grid, QLineEdit* editor, int row, int col, const QString& text)
    {
        clickCell(grid, row, col);
        editor->selectAll();
        if (text.isEmpty())
            press(editor, Qt::Key_Backspace);
        else
            type(editor, text);
    }
    // A click on the entry: it becomes current, and its selection toggles where several may be picked.
    static void click(QListWidget* list, const QString& text)
    {
        const QList<QListWidgetItem*> items = list->findItems(text, Qt::MatchExactly);
        ASSERT_FALSE(items.isEmpty()) << text.toStdString();
        list->scrollToItem(items.first());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(items.first()).center());
    }

    QStringList m_statusTexts;

private:
    std::unique_ptr<MDIMain> m_main;
};
