#include "feedback/SurveyWorkbookReader.h"

#include "platform/workbook/Workbook.h"
#include "shell/gblGlobal.h"

#include <QDir>
#include <QFileInfo>

#include <cmath>
#include <limits>

namespace
{

constexpr int ColumnB = 2;
constexpr int ColumnC = 3;
constexpr int ColumnD = 4;
constexpr int ColumnI = 9;
constexpr qint64 MaxFileSize = 64ll * 1024 * 1024;

// I4 as a number: a number cell, or text that reads as one. Empty counts as no questions.
bool questionCount(const Worksheet& sheet, double* count)
{
    const QVariant v = sheet.value(4, ColumnI);
    switch (v.typeId()) {
    case QMetaType::UnknownType:
        *count = 0;
        return true;
    case QMetaType::LongLong:
    case QMetaType::Double:
        *count = v.toDouble();
        return std::isfinite(*count);
    case QMetaType::QString: {
        bool ok = false;
        *count = v.toString().trimmed().toDouble(&ok);
        return ok && std::isfinite(*count);
    }
    default:
        return false;
    }
}

bool fail(QString* error, const QString& path, const QString& reason)
{
    if (error)
        *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), reason);
    return false;
}

} // namespace

bool SurveyWorkbookReader::Answer::hasAnswer() const
{
    return !isAnswerPrompt(answer);
}

bool SurveyWorkbookReader::isAnswerPrompt(const QString& text)
{
    // Only blanks around the prompt are ignored; a tab or a line break typed next to it makes it an answer.
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == u' ')
        ++first;
    while (last > first && text.at(last - 1) == u' ')
        --last;
    return QStringView(text).sliced(first, last - first) == QLatin1String(kAnswerPrompt);
}

bool SurveyWorkbookReader::isTemplate(const QString& fileNameOrPath)
{
    return QFileInfo(fileNameOrPath).fileName().compare(QLatin1String("template.xlsx"), Qt::CaseInsensitive) == 0;
}

bool SurveyWorkbookReader::read(const QString& path, Content* content, QString* error)
{
    *content = Content();
    // Far beyond any survey workbook; reading such a file whole would only exhaust memory.
    if (QFileInfo(path).size() > MaxFileSize)
        return fail(error, path, QStringLiteral("the file is too large for a survey workbook"));
    QString reason;
    std::unique_ptr<Workbook> book = Workbook::open(path, &reason);
    if (!book) {
        if (error)
            *error = reason;
        return false;
    }
    Worksheet* sheet = book->sheet(QStringLiteral("Sheet1"));
    if (!sheet)
        return fail(error, path, QStringLiteral("the workbook has no worksheet \"Sheet1\""));
    if (sheet->isProtected() && !sheet->unprotect(QString::fromLatin1(kDatabasePassword)))
        return fail(error, path, QStringLiteral("\"Sheet1\" is protected with another password"));

    // The ids become keys of stored answers: anything but a whole number would store them under a made-up key.
    const std::optional<int> respondentId = wholeNumber(sheet->value(2, ColumnI));
    if (!respondentId)
        return fail(error, path, QStringLiteral("cell I2 does not hold the respondent's id"));
    content->respondentId = *respondentId;
    content->surveyDate = sheet->dateValue(3, ColumnI);
    if (!content->surveyDate.isValid())
        return fail(error, path, QStringLiteral("cell I3 does not hold the survey date"));
    double count = 0;
    if (!questionCount(*sheet, &count))
        return fail(error, path, QStringLiteral("cell I4 does not hold the number of questions"));
    // Three rows per question at most; a count that would run past the sheet's last row is not a survey's.
    if (count > double(Worksheet::MaxRows - kFirstQuestionRow - 1) / 3)
        return fail(error, path, QStringLiteral("cell I4 holds more questions than a worksheet can"));
    content->questionCount = int(std::nearbyint(count));
    const std::optional<int> surveyId = wholeNumber(sheet->value(5, ColumnI));
    if (!surveyId)
        return fail(error, path, QStringLiteral("cell I5 does not hold the survey's id"));
    content->surveyId = *surveyId;

    // The last row examined is I4 * 3 + 15, rounded as the spreadsheet rounds (halves to the even neighbour).
    const long lastRow = long(std::nearbyint(count * 3 + kFirstQuestionRow + 1));
    for (long r = kFirstQuestionRow; r <= lastRow; ++r) {
        const int row = int(r);
        const QVariant id = sheet->value(row, ColumnI);
        if (!id.isValid() || (id.typeId() == QMetaType::QString && id.toString().isEmpty()))
            continue;
        Answer a;
        a.row = row;
        a.questionId = wholeNumber(id);
        a.weightage = sheet->text(row, ColumnD);
        a.score = sheet->text(row, ColumnC);
        a.answer = sheet->text(row + 1, ColumnB);
        content->answers.append(a);
    }
    return true;
}

std::optional<int> SurveyWorkbookReader::wholeNumber(const QVariant& cell)
{
    qint64 n = 0;
    if (cell.typeId() == QMetaType::LongLong) {
        n = cell.toLongLong();
    } else if (cell.typeId() == QMetaType::QString) {
        const QString digits = cell.toString().trimmed();
        qsizetype i = digits.startsWith(u'-') ? 1 : 0;
        if (i == digits.size())
            return std::nullopt;
        for (; i < digits.size(); ++i) {
            if (digits[i] < u'0' || digits[i] > u'9')
                return std::nullopt;
        }
        bool ok = false;
        n = digits.toLongLong(&ok);
        if (!ok)
            return std::nullopt;
    } else {
        return std::nullopt;
    }
    if (n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(n);
}
