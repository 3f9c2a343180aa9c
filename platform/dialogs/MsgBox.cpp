#include "platform/dialogs/MsgBox.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QQueue>

namespace MsgBox
{
namespace
{

struct SeamState {
    bool testMode = false;
    QQueue<int> answers;
    QQueue<QString> fileNames;
    QQueue<QStringList> fileNameLists;
    QList<Shown> shown;
    QList<FileDialogShown> fileDialogs;
};

std::function<void()>& beforeShow()
{
    static std::function<void()> hook;
    return hook;
}

SeamState& seam()
{
    static SeamState s;
    return s;
}

int defaultAnswer(int style)
{
    const int buttons = style & 7;
    if (buttons == YesNo)
        return Yes;
    if (buttons == RetryCancel)
        return Retry;
    return Ok;
}

QString titleOrDefault(const QString& title)
{
    if (!title.isEmpty())
        return title;
    const QString name = QApplication::applicationName();
    return name.isEmpty() ? QStringLiteral("Quorvane") : name;
}

int showReal(const QString& text, int style, const QString& title)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(titleOrDefault(title));
    box.setText(text);
    const bool critical = style & Critical;
    const bool information = style & Information;
    if (critical)
        box.setIcon(QMessageBox::Critical);
    else if (information)
        box.setIcon(QMessageBox::Information);
    if (style & RightAlign) {
        if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
            label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    switch (style & 7) {
    case OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        break;
    case YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    case RetryCancel:
        box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Retry);
        break;
    default:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Cancel:
        return Cancel;
    case QMessageBox::Retry:
        return Retry;
    case QMessageBox::Yes:
        return Yes;
    case QMessageBox::No:
        return No;
    default:
        // Closing an OK/Cancel box with the window's close button answers Cancel, as the platform does.
        return ((style & 7) == OkCancel || (style & 7) == RetryCancel) && box.clickedButton() == nullptr ? Cancel : Ok;
    }
}

// The platform's filters read "Caption|pattern|Caption|pattern"; Qt's read "Caption (pattern);;...".
QString qtFilter(const QString& filter)
{
    QStringList parts = filter.split(QLatin1Char('|'));
    QStringList qtFilters;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        qtFilters << parts[i] + QStringLiteral(" (") + parts[i + 1].replace(QLatin1Char(';'), QLatin1Char(' ')) +
                         QStringLiteral(")");
    return qtFilters.isEmpty() ? filter : qtFilters.join(QStringLiteral(";;"));
}

QString fileDialog(bool save, const QString& title, const QString& directory, const QString& filter)
{
    SeamState& s = seam();
    if (s.testMode) {
        s.fileDialogs.append({save, title, directory, filter});
        return s.fileNames.isEmpty() ? QString() : s.fileNames.dequeue();
    }
    QWidget* parent = QApplication::activeWindow();
    return save ? QFileDialog::getSaveFileName(parent, title, directory, qtFilter(filter))
                : QFileDialog::getOpenFileName(parent, title, directory, qtFilter(filter));
}

} // namespace

int show(const QString& text, int style, const QString& title)
{
    if (beforeShow())
        beforeShow()();
    SeamState& s = seam();
    if (s.testMode) {
        s.shown.append({text, style, title});
        return s.answers.isEmpty() ? defaultAnswer(style) : s.answers.dequeue();
    }
    return showReal(text, style, title);
}

void setBeforeShow(std::function<void()> hook)
{
    beforeShow() = std::move(hook);
}

QString getOpenFileName(const QString& title, const QString& directory, const QString& filter)
{
    return fileDialog(false, title, directory, filter);
}

QString getSaveFileName(const QString& title, const QString& directory, const QString& filter)
{
    return fileDialog(true, title, directory, filter);
}

QStringList getOpenFileNames(const QString& title, const QString& directory, const QString& filter)
{
    SeamState& s = seam();
    if (s.testMode) {
        s.fileDialogs.append({false, title, directory, filter, true});
        return s.fileNameLists.isEmpty() ? QStringList() : s.fileNameLists.dequeue();
    }
    return QFileDialog::getOpenFileNames(QApplication::activeWindow(), title, directory, qtFilter(filter));
}

void setTestMode(bool on)
{
    seam() = SeamState();
    seam().testMode = on;
}

bool testMode()
{
    return seam().testMode;
}
void setNextAnswer(int answer)
{
    seam().answers.enqueue(answer);
}
void setNextFileName(const QString& path)
{
    seam().fileNames.enqueue(path);
}
void setNextFileNames(const QStringList& paths)
{
    seam().fileNameLists.enqueue(paths);
}
QList<Shown> shown()
{
    return seam().shown;
}
QList<FileDialogShown> fileDialogsShown()
{
    return seam().fileDialogs;
}

void clearRecords()
{
    seam().shown.clear();
    seam().fileDialogs.clear();
}

} // namespace MsgBox
