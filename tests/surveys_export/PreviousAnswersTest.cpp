// The refill of reportlinktable: the survey's questions in its order, with the latest earlier answers.

#include "ExportFixture.h"

#include "surveys/export/SurveyExport.h"

namespace
{

class PreviousAnswersTest : public ExportFixture
{
protected:
    void SetUp() override
    {
        ExportFixture::SetUp();
        m_param = addParameter(QStringLiteral("Service"));
    }
    bool refill()
    {
        SurveyExportContext c = context();
        return SurveyExport(c).toGetTheLastScoreAndWeightage();
    }
    // "questionid weightage score" per row, "-" where nothing was stored.
    QStringList previous() const
    {
        QStringList result;
        for (const QVariant& row : rows("select questionid, weightage, score from reportlinktable order by rowid")) {
            QStringList fields;
            for (const QVariant& v : row.toList())
                fields << (v.isNull() ? QStringLiteral("-") : v.toString());
            result << fields.join(u' ');
        }
        return result;
    }
    static QString line(int id, const char* rest) { return QString::number(id) + u' ' + QLatin1String(rest); }
    int m_param = 0;
};

TEST_F(PreviousAnswersTest, TakesOnlyTheLatestStrictlyEarlierNonZeroValues)
{
    const int never = addQuestion(m_param, "Never answered", true);
    const int scoreOnly = addQuestion(m_param, "Weightage 0, score 7", true);
    const int weightOnly = addQuestion(m_param, "Weightage 5, score 0", true);
    const int shadowed = addQuestion(m_param, "Latest 0, older 6", true);
    const int sameDay = addQuestion(m_param, "Answered on the day", true);
    const int written = addQuestion(m_param, "Written answer", false);
    addToSurvey(m_respid, m_surveyid, {sameDay, never, scoreOnly, weightOnly, shadowed, written});

    addObjective(m_respid, scoreOnly, QDate(2024, 1, 5), 0, 7);
    addObjective(m_respid, scoreOnly, QDate(2023, 1, 5), 9, 9);
    addObjective(m_respid, weightOnly, QDate(2024, 1, 5), 5, 0);
    addObjective(m_respid, shadowed, QDate(2024, 2, 1), 0, QVariant());
    addObjective(m_respid, shadowed, QDate(2023, 2, 1), 6, 6);
    addObjective(m_respid, sameDay, m_date, 3, 3);
    addObjective(m_respid, sameDay, m_date.addDays(10), 4, 4);
    addDescriptive(m_respid, written, QDate(2024, 1, 5), 8);
    // The same question answered under another customer's respondent.
    const int otherCustomer = addCustomer("Contoso");
    const int otherResp = addRespondent(otherCustomer, m_respondent);
    addObjective(otherResp, never, QDate(2024, 1, 5), 2, 2);

    ASSERT_TRUE(refill());
    EXPECT_EQ(previous(), QStringList({line(sameDay, "- -"), line(never, "- -"), line(scoreOnly, "- 7"),
                                       line(weightOnly, "5 -"), line(shadowed, "- -"), line(written, "8 -")}));
    EXPECT_EQ(rows("select question, respondentname, custname, Type, sdate, custid, respondentid, paramid, "
                   "Parameter from reportlinktable where questionid=?",
                   {written}),
              QVariantList({QVariantList{"Written answer", "Ann Lee", "Harbour Instruments", 0, "2024-03-15", m_custid,
                                         m_respid, m_param, "Service"}}));
}

TEST_F(PreviousAnswersTest, HoldsExactlyOneSurveyAtATime)
{
    const int q1 = addQuestion(m_param, "First", true);
    const int q2 = addQuestion(m_param, "Second", true);
    addToSurvey(m_respid, m_surveyid, {q2, q1});
    ASSERT_TRUE(refill());
    EXPECT_EQ(rows("select questionid from reportlinktable order by rowid"),
              QVariantList({QVariantList{q2}, QVariantList{q1}}));

    // Survey B of the same respondent, then a survey without questions.
    const QDate other(2024, 6, 1);
    const int surveyB = addSurvey(m_custid, other);
    addToSurvey(m_respid, surveyB, {q1});
    m_date = other;
    ASSERT_TRUE(refill());
    EXPECT_EQ(rows("select questionid, sdate from reportlinktable"), QVariantList({QVariantList{q1, "2024-06-01"}}));

    m_date = QDate(2025, 1, 1);
    ASSERT_TRUE(refill());
    EXPECT_EQ(value("select count(*) from reportlinktable").toInt(), 0);
}

TEST_F(PreviousAnswersTest, AFailedRefillLeavesNoOtherSurveyBehind)
{
    addToSurvey(m_respid, m_surveyid, {addQuestion(m_param, "First", true)});
    run("insert into reportlinktable (question, custid) values ('stale', 99)");
    run("create trigger refuse before update on reportlinktable begin select raise(abort, 'refused'); end");
    addObjective(m_respid, value("select max(questionid) from questions").toInt(), QDate(2020, 1, 1), 1, 1);
    EXPECT_FALSE(refill());
    EXPECT_EQ(value("select count(*) from reportlinktable").toInt(), 0);
    EXPECT_FALSE(messages().isEmpty());
}

} // namespace
