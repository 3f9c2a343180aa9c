#include "analysis/ChartWindows.h"

#include "analysis/ReportWindows.h"
#include "platform/chart/ChartControl.h"
#include "platform/dialogs/MsgBox.h"
#include "platform/files/WholeFile.h"
#include "platform/report/ValueFormat.h"
#include "shell/Db.h"
#include "shell/Progress.h"
#include "shell/ProviderError.h"
#include "shell/gblGlobal.h"
#include "surveys/SurveyLists.h"
#include "surveys/SurveyStore.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImageWriter>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QSignalBlocker>

namespace ChartWindows
{

namespace
{

// The caption and borders that a window's layout height counts.
constexpr int kCaptionTwips = 345;

// Written whole or not at all, so a failed save never leaves half a picture behind.
bool saveBitmap(const QImage& image, const QString& path, QString* error)
{
    QBuffer bytes;
    bytes.open(QIODevice::WriteOnly);
    QImageWriter writer(&bytes, "BMP");
    if (!writer.write(image.convertToFormat(QImage::Format_RGB32))) {
        *error = writer.errorString();
        return false;
    }
    return WholeFile::write(path, bytes.data(), error);
}

} // namespace

QString nameKey(const QString& name)
{
    QString key = name;
    for (QChar& c : key)
        if (c.unicode() < 128)
            c = c.toLower();
    return key;
}

void forEachGroup(QSqlQuery& query, const std::function<QString(const QVariant&)>& keyOf,
                  const std::function<void(const QVariant& key, const QList<StoredAnswer>& answers)>& group)
{
    QVariant first;
    QString current;
    QList<StoredAnswer> answers;
    while (query.next()) {
        const QString key = keyOf(query.value(0));
        if (!answers.isEmpty() && key != current) {
            group(first, answers);
            answers.clear();
        }
        if (answers.isEmpty()) {
            first = query.value(0);
            current = key;
        }
        answers.append(StoredAnswer{query.value(1), query.value(2)});
    }
    if (!answers.isEmpty())
        group(first, answers);
}

int contentHeight(int twips)
{
    return qMax(0, (twips - kCaptionTwips) / 15);
}

void setFormHeight(QWidget* form, int twips)
{
    const int height = contentHeight(twips);
    auto* frame = qobject_cast<QMdiSubWindow*>(form->parentWidget());
    const int decoration = frame ? frame->height() - form->height() : 0;
    form->setFixedHeight(height);
    if (frame)
        frame->resize(frame->width(), height + decoration);
}

void fillCustomers(QComboBox* list)
{
    QStringList names;
    try {
        toTestConnection();
        names = SurveyStore::customers();
    } catch (const ProviderError& e) {
        Progress::setBusy(false);
        toShowConnectionErrors(e);
    }
    SurveyLists::refill(list, names);
}

void fillSurveyDates(QListWidget* list, const QString& customerName)
{
    const QSignalBlocker blocker(list);
    list->clear();
    try {
        toTestConnection();
        QSqlQuery q = Db::exec(QStringLiteral("select sdate from survey where custid=? order by sdate asc"),
                               {toGetCustomerID(customerName)});
        while (q.next())
            SurveyLists::addDate(list, ValueFormat::toDate(q.value(0)));
    } catch (const ProviderError& e) {
        Progress::setBusy(false);
        toShowConnectionErrors(e);
    }
}

void showFirstError(const ProviderError& error)
{
    const ErrorRecord first = error.records().value(0);
    MsgBox::show(QString::number(first.number) + QStringLiteral(" : ") + first.description);
}

void printChart(ChartControl* chart, const QString& pictureName, const QString& reportName, const QString& title)
{
    const QImage picture = chart->picture();
    const QString path = programFile(pictureName);
    QString error;
    if (!saveBitmap(picture, path, &error)) {
        Progress::setText(QString());
        Progress::setBusy(false);
        // 75: the number a failed file access has always been reported with.
        MsgBox::show(QStringLiteral("75:The chart picture could not be saved as %1: %2").arg(path, error));
        return;
    }
    QGuiApplication::clipboard()->setImage(picture);

    ReportWindows::printReport(reportName, title);
}

} // namespace ChartWindows
