#include "surveys/export/SurveyExport.h"

#include "platform/desktop/Desktop.h"
#include "platform/dialogs/MsgBox.h"
#include "platform/files/FileGuard.h"
#include "platform/files/WholeFile.h"
#include "platform/report/ValueFormat.h"
#include "platform/workbook/Workbook.h"
#include "shell/Db.h"
#include "shell/Progress.h"
#include "shell/ProviderError.h"
#include "shell/Transaction.h"
#include "shell/gblGlobal.h"
#include "surveys/SurveyStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>

#include <vector>

#include <sys/stat.h>

namespace
{

constexpr int ColumnA = 1;
constexpr int ColumnB = 2;
constexpr int ColumnC = 3;
constexpr int ColumnD = 4;
constexpr int ColumnE = 5;
constexpr int ColumnF = 6;
constexpr int ColumnG = 7;
constexpr int ColumnH = 8;
constexpr int ColumnI = 9;
constexpr int FirstQuestionRow = 14;

constexpr int Black = 1;
constexpr int Red = 3;
constexpr int DarkBlue = 25;
constexpr int Blue = 32;

const char* const AnswerPrompt = "Type your Answer here";

QString password()
{
    return QString::fromLatin1(kDatabasePassword);
}

// Ids travel as text between the procedures, as the windows hand them; the database gets numbers, or NULL
// for "none", so that a missing id matches nothing.
QVariant idValue(const QString& id)
{
    bool ok = false;
    const qlonglong n = id.trimmed().toLongLong(&ok);
    return ok ? QVariant(n) : QVariant(QMetaType(QMetaType::LongLong));
}

QString idText(const QVariant& v)
{
    return v.isValid() && !v.isNull() ? QString::number(v.toLongLong()) : QString();
}

QString idText(int id)
{
    return id == 0 ? QString() : QString::number(id);
}

// Invalid when no customer has that name.
QVariant customerIdOf(const QString& name)
{
    return Db::scalar(QStringLiteral("select custid from customer where custname=? order by rowid"), {name});
}

bool logged(const QString& fileName)
{
    return Db::exists(QStringLiteral("select 1 from log where xlsfilename=?"), {fileName});
}

// A stored previous value: 0 and NULL both mean that there was none.
QVariant previousValue(const QVariant& v)
{
    return v.isNull() || v.toLongLong() == 0 ? QVariant() : QVariant(v.toLongLong());
}

// As much as any workbook the program opens; an old file is held in memory until the new one is logged.
constexpr qint64 MaxOldFileSize = 64 * 1024 * 1024;

// Puts a file back as it was before a save that could not be logged: the old bytes, or no file where there was
// none (the file that a link led to is removed, the link stays). False, with the reason, when that failed.
bool restoreFile(const QString& target, bool existed, const QByteArray& previous, QString* reason)
{
    if (existed)
        return WholeFile::write(target, previous, reason);
    QFile file(target);
    if (file.remove() || !file.exists())
        return true;
    *reason = file.errorString();
    return false;
}

} // namespace

SurveyExport::SurveyExport(SurveyExportContext& context) : m_context(context) {}

void SurveyExport::cmdExport_Click(int gridRows)
{
    Progress::setBusy(true);
    m_context.mailMode = false;
    if (gridRows > 2) {
        Progress::setText(QStringLiteral("Record Exporting......"));
        toWriteToExcelSheet();
    }
    Progress::setText(QString());
    Progress::setBusy(false);
}

bool SurveyExport::toWriteToExcelSheet()
{
    Progress::setBusy(true);
    m_context.fileName.clear();
    toTestConnection();

    Naming naming;
    QString custid;
    QString respid;
    try {
        naming = chooseFileName();
        custid = customerId();
        respid = respondentId();
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
        m_context.mailMode = false;
        Progress::setBusy(false);
        return false;
    }

    bool exported = false;
    // Any file that the export would replace is asked about first; declining changes nothing at all.
    const bool replaces = naming.existing || toCheckFileExists(m_context.fileName);
    if ((!replaces || askOverwrite()) && toGetTheLastScoreAndWeightage()) {
        QString error;
        const QString source = programFile(naming.existing ? m_context.fileName : QLatin1String(kTemplateName));
        std::unique_ptr<Workbook> book = Workbook::open(source, &error);
        Worksheet* sheet = book ? book->sheet(QStringLiteral("Sheet1")) : nullptr;
        if (!book)
            failed(error);
        else if (!sheet)
            failed(book->errorString());
        else if (sheet->isProtected() && !sheet->unprotect(password()))
            failed(QStringLiteral("\"Sheet1\" of %1 is protected with another password.").arg(source));
        else
            exported = fill(*book, *sheet, naming, custid, respid);
    }
    m_context.mailMode = false;
    Progress::setBusy(false);
    return exported;
}

bool SurveyExport::fill(Workbook& book, Worksheet& sheet, const Naming& naming, const QString& custid,
                        const QString& respid)
{
    try {
        writeHeader(sheet, custid, respid, surveyId());
        sheet.clearRange(FirstQuestionRow, ColumnA, Worksheet::MaxRows, ColumnG);
        sheet.clearRange(FirstQuestionRow, ColumnI, Worksheet::MaxRows, ColumnI);
        writeQuestions(sheet, custid, respid);
        sheet.protect(password());
        if (m_context.fileName.trimmed().isEmpty() && !chooseUserFileName())
            return false;
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
        return false;
    }

    // The file is saved first and logged after; should the log fail, the file goes back to what it was.
    const QString path = programFile(m_context.fileName);
    // The file to be replaced is read back for the log's sake only when the workbook may take its place at all.
    const FileGuard::Verdict verdict = FileGuard::check(path);
    if (!verdict.allowed()) {
        failed(QStringLiteral("Cannot save %1: %2").arg(QDir::toNativeSeparators(path), verdict.refusal));
        return false;
    }
    // Nothing is replaced that could not be put back: the old file, wherever a link leads, is read whole first.
    struct stat st = {};
    const bool existed = ::stat(QFile::encodeName(verdict.path).constData(), &st) == 0;
    QByteArray previous;
    QString reason;
    if (existed &&
        !WholeFile::read(verdict.path, &previous, &reason, MaxOldFileSize, QStringLiteral("File too large"))) {
        failed(QStringLiteral("Cannot read %1: %2").arg(QDir::toNativeSeparators(path), reason));
        return false;
    }
    if (!(naming.existing ? book.save() : book.saveAs(path))) {
        failed(book.errorString());
        return false;
    }
    try {
        saveLog(respid);
    } catch (const ProviderError& e) {
        const bool restored = restoreFile(verdict.path, existed, previous, &reason);
        toShowConnectionErrors(e);
        // The user must learn that the file is no longer the logged workbook it was.
        if (!restored)
            MsgBox::show(QStringLiteral("The old Survey File could not be put back....\r\n%1 now holds the new "
                                        "Survey File, which is not logged.\r\n%2")
                             .arg(QDir::toNativeSeparators(path), reason),
                         MsgBox::Critical, QLatin1String(kTitle));
        return false;
    }

    if (m_context.mailMode) {
        if (m_context.sendmail)
            m_context.sendmail(m_context.fileName);
    } else if (MsgBox::show(QStringLiteral("Survey File Exported...Do you want to view the file? "),
                            MsgBox::YesNo + MsgBox::Information, QLatin1String(kTitle)) == MsgBox::Yes) {
        const auto notViewed = [path](const QString& reason) {
            MsgBox::show(QStringLiteral("Cannot view the file....%1 could not be opened: %2...")
                             .arg(QDir::toNativeSeparators(path), reason),
                         MsgBox::Critical, QLatin1String(kTitle));
        };
        QString reason;
        if (!Desktop::openFile(path, &reason, notViewed))
            notViewed(reason);
    }
    return true;
}

void SurveyExport::writeHeader(Worksheet& sheet, const QString& custid, const QString& respid,
                               const QString& surveyid) const
{
    const auto write = [&sheet](int row, int column, const QVariant& value) {
        sheet.setValue(row, column, value);
        sheet.setLocked(row, column, true);
    };
    // An id that was not found leaves its cell empty.
    const auto digits = [](const QString& id) { return id.isEmpty() ? QVariant() : QVariant(id.toLongLong()); };
    write(1, ColumnA, gCompanyName);
    sheet.setWrapText(1, ColumnA, true);
    write(1, ColumnI, digits(custid));
    write(2, ColumnI, digits(respid));
    write(3, ColumnI, m_context.surveyDate);
    write(5, ColumnI, digits(surveyid));
    write(1, ColumnH, Desktop::today());
    write(3, ColumnB, QStringLiteral("Pellorin Survey"));
    write(8, ColumnB, QStringLiteral("Customer Name : ") + m_context.customer);
    write(9, ColumnB, QStringLiteral("Respondent Name : ") + m_context.respondent);
    // Rows as high as their texts, so that a long company name shows whole on screen and on paper.
    for (int row : {1, 3, 8, 9})
        sheet.autoFitRow(row);
}

void SurveyExport::writeQuestions(Worksheet& sheet, const QString& custid, const QString& respid) const
{
    struct Question {
        QString parameter;
        QString text;
        bool scored;
        QVariant id;
        QVariant score;
        QVariant weightage;
    };
    // Parameters by name; within one, the survey's order, as the refill stored them.
    QSqlQuery q = Db::exec(QStringLiteral("select Parameter, question, Type, questionid, score, weightage "
                                          "from reportlinktable where custid=? and respondentid=? "
                                          "order by Parameter asc, rowid"),
                           {idValue(custid), idValue(respid)});
    std::vector<Question> questions;
    while (q.next())
        questions.push_back({q.value(0).toString(), q.value(1).toString(), q.value(2).toLongLong() != 0, q.value(3),
                             previousValue(q.value(4)), previousValue(q.value(5))});
    sheet.setValue(4, ColumnI, qlonglong(questions.size()));

    const auto bordered = [&sheet](int row, int column, int colour, bool locked) {
        sheet.setBorderAround(row, column, colour);
        sheet.setLocked(row, column, locked);
    };
    int r = FirstQuestionRow;
    for (size_t i = 0; i < questions.size(); ++i) {
        const Question& question = questions[i];
        if (i == 0 || questions[i - 1].parameter.compare(question.parameter, Qt::CaseInsensitive) != 0) {
            bordered(r, ColumnA, Black, true);
            sheet.setValue(r, ColumnA, question.parameter);
            sheet.setWrapText(r, ColumnA, true);
        }
        bordered(r, ColumnB, question.scored ? Red : DarkBlue, true);
        sheet.setValue(r, ColumnB, question.text);
        sheet.setWrapText(r, ColumnB, true);
        sheet.setValue(r, ColumnI, question.id.toLongLong());
        bordered(r, ColumnD, Black, false);
        bordered(r, ColumnF, Black, true);
        sheet.setValue(r, ColumnF, question.weightage);
        if (question.scored) {
            bordered(r, ColumnC, Black, false);
            bordered(r, ColumnE, Black, true);
            sheet.setValue(r, ColumnE, question.score);
        } else {
            sheet.setFontColorIndex(r + 1, ColumnB, DarkBlue);
            sheet.setValue(r + 1, ColumnB, QLatin1String(AnswerPrompt));
            bordered(r + 1, ColumnB, Blue, false);
            sheet.setWrapText(r + 1, ColumnB, true);
            sheet.autoFitRow(r + 1);
        }
        sheet.autoFitRow(r);
        r += question.scored ? 2 : 3;
    }
}

bool SurveyExport::toGetTheLastScoreAndWeightage()
{
    toTestConnection();
    try {
        // One transaction: the table is rewritten in one step instead of one disk write per question.
        Transaction transaction;
        Db::exec(QStringLiteral("delete from reportlinktable"));
        const QVariant custid = idValue(customerId());
        const QVariant respid = idValue(respondentId());
        const QVariant date = m_context.surveyDate;
        Db::exec(QStringLiteral("insert into reportlinktable (question, respondentname, custname, Type, sdate, "
                                "custid, respondentid, questionid, paramid, Parameter) "
                                "select question, respondentname, custname, Type, sdate, custid, respondentid, "
                                "questionid, paramid, parametername from responquery "
                                "where custid=? and respondentid=? and sdate=? order by \"Order\""),
                 {custid, respid, date});
        // The respondent's latest answer before this survey date, question by question; a 0 there (a blank
        // entry) copies nothing, even when an older answer had a value.
        const QString latest = QStringLiteral("(select %2 from %1 a where a.custid=reportlinktable.custid "
                                              "and a.respondentid=reportlinktable.respondentid "
                                              "and a.questionid=reportlinktable.questionid and a.surveydate<? "
                                              "order by a.surveydate desc, a.%3 desc limit 1)");
        const QString objective = QStringLiteral("objquery");
        const QString descriptive = QStringLiteral("descquery");
        Db::exec(QStringLiteral("update reportlinktable set weightage=coalesce(nullif(%1, 0), weightage), "
                                "score=coalesce(nullif(%2, 0), score) where coalesce(Type, 0)<>0")
                     .arg(latest.arg(objective, QStringLiteral("weightage"), QStringLiteral("feedbackobjid")),
                          latest.arg(objective, QStringLiteral("score"), QStringLiteral("feedbackobjid"))),
                 {date, date});
        Db::exec(QStringLiteral("update reportlinktable set weightage=coalesce(nullif(%1, 0), weightage) "
                                "where coalesce(Type, 0)=0")
                     .arg(latest.arg(descriptive, QStringLiteral("weightage"), QStringLiteral("feedbackdescid"))),
                 {date});
        transaction.commit();
        return true;
    } catch (const ProviderError& e) {
        // Better no questions than those of the survey refilled before.
        try {
            Db::exec(QStringLiteral("delete from reportlinktable"));
        } catch (const ProviderError&) {
        }
        toShowConnectionErrors(e);
        return false;
    }
}

SurveyExport::Naming SurveyExport::chooseFileName()
{
    Naming naming;
    m_context.fileName.clear();
    const QString logged = logFileName();
    naming.existing = toCheckFileExists(logged);
    if (m_context.userDefinedName || naming.existing)
        m_context.fileName = logged;
    else
        m_context.fileName = uniqueSystemName(systemFileName());
    return naming;
}

bool SurveyExport::askOverwrite() const
{
    const QString text = m_context.fileName + QStringLiteral(" file apready exist for Respondent - ") +
                         m_context.respondent + QStringLiteral(" for Survey Date - ") +
                         ValueFormat::formatDate(m_context.surveyDate) +
                         QStringLiteral("....Do you want to overwrite?\r\n");
    return MsgBox::show(text, MsgBox::YesNo + MsgBox::Information, QLatin1String(kTitle)) == MsgBox::Yes;
}

bool SurveyExport::chooseUserFileName()
{
    QString title;
    for (int attempt = 1;; ++attempt) {
        if (attempt > 1)
            MsgBox::show(QStringLiteral("Duplicate Survey File...Cannot Save Duplicate Survey File..."),
                         MsgBox::Critical, QLatin1String(kTitle));
        // A name already taken gets the program's own message below, so the dialog does not ask first.
        const QString chosen =
            MsgBox::getSaveFileName(QString(), programFolder(), QStringLiteral("*.xlsx|*.xlsx|*.xlsx"), false);
        title = chosen.isEmpty() ? QString() : QFileInfo(chosen).fileName();
        if (title.trimmed().isEmpty()) {
            MsgBox::show(QStringLiteral("Survey File Export cancelled..."), MsgBox::Information, QLatin1String(kTitle));
            return false;
        }
        if (title.contains(u'\\')) {
            MsgBox::show(QStringLiteral("Survey File Name cannot contain a path separator..."), MsgBox::Critical,
                         QLatin1String(kTitle));
            attempt = 0;
            continue;
        }
        if (!title.endsWith(QLatin1String(kExtension), Qt::CaseInsensitive))
            title += QLatin1String(kExtension);
        // Neither a logged workbook nor any other file of the program's folder is written over.
        const bool taken = isReservedName(title) || QFileInfo::exists(programFile(title));
        if (!taken && !logged(title))
            break;
    }
    m_context.fileName = title;
    return true;
}

void SurveyExport::saveLog(const QString& respid)
{
    Transaction transaction;
    resetLogStatus(respid);
    writeLogRow(m_context.customer, m_context.respondent, m_context.fileName, m_context.surveyDate);
    transaction.commit();
}

void SurveyExport::resetLogStatus(const QString& respid)
{
    Db::exec(QStringLiteral("update log set Status=0 where rowid=(select rowid from log where respid=? and sdate=? "
                            "order by rowid limit 1)"),
             {idValue(respid), m_context.surveyDate});
}

void SurveyExport::writeLogRow(const QString& custname, const QString& respname, const QString& xlsfilename,
                               const QDate& sdate)
{
    // The row of the same four values is rewritten; without one a row is added.
    const QVariant row = Db::scalar(QStringLiteral("select rowid from log where custname=? and respname=? and "
                                                   "xlsfilename=? and sdate=? order by rowid"),
                                    {custname, respname, xlsfilename, sdate});
    const QVariantList values = {
        custname, respname, xlsfilename, sdate, idValue(surveyId(sdate, custname)), idValue(respondentId())};
    if (!row.isValid()) {
        Db::exec(QStringLiteral("insert into log (custname, respname, xlsfilename, sdate, surveyid, respid) "
                                "values (?, ?, ?, ?, ?, ?)"),
                 values);
    } else {
        Db::exec(QStringLiteral("update log set custname=?, respname=?, xlsfilename=?, sdate=?, surveyid=?, "
                                "respid=? where rowid=?"),
                 values + QVariantList{row});
    }
}

void SurveyExport::failed(const QString& reason) const
{
    MsgBox::show(QStringLiteral("Survey File could not be Exported....\r\n") + reason, MsgBox::Critical,
                 QLatin1String(kTitle));
}

// Look-ups --------------------------------------------------------------------------------------------------

QString SurveyExport::customerId() const
{
    return idText(customerIdOf(m_context.customer));
}

QString SurveyExport::respondentId() const
{
    const SurveyKey survey{m_context.customer, m_context.respondent, m_context.surveyDate, m_context.respondentId};
    return idText(SurveyStore::respondentId(customerId().toInt(), survey));
}

QString SurveyExport::surveyId() const
{
    return surveyId(m_context.surveyDate, m_context.customer);
}

QString SurveyExport::surveyId(const QDate& date, const QString& customer) const
{
    return idText(SurveyStore::surveyId(date, customerIdOf(customer).toInt()));
}

QString SurveyExport::logFileName() const
{
    const QString name =
        Db::scalar(QStringLiteral("select xlsfilename from log where custname=? and respid=? and sdate=? "
                                  "order by rowid"),
                   {m_context.customer, idValue(respondentId()), m_context.surveyDate})
            .toString();
    // A name that could only have been logged by hand is never written to.
    return isReservedName(name) ? QString() : name;
}

QString SurveyExport::systemFileName() const
{
    QSqlQuery q = Db::exec(QStringLiteral("select surveyid, custid, respondentid from responquery "
                                          "where custid=? and respondentid=? and sdate=? order by \"Order\""),
                           {idValue(customerId()), idValue(respondentId()), m_context.surveyDate});
    if (!q.next())
        return QString();
    return (idText(q.value(0)) + idText(q.value(1)) + idText(q.value(2))).trimmed() + QLatin1String(kExtension);
}

bool SurveyExport::loggedForAnotherSurvey(const QString& name) const
{
    return Db::exists(QStringLiteral("select 1 from log where xlsfilename=? and not (custname=? and respid is ? "
                                     "and sdate=?)"),
                      {name, m_context.customer, idValue(respondentId()), m_context.surveyDate});
}

// Ids run together can give two surveys one name (1, 23, 4 and 12, 3, 4): the later one gets a suffix.
QString SurveyExport::uniqueSystemName(const QString& name) const
{
    if (name.isEmpty())
        return name;
    const QString stem = name.chopped(int(qstrlen(kExtension)));
    QString candidate = name;
    for (int n = 2; isReservedName(candidate) || loggedForAnotherSurvey(candidate); ++n)
        candidate = QStringLiteral("%1-%2%3").arg(stem).arg(n).arg(QLatin1String(kExtension));
    return candidate;
}

bool SurveyExport::isReservedName(const QString& name)
{
    const QString n = name.trimmed();
    return n.contains(u'/') || n.contains(u'\\') || n == QLatin1String(".") || n == QLatin1String("..") ||
           n.compare(QLatin1String(kTemplateName), Qt::CaseInsensitive) == 0 ||
           n.compare(QLatin1String("Pellorin.mdb"), Qt::CaseInsensitive) == 0;
}

// The procedures as the windows call them: each reports its own failure and returns its empty value.

QString SurveyExport::toGetLogFileName()
{
    toTestConnection();
    try {
        return logFileName();
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
        return QString();
    }
}

bool SurveyExport::toCheckFileExists(const QString& name) const
{
    if (name.trimmed().isEmpty())
        return false;
    return QFileInfo(programFile(name)).isFile();
}

QString SurveyExport::toGetSystemFileName()
{
    toTestConnection();
    try {
        return systemFileName();
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
        return QString();
    }
}

void SurveyExport::toResetLogStatus(const QString& respid)
{
    toTestConnection();
    try {
        resetLogStatus(respid);
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
}

void SurveyExport::toSaveLogDetails(const QString& custname, const QString& respname, const QString& xlsfilename,
                                    const QDate& sdate)
{
    toTestConnection();
    try {
        writeLogRow(custname, respname, xlsfilename, sdate);
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
}

bool SurveyExport::toCheckDuplicateFileName(const QString& name)
{
    toTestConnection();
    try {
        return logged(name);
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
        return false;
    }
}
