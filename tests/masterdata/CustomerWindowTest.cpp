#include "MasterDataFixture.h"

#include "masterdata/frmCustomer.h"
#include "shell/WindowRegistry.h"

#include <QApplication>
#include <QMdiArea>
#include <QPointer>
#include <QPushButton>

namespace
{

const QString kRightQuote = QString(QChar(0x2019));

class CustomerWindow : public MasterDataFixture
{
protected:
    void seedCustomer(int id, const QString& name)
    {
        run(QStringLiteral("insert into customer (custid, custname, Address) values (?, ?, ' ')"), {id, name});
    }
    void seedRespondent(int id, int customer, const QString& name, const QString& designation)
    {
        run(QStringLiteral("insert into respondent (respondentid, custid, respondentname, respondentdesignation, "
                           "emailid) values (?, ?, ?, ?, '')"),
            {id, customer, name, designation});
    }
};

} // namespace

TEST_F(CustomerWindow, TypedCustomerIsStoredWithItsKeyAndTheSameNameAgainIsNot)
{
    auto w = open<frmCustomer>();
    ASSERT_EQ(w->grdCustomerDtls->rows(), 2);
    ASSERT_EQ(w->grdRespondentDtls->rows(), 2);
    EXPECT_EQ(column(w->grdCustomerDtls, 1), QStringList{QString()});

    type(w->txtCustomerDtls, QStringLiteral("O'Brien Ltd"));
    EXPECT_EQ(w->grdCustomerDtls->textMatrix(1, 1), QStringLiteral("O'Brien Ltd"));
    press(w->txtCustomerDtls, Qt::Key_Return, 4); // through the columns, then Add

    const QVariantList stored = rows(QStringLiteral("select custid, custname, Address, telno, email from customer"));
    ASSERT_EQ(stored.size(), 1);
    const QVariantList customer = stored[0].toList();
    EXPECT_EQ(customer[1].toString(), QStringLiteral("O") + kRightQuote + QStringLiteral("Brien Ltd"));
    EXPECT_EQ(customer[2].toString(), QStringLiteral(" "));
    EXPECT_TRUE(customer[3].isNull());
    EXPECT_TRUE(customer[4].isNull());
    EXPECT_EQ(w->grdCustomerDtls->textMatrix(1, 5), customer[0].toString());
    EXPECT_EQ(w->grdCustomerDtls->rows(), 3);
    EXPECT_EQ(w->grdCustomerDtls->row(), 2);
    EXPECT_EQ(w->grdCustomerDtls->col(), 1);
    EXPECT_FALSE(w->txtCustomerDtls->isHidden());
    EXPECT_TRUE(m_statusTexts.contains(QStringLiteral("Adding Customer......")));
    EXPECT_TRUE(m_statusTexts.contains(QStringLiteral("Saving Customer ....")));
    EXPECT_EQ(Progress::text(), QString());

    type(w->txtCustomerDtls, QStringLiteral("O'Brien Ltd"));
    press(w->txtCustomerDtls, Qt::Key_Return, 4);
    EXPECT_EQ(count(QStringLiteral("customer")), 1);
    EXPECT_TRUE(MsgBox::shown().isEmpty());
    // The dropped row is gone at the reload; the blank row follows the one customer.
    EXPECT_EQ(column(w->grdCustomerDtls, 1),
              (QStringList{QStringLiteral("O") + kRightQuote + QStringLiteral("Brien Ltd"), QString()}));
    EXPECT_EQ(column(w->grdCustomerDtls, 5), (QStringList{customer[0].toString(), QString()}));
}

TEST_F(CustomerWindow, EmptyFieldsAreStoredInTheirOwnFormsAndShowEmpty)
{
    auto w = open<frmCustomer>();
    type(w->txtCustomerDtls, QStringLiteral("Acme"));
    press(w->txtCustomerDtls, Qt::Key_Return);
    type(w->txtCustomerDtls, QStringLiteral("1 Main St"));
    press(w->txtCustomerDtls, Qt::Key_Return);
    type(w->txtCustomerDtls, QStringLiteral("555"));
    press(w->txtCustomerDtls, Qt::Key_Return);
    type(w->txtCustomerDtls, QStringLiteral("a@b"));
    w->cmdSaveCustomer->click();
    ASSERT_EQ(count(QStringLiteral("customer")), 1);

    setCell(w->grdCustomerDtls, w->txtCustomerDtls, 1, 2, QString());
    setCell(w->grdCustomerDtls, w->txtCustomerDtls, 1, 3, QString());
    setCell(w->grdCustomerDtls, w->txtCustomerDtls, 1, 4, QString());
    w->cmdSaveCustomer->click();
    EXPECT_TRUE(MsgBox::shown().isEmpty());
    const QVariantList c = rows(QStringLiteral("select Address, telno, email from customer"))[0].toList();
    EXPECT_EQ(c[0].toString(), QStringLiteral(" "));
    EXPECT_TRUE(c[1].isNull());
    EXPECT_TRUE(c[2].isNull());
    EXPECT_EQ(w->grdCustomerDtls->textMatrix(1, 2), QStringLiteral(" "));
    EXPECT_EQ(w->grdCustomerDtls->textMatrix(1, 3), QString());
    EXPECT_EQ(w->grdCustomerDtls->textMatrix(1, 4), QString());
}

TEST_F(CustomerWindow, RefusalsShowTheirOwnTextsAndTitles)
{
    auto w = open<frmCustomer>();
    press(w->txtCustomerDtls, Qt::Key_Return, 4); // Enter after the last column runs Add
    w->cmdSaveCustomer->click();
    ASSERT_EQ(MsgBox::shown().size(), 2);
    EXPECT_EQ(MsgBox::shown()[0].text, QStringLiteral("Customer Name Cannot be left blank....Error"));
    EXPECT_EQ(MsgBox::shown()[0].style, 16);
    EXPECT_EQ(MsgBox::shown()[0].title, QStringLiteral("Quorvane v2.1"));
    EXPECT_EQ(MsgBox::shown()[1].text, QStringLiteral("Customer Name cannot be left blank....Error"));
    EXPECT_EQ(MsgBox::shown()[1].style, 16);
    EXPECT_EQ(MsgBox::shown()[1].title, QStringLiteral("Pellorin"));
    MsgBox::clearRecords();

    // The designation check comes first, then the customer check.
    w->cmdSaveRespondent->click();
    type(w->txtRespondentDtls, QStringLiteral("CEO"));
    w->cmdAddRespondent->click();
    ASSERT_EQ(MsgBox::shown().size(), 2);
    EXPECT_EQ(MsgBox::shown()[0].text, QStringLiteral("Designation cannot be left blank....Error"));
    EXPECT_EQ(MsgBox::shown()[0].style, 16);
    EXPECT_EQ(MsgBox::shown()[0].title, QStringLiteral("Pellorin"));
    EXPECT_EQ(MsgBox::shown()[1].text, QStringLiteral("Select a Customer to Add Respondent(s)"));
    EXPECT_EQ(MsgBox::shown()[1].style, 80);
    EXPECT_EQ(MsgBox::shown()[1].title, QStringLiteral("Quorvane v2.1"));
    MsgBox::clearRecords();

    // A customer typed but not saved has no key for its respondents: refused, nothing stored.
    setCell(w->grdCustomerDtls, w->txtCustomerDtls, 1, 1, QStringLiteral("Unsaved"));
    setCell(w->grdRespondentDtls, w->txtRespondentDtls, 1, 2, QStringLiteral("CEO"));
    w->cmdSaveRespondent->click();
    EXPECT_EQ(messages(), QStringList{QStringLiteral("Select a Customer to Add Respondent(s)")});
    EXPECT_EQ(count(QStringLiteral("respondent")), 0);
    EXPECT_EQ(count(QStringLiteral("customer")), 0);
}

TEST_F(CustomerWindow, RespondentsFollowTheCustomerRowAndAreSavedUnderTheShownCustomer)
{
    seedCustomer(1, QStringLiteral("Alpha"));
    seedCustomer(2, QStringLiteral("Beta"));
    seedCustomer(3, QStringLiteral("Gamma"));
    seedRespondent(10, 1, QStringLiteral("Ann"), QStringLiteral("CEO"));
    seedRespondent(11, 1, QStringLiteral("Bob"), QStringLiteral("CTO"));
    seedRespondent(12, 2, QStringLiteral("Cid"), QStringLiteral("CFO"));
    auto w = open<frmCustomer>();
    EXPECT_EQ(column(w->grdRespondentDtls, 1), (QStringList{QStringLiteral("Ann"), QStringLiteral("Bob")}));
    EXPECT_EQ(w->txtRespondentDtls->text(), QStringLiteral("Bob")); // on the last respondent row

    press(w->txtCustomerDtls, Qt::Key_Down);
    EXPECT_EQ(column(w->grdRespondentDtls, 1), QStringList{QStringLiteral("Cid")});
    press(w->txtCustomerDtls, Qt::Key_Up);
    EXPECT_EQ(column(w->grdRespondentDtls, 1), (QStringList{QStringLiteral("Ann"), QStringLiteral("Bob")}));
    clickCell(w->grdCustomerDtls, 3, 2);
    EXPECT_EQ(column(w->grdRespondentDtls, 1), QStringList{QString()});
    press(w->txtCustomerDtls, Qt::Key_Return, 3); // Enter into the next row... there is none: Add
    EXPECT_EQ(w->grdCustomerDtls->rows(), 5);

    // A new row named like a stored customer is dropped by the save, which moves the current row up to
    // Gamma; the respondents shown must follow, so nothing typed for the dropped row reaches Gamma.
    type(w->txtCustomerDtls, QStringLiteral("alpha"));
    setCell(w->grdRespondentDtls, w->txtRespondentDtls, 1, 2, QStringLiteral("Typed for the new row"));
    w->cmdSaveCustomer->click();
    EXPECT_EQ(w->grdCustomerDtls->rows(), 4);
    EXPECT_EQ(w->grdCustomerDtls->textMatrix(w->grdCustomerDtls->row(), 1), QStringLiteral("Gamma"));
    EXPECT_EQ(column(w->grdRespondentDtls, 2), QStringList{QString()});
    w->cmdSaveRespondent->click();
    EXPECT_EQ(count(QStringLiteral("respondent where custid = 3")), 0);

    // Respondents saved for Beta stay Beta's, the existing one keeps its customer.
    clickCell(w->grdCustomerDtls, 2, 1);
    setCell(w->grdRespondentDtls, w->txtRespondentDtls, 1, 1, QStringLiteral("Cid O'Neil"));
    press(w->txtRespondentDtls, Qt::Key_Down);
    type(w->txtRespondentDtls, QStringLiteral("Dee"));
    press(w->txtRespondentDtls, Qt::Key_Return);
    type(w->txtRespondentDtls, QStringLiteral("COO"));
    press(w->txtRespondentDtls, Qt::Key_Return);
    press(w->txtRespondentDtls, Qt::Key_Return); // Add: saves, appends a blank row
    EXPECT_EQ(rows(QStringLiteral("select respondentid, custid, respondentname from respondent where custid = 2 "
                                  "order by respondentid")),
              (QVariantList{QVariantList{12, 2, QStringLiteral("Cid O") + kRightQuote + QStringLiteral("Neil")},
                            QVariantList{13, 2, QStringLiteral("Dee")}}));
    EXPECT_EQ(count(QStringLiteral("respondent where custid = 1")), 2);
    EXPECT_EQ(w->grdRespondentDtls->rows(), 4);
}

TEST_F(CustomerWindow, RespondentDuplicatesNeedNameAndDesignationAndNullNamesNeverMatch)
{
    seedCustomer(1, QStringLiteral("Alpha"));
    auto w = open<frmCustomer>();
    const auto row = [&](const QString& name, const QString& designation) {
        type(w->txtRespondentDtls, name);
        press(w->txtRespondentDtls, Qt::Key_Right);
        type(w->txtRespondentDtls, designation);
        press(w->txtRespondentDtls, Qt::Key_Left, designation.size() + 1);
    };
    row(QStringLiteral("Ann"), QStringLiteral("CEO"));
    press(w->txtRespondentDtls, Qt::Key_Down);
    row(QStringLiteral("Ann"), QStringLiteral("CEO"));
    press(w->txtRespondentDtls, Qt::Key_Down);
    row(QStringLiteral("Ann"), QStringLiteral("CFO"));
    EXPECT_EQ(w->grdRespondentDtls->rows(), 4);
    w->cmdSaveRespondent->click();
    EXPECT_EQ(rows(QStringLiteral("select respondentname, respondentdesignation, emailid from respondent "
                                  "order by respondentid")),
              (QVariantList{QVariantList{QStringLiteral("Ann"), QStringLiteral("CEO"), QString()},
                            QVariantList{QStringLiteral("Ann"), QStringLiteral("CFO"), QString()}}));

    for (int i = 0; i < 2; ++i) {
        w->cmdAddRespondent->click();
        press(w->txtRespondentDtls, Qt::Key_Right);
        type(w->txtRespondentDtls, QStringLiteral("Clerk"));
        w->cmdSaveRespondent->click();
    }
    EXPECT_EQ(value(QStringLiteral("select count(*) from respondent where respondentname is null and "
                                   "respondentdesignation = 'Clerk'"))
                  .toInt(),
              2);
    EXPECT_TRUE(MsgBox::shown().isEmpty());
}

TEST_F(CustomerWindow, DeletingACustomerCascadesAndCancelDeletesNothing)
{
    seedCustomer(1, QStringLiteral("Alpha"));
    seedCustomer(2, QStringLiteral("Beta"));
    seedCustomer(3, QStringLiteral("Lonely"));
    seedRespondent(10, 1, QStringLiteral("Ann"), QStringLiteral("CEO"));
    seedRespondent(11, 2, QStringLiteral("Bob"), QStringLiteral("CTO"));
    run(QStringLiteral("insert into parameter (paramid, parametername) values (1, 'P')"));
    run(QStringLiteral("insert into questions (questionid, question, Type, paramid) values (1, 'Q', 1, 1)"));
    for (int c : {1, 2}) {
        run(QStringLiteral("insert into survey (surveyid, sdate, custid) values (?, '2024-01-01', ?)"), {c, c});
        run(QStringLiteral("insert into responquesindex (respondentid, questionid, surveyid, \"Order\") "
                           "values (?, 1, ?, 1)"),
            {c + 9, c});
        run(QStringLiteral("insert into feedbackobjective (respondentid, questionid, weightage, score) "
                           "values (?, 1, 1, 1)"),
            {c + 9});
        run(QStringLiteral("insert into feedbackdescriptive (respondentid, questionid, weightage, Description) "
                           "values (?, 1, 1, 'x')"),
            {c + 9});
        run(QStringLiteral("insert into actionplan (customerid, Action) values (?, 'a')"), {c});
        run(QStringLiteral("insert into standardmessage (customerid, standardmessage) values (?, 'm')"), {c});
    }
    auto w = open<frmCustomer>();

    MsgBox::setNextAnswer(MsgBox::Cancel);
    w->cmdDeleteCustomer->click();
    ASSERT_EQ(MsgBox::shown().size(), 1);
    EXPECT_EQ(MsgBox::shown()[0].text,
              QStringLiteral("Deleting of Customer will delete all the Corresponding records"));
    EXPECT_EQ(MsgBox::shown()[0].style, 1);
    EXPECT_EQ(MsgBox::shown()[0].title, QStringLiteral("Pellorin"));
    EXPECT_TRUE(m_statusTexts.contains(QStringLiteral("Deletion Cancelled.....")));
    EXPECT_EQ(count(QStringLiteral("customer")), 3);
    EXPECT_EQ(count(QStringLiteral("responquesindex")), 2);

    MsgBox::clearRecords();
    w->cmdDeleteCustomer->click(); // OK
    EXPECT_EQ(MsgBox::shown().size(), 1);
    EXPECT_EQ(column(w->grdCustomerDtls, 1), (QStringList{QStringLiteral("Beta"), QStringLiteral("Lonely")}));
    EXPECT_EQ(column(w->grdRespondentDtls, 1), QStringList{QStringLiteral("Bob")});
    for (const QString& where :
         {QStringLiteral("respondent where custid = 1"), QStringLiteral("survey where custid = 1"),
          QStringLiteral("actionplan where customerid = 1"), QStringLiteral("standardmessage where customerid = 1")})
        EXPECT_EQ(count(where), 0) << where.toStdString();
    for (const char* table : {"responquesindex", "feedbackobjective", "feedbackdescriptive"})
        EXPECT_EQ(
            value(QStringLiteral("select count(*) from %1 where respondentid = 10").arg(QLatin1String(table))).toInt(),
            0)
            << table;
    EXPECT_EQ(count(QStringLiteral("responquesindex")), 1);

    // Without respondents nothing is asked.
    MsgBox::clearRecords();
    clickCell(w->grdCustomerDtls, 2, 1);
    w->cmdDeleteCustomer->click();
    EXPECT_TRUE(MsgBox::shown().isEmpty());
    EXPECT_EQ(column(w->grdCustomerDtls, 1), QStringList{QStringLiteral("Beta")});
    EXPECT_EQ(Progress::text(), QString());
}

TEST_F(CustomerWindow, DeletingARespondentAsksNothingAndLeavesTheCustomer)
{
    seedCustomer(1, QStringLiteral("Alpha"));
    seedRespondent(10, 1, QStringLiteral("Ann"), QStringLiteral("CEO"));
    seedRespondent(11, 1, QStringLiteral("Bob"), QStringLiteral("CTO"));
    auto w = open<frmCustomer>();
    clickCell(w->grdRespondentDtls, 1, 1);
    w->cmdDeleteRespondent->click();
    EXPECT_TRUE(MsgBox::shown().isEmpty());
    EXPECT_EQ(column(w->grdRespondentDtls, 1), QStringList{QStringLiteral("Bob")});
    EXPECT_EQ(count(QStringLiteral("customer")), 1);
    EXPECT_FALSE(w->txtRespondentDtls->isHidden());
    EXPECT_EQ(Progress::text(), QString());
}

TEST_F(CustomerWindow, ProviderErrorMidSaveLeavesTheDatabaseAndTheGridAsTheyWere)
{
    seedCustomer(1, QStringLiteral("Alpha"));
    run(QStringLiteral("create trigger refuse before insert on customer when new.custname = 'Bad' "
                       "begin select raise(abort, 'refused'); end"));
    run(QStringLiteral("create trigger refuseRespondent before insert on respondent when new.respondentname = 'Bad' "
                       "begin select raise(abort, 'refused'); end"));
    auto w = open<frmCustomer>();
    setCell(w->grdCustomerDtls, w->txtCustomerDtls, 1, 1, QStringLiteral("Alpha renamed"));
    press(w->txtCustomerDtls, Qt::Key_Down);
    type(w->txtCustomerDtls, QStringLiteral("Gamma"));
    press(w->txtCustomerDtls, Qt::Key_Down);
    type(w->txtCustomerDtls, QStringLiteral("Bad"));
    const QString before = snapshot();
    w->cmdSaveCustomer->click();
    EXPECT_EQ(snapshot(), before);
    ASSERT_EQ(MsgBox::shown().size(), 1);
    EXPECT_TRUE(MsgBox::shown()[0].text.startsWith(QStringLiteral("Error : ")));
    EXPECT_EQ(column(w->grdCustomerDtls, 1),
              (QStringList{QStringLiteral("Alpha renamed"), QStringLiteral("Gamma"), QStringLiteral("Bad")}));
    EXPECT_FALSE(Progress::busy());

    MsgBox::clearRecords();
    clickCell(w->grdCustomerDtls, 1, 1);
    setCell(w->grdRespondentDtls, w->txtRespondentDtls, 1, 1, QStringLiteral("Good"));
    setCell(w->grdRespondentDtls, w->txtRespondentDtls, 1, 2, QStringLiteral("CEO"));
    press(w->txtRespondentDtls, Qt::Key_Down);
    press(w->txtRespondentDtls, Qt::Key_Left);
    type(w->txtRespondentDtls, QStringLiteral("Bad"));
    press(w->txtRespondentDtls, Qt::Key_Right);
    type(w->txtRespondentDtls, QStringLiteral("CTO"));
    w->cmdAddRespondent->click(); // the failed save still appends its row
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(MsgBox::shown().size(), 1);
    EXPECT_EQ(column(w->grdRespondentDtls, 1), (QStringList{QStringLiteral("Good"), QStringLiteral("Bad"), QString()}));
}

TEST_F(CustomerWindow, TabMovesToTheNextCellSoTheAddressIsTypedIntoItsOwnCell)
{
    auto* w = open<frmCustomer>(main()->mnuCusAndResp);
    ASSERT_TRUE(w);
    clickCell(w->grdCustomerDtls, 1, 1);
    // Keys go where the user's would: to whatever has the focus.
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Acme"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("1 Main St"));
    w->cmdSaveCustomer->click();

    EXPECT_EQ(table(QStringLiteral("select custname, Address from customer")),
              QStringList{QStringLiteral("Acme|1 Main St")});
    EXPECT_EQ(w->grdCustomerDtls->rows(), 2);
    EXPECT_TRUE(MsgBox::shown().isEmpty());
}

TEST_F(CustomerWindow, EscClosesTheWindowWithTheFocusInEitherEditor)
{
    for (const char* editor : {"txtCustomerDtls", "txtRespondentDtls"}) {
        QWidget main;
        auto* area = new QMdiArea(&main);
        main.resize(1000, 700);
        area->resize(1000, 700);
        WindowRegistry registry(area, &main);
        main.show();
        QPointer<frmCustomer> w = registry.show<frmCustomer>();
        ASSERT_TRUE(w);
        auto* edit = w->findChild<QLineEdit*>(QLatin1String(editor));
        ASSERT_TRUE(edit);
        type(edit, QStringLiteral("typed, never saved"));
        QTest::keyClick(edit, Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_FALSE(registry.isLoaded<frmCustomer>()) << editor;
        EXPECT_EQ(count(QStringLiteral("customer")), 0);
    }
}

TEST_F(CustomerWindow, EscIsLeftToTheWindowByTheEditor)
{
    auto w = open<frmCustomer>();
    struct Watcher : QObject {
        int escapes = 0;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape)
                ++escapes;
            return false;
        }
    } watcher;
    w->installEventFilter(&watcher);
    QTest::keyClick(w->txtCustomerDtls, Qt::Key_Escape);
    QTest::keyClick(w->txtRespondentDtls, Qt::Key_Escape);
    EXPECT_EQ(watcher.escapes, 2);
}

TEST_F(CustomerWindow, RespondentsTypedUnderANewCustomerOutliveItsSaveAndGoUnderItsKey)
{
    auto w = open<frmCustomer>();
    type(w->txtCustomerDtls, "NewCo");
    clickCell(w->grdRespondentDtls, 1, 1);
    type(w->txtRespondentDtls, "Ann");
    press(w->txtRespondentDtls, Qt::Key_Right);
    type(w->txtRespondentDtls, "CEO"); // e-mail never typed into
    press(w->txtRespondentDtls, Qt::Key_Down);
    press(w->txtRespondentDtls, Qt::Key_Left);
    type(w->txtRespondentDtls, "Bea");
    press(w->txtRespondentDtls, Qt::Key_Right);
    type(w->txtRespondentDtls, "CFO");
    press(w->txtRespondentDtls, Qt::Key_Right);
    type(w->txtRespondentDtls, "x");
    press(w->txtRespondentDtls, Qt::Key_Backspace); // typed and erased

    w->cmdSaveCustomer->click();
    EXPECT_EQ(column(w->grdRespondentDtls, 1), QStringList({"Ann", "Bea"}));
    w->cmdSaveRespondent->click();
    EXPECT_TRUE(MsgBox::shown().isEmpty()) << messages().join(QLatin1Char('|')).toStdString();
    const int custid = value("select custid from customer where custname='NewCo'").toInt();
    EXPECT_EQ(rows("select respondentname, custid from respondent order by respondentid"),
              (QVariantList{QVariantList{"Ann", custid}, QVariantList{"Bea", custid}}));
    // An empty address is empty text however the cell came to be empty.
    EXPECT_EQ(count("respondent where emailid = ''"), 2);
}

TEST_F(CustomerWindow, DeletesTakeOutTheChosenRowOnlyAndCancelChangesNothing)
{
    seedCustomer(1, "Alpha");
    seedCustomer(2, "Beta");
    seedRespondent(10, 1, "Ann", "CEO");
    seedRespondent(11, 1, "Bob", "CTO");
    auto w = open<frmCustomer>();
    clickCell(w->grdCustomerDtls, 2, 1);
    press(w->txtCustomerDtls, Qt::Key_Down);
    type(w->txtCustomerDtls, "NewCo");
    press(w->txtCustomerDtls, Qt::Key_Down);
    type(w->txtCustomerDtls, "NewDo");
    clickCell(w->grdCustomerDtls, 1, 2);
    type(w->txtCustomerDtls, "edited");
    press(w->txtRespondentDtls, Qt::Key_Down);
    type(w->txtRespondentDtls, "Typed");
    press(w->txtRespondentDtls, Qt::Key_Right);
    type(w->txtRespondentDtls, "COO");

    const QString before = snapshot();
    const QStringList customers = cells(w->grdCustomerDtls);
    const QStringList respondents = cells(w->grdRespondentDtls);
    MsgBox::setNextAnswer(MsgBox::Cancel);
    w->cmdDeleteCustomer->click();
    ASSERT_EQ(MsgBox::shown().size(), 1);
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(cells(w->grdCustomerDtls), customers);
    EXPECT_EQ(cells(w->grdRespondentDtls), respondents);

    clickCell(w->grdRespondentDtls, 1, 1);
    w->cmdDeleteRespondent->click();
    EXPECT_EQ(count("respondent"), 1);
    EXPECT_EQ(column(w->grdRespondentDtls, 1), QStringList({"Bob", "Typed"}));

    // An unsaved customer row goes alone; a saved one with its respondents, the unsaved rows staying.
    clickCell(w->grdCustomerDtls, 3, 1);
    w->cmdDeleteCustomer->click();
    EXPECT_EQ(column(w->grdCustomerDtls, 1), QStringList({"Alpha", "Beta", "NewDo"}));
    clickCell(w->grdCustomerDtls, 1, 1);
    w->cmdDeleteCustomer->click(); // OK
    EXPECT_EQ(rows("select custname from customer"), QVariantList{QVariantList{"Beta"}});
    EXPECT_EQ(column(w->grdCustomerDtls, 1), QStringList({"Beta", "NewDo"}));
    EXPECT_EQ(column(w->grdRespondentDtls, 1), QStringList{QString()}); // Beta's, who has none
    EXPECT_EQ(Progress::text(), QString());
}
