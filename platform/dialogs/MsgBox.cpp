#include "platform/dialogs/MsgBox.h"

#include <QApplication>
#include <QDateTime>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QQueue>
#include <QRegularExpression>
#include <QScreen>
#include <QSpacerItem>
#include <QSplitter>
#include <QStyle>
#include <QTreeView>

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

// A style's buttons, in their order; no second one for OK alone.
struct Buttons {
    int first = Ok;
    int second = 0;
};

Buttons buttonsOf(int style)
{
    switch (style & 7) {
    case OkCancel:
        return {Ok, Cancel};
    case YesNo:
        return {Yes, No};
    case RetryCancel:
        return {Retry, Cancel};
    default:
        return {};
    }
}

// The button Return presses, and the seam's answer when none is queued.
int defaultAnswer(int style)
{
    const Buttons buttons = buttonsOf(style);
    return (style & DefaultButton2) && buttons.second ? buttons.second : buttons.first;
}

QMessageBox::StandardButton standardButton(int answer)
{
    switch (answer) {
    case Ok:
        return QMessageBox::Ok;
    case Cancel:
        return QMessageBox::Cancel;
    case Retry:
        return QMessageBox::Retry;
    case Yes:
        return QMessageBox::Yes;
    case No:
        return QMessageBox::No;
    default:
        return QMessageBox::NoButton;
    }
}

QString titleOrDefault(const QString& title)
{
    if (!title.isEmpty())
        return title;
    const QString name = QApplication::applicationName();
    return name.isEmpty() ? QStringLiteral("Quorvane") : name;
}

// Qt sizes a box by its text, so a short message gets a frame too narrow for its title and the window manager
// elides the title. A fixed spacer across the box's grid keeps the box at least as wide as the title needs.
void keepTitleWhole(QMessageBox& box)
{
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid)
        return;
    int room = titleWidth(box.windowTitle());
    if (const QScreen* screen = box.screen())
        room = std::min(room, screen->availableGeometry().width() * 3 / 4);
    grid->addItem(new QSpacerItem(room, 0, QSizePolicy::Fixed, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                  std::max(1, grid->columnCount()));
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
    const Buttons buttons = buttonsOf(style);
    box.setStandardButtons(standardButton(buttons.first) | standardButton(buttons.second));
    box.setDefaultButton(standardButton(defaultAnswer(style)));
    keepTitleWhole(box);
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

// Icons and type names by kind alone. Qt's own provider guesses a file's type from its content, opening and
// closing every file it lists; closing any descriptor of a file drops every POSIX lock the process holds on it,
// so listing the program's folder would take the database's locks away from its connection.
class KindIconProvider : public QFileIconProvider
{
public:
    QIcon icon(IconType type) const override { return QFileIconProvider::icon(type); }
    QIcon icon(const QFileInfo& info) const override { return icon(info.isDir() ? Folder : File); }
    QString type(const QFileInfo& info) const override
    {
        if (info.isDir())
            return QFileDialog::tr("Folder");
        return info.suffix().isEmpty() ? QFileDialog::tr("File") : QFileDialog::tr("%1 File").arg(info.suffix());
    }
};

KindIconProvider& kindIcons()
{
    // Never destroyed: dialogs may outlive any scope, and nothing of it must run after the application's end.
    static auto* provider = new KindIconProvider;
    return *provider;
}

// Lists of files that Qt makes on its own (the print dialog's browser for "Print to file", the completion of the
// file name typed there) get the same provider before they list anything. A model lists its folder from another
// thread and takes in what it found as events; the provider is set at its window's showing or its first event,
// whichever comes first, so no file is typed by its content in between.
class FileListGuard : public QObject
{
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (auto* model = qobject_cast<QFileSystemModel*>(watched)) {
            guard(model);
        } else if (event->type() == QEvent::Show && watched->isWidgetType() &&
                   static_cast<QWidget*>(watched)->isWindow()) {
            if (auto* dialog = qobject_cast<QFileDialog*>(watched); dialog && dialog->iconProvider() != &kindIcons())
                dialog->setIconProvider(&kindIcons());
            for (QFileSystemModel* model : watched->findChildren<QFileSystemModel*>())
                guard(model);
        }
        return false;
    }

private:
    static void guard(QFileSystemModel* model)
    {
        if (model->iconProvider() != &kindIcons())
            model->setIconProvider(&kindIcons());
    }
};

// The widest texts of the detail view's Size, Type and Date Modified columns (1 to 3), as the dialog words them: in
// the system's formats, and with the kinds of the files the filter lets through.
QStringList widestTexts(int column, const QString& filter)
{
    const QLocale system = QLocale::system();
    QStringList texts;
    if (column == 1) {
        for (qint64 unit : {qint64(1), qint64(1) << 10, qint64(1) << 20, qint64(1) << 30})
            texts << system.formattedDataSize(unit * 1024 - 1);
    } else if (column == 2) {
        texts << QFileDialog::tr("Folder") << QFileDialog::tr("File");
        static const QRegularExpression suffix(QStringLiteral("\\*\\.([^\\s;|()*?]+)"));
        for (const QRegularExpressionMatch& m : suffix.globalMatch(filter))
            texts << QFileDialog::tr("%1 File").arg(m.captured(1));
    } else if (column == 3) {
        texts << system.toString(QDateTime(QDate(2000, 12, 28), QTime(23, 58, 58)), QLocale::ShortFormat);
    }
    return texts;
}

// Qt sizes the detail view's columns to bare sample texts, so that sizes and dates in the system's format show cut
// short ("70,…KiB"). Each column gets room for its widest text, with the margins the view draws it in.
void fitColumns(QTreeView* tree, const QString& filter)
{
    QHeaderView* header = tree->header();
    const QFontMetrics metrics(tree->font());
    const int margins =
        2 * (tree->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, tree) + 1) + metrics.averageCharWidth();
    for (int column = 1; column < std::min(header->count(), 4); ++column) {
        int width = std::max(header->sectionSize(column), header->sectionSizeHint(column));
        for (const QString& text : widestTexts(column, filter))
            width = std::max(width, metrics.horizontalAdvance(text) + margins);
        header->resizeSection(column, width);
    }
}

// Once the dialog is laid out, as it is shown, it widens until the detail view shows every column beside the
// sidebar, as far as the screen allows.
class WideEnoughOnShow : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* dialog = qobject_cast<QFileDialog*>(watched);
        if (event->type() != QEvent::Show || !dialog)
            return false;
        dialog->removeEventFilter(this);
        auto* tree = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
        if (!tree)
            return false;
        const int needed = tree->header()->length() + 2 * tree->frameWidth() +
                           tree->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, tree);
        const int grow = needed - tree->width();
        if (grow <= 0)
            return false;
        const QScreen* screen = dialog->screen();
        const int room = screen ? screen->availableGeometry().width() * 19 / 20 : dialog->width() + grow;
        const int width = std::min(dialog->width() + grow, std::max(room, dialog->width()));
        auto* splitter = dialog->findChild<QSplitter*>(QStringLiteral("splitter"));
        const int sidebar = splitter && splitter->count() > 1 ? splitter->sizes().value(0) : 0;
        dialog->resize(width, dialog->height());
        // The splitter may share the new room with the sidebar; the file list takes it all.
        if (sidebar > 0)
            splitter->setSizes({sidebar, std::max(0, splitter->width() - sidebar - splitter->handleWidth())});
        return false;
    }
};

QStringList runFileDialog(QFileDialog::AcceptMode mode, QFileDialog::FileMode fileMode, const QString& title,
                          const QString& directory, const QString& filter, bool confirmOverwrite = true)
{
    // Made without a folder, so that nothing is listed before the provider is in place; Qt's own dialog, since a
    // desktop's native dialog reads the files it lists as it likes.
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !confirmOverwrite);
    dialog.setIconProvider(&kindIcons());
    dialog.setWindowTitle(title);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(fileMode);
    dialog.setNameFilter(qtFilter(filter));
    dialog.setDirectory(directory);
    if (auto* tree = dialog.findChild<QTreeView*>(QStringLiteral("treeView")))
        fitColumns(tree, filter);
    WideEnoughOnShow wideEnough;
    dialog.installEventFilter(&wideEnough);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

QString fileDialog(bool save, const QString& title, const QString& directory, const QString& filter,
                   bool confirmOverwrite = false)
{
    SeamState& s = seam();
    if (s.testMode) {
        s.fileDialogs.append({save, title, directory, filter, false, confirmOverwrite});
        return s.fileNames.isEmpty() ? QString() : s.fileNames.dequeue();
    }
    return runFileDialog(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen,
                         save ? QFileDialog::AnyFile : QFileDialog::ExistingFile, title, directory, filter,
                         confirmOverwrite)
        .value(0);
}

} // namespace

QString qtFilter(const QString& filter)
{
    QStringList parts = filter.split(QLatin1Char('|'));
    QStringList qtFilters;
    // Qt takes the patterns from a caption's last parentheses, or the whole caption when it has none: a caption
    // that already reads as its own patterns ("All Files (*.xlsx)", "*.xlsx") is shown as it is, not doubled.
    static const QRegularExpression trailingPatterns(QStringLiteral("\\(([^()]*)\\)\\s*$"));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = parts[i + 1].replace(QLatin1Char(';'), QLatin1Char(' ')).trimmed();
        const QRegularExpressionMatch m = trailingPatterns.match(parts[i]);
        const QString own = m.hasMatch() ? m.captured(1) : parts[i];
        if (own.simplified() == patterns.simplified())
            qtFilters << parts[i];
        else
            qtFilters << parts[i] + QStringLiteral(" (") + patterns + QStringLiteral(")");
    }
    return qtFilters.isEmpty() ? filter : qtFilters.join(QStringLiteral(";;"));
}

int titleWidth(const QString& title)
{
    // Title bars draw their text larger and bold, centred between the frame's buttons.
    QFont font = QApplication::font();
    font.setBold(true);
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * 1.25);
    else
        font.setPixelSize(font.pixelSize() * 5 / 4);
    const QFontMetrics metrics(font);
    return metrics.horizontalAdvance(title) + 8 * metrics.height();
}

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

QString getSaveFileName(const QString& title, const QString& directory, const QString& filter, bool confirmOverwrite)
{
    return fileDialog(true, title, directory, filter, confirmOverwrite);
}

QStringList getOpenFileNames(const QString& title, const QString& directory, const QString& filter)
{
    SeamState& s = seam();
    if (s.testMode) {
        s.fileDialogs.append({false, title, directory, filter, true});
        return s.fileNameLists.isEmpty() ? QStringList() : s.fileNameLists.dequeue();
    }
    return runFileDialog(QFileDialog::AcceptOpen, QFileDialog::ExistingFiles, title, directory, filter);
}

void guardFileDialogs()
{
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    auto* guard = new FileListGuard;
    guard->setParent(qApp);
    qApp->installEventFilter(guard);
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
