#include "analysis/frmImprovementPlan.h"

#include "analysis/ReportWindows.h"
#include "analysis/TrackingControls.h"
#include "platform/desktop/Desktop.h"
#include "platform/dialogs/MsgBox.h"
#include "platform/report/ValueFormat.h"
#include "shell/Db.h"
#include "shell/HelpTopics.h"
#include "shell/MDIMain.h"
#include "shell/Progress.h"
#include "shell/ProviderError.h"
#include "shell/SearchHits.h"
#include "shell/WindowRegistry.h"
#include "shell/gblGlobal.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTreeWidget>

#include <cmath>

namespace
{

// List columns.
enum Column { ColAction = 0, ColDate = 1, ColTarget = 2, ColStatus = 3 };

const QString completeText = QStringLiteral("Complete");
const QString notCompleteText = QStringLiteral("Not Complete");

using TrackingControls::makeCaptioned;

// A listed date: the shown text, and the date itself for reading back and for nothing else.
void setDateCell(QTreeWidgetItem* row, int column, const QVariant& value)
{
    const QDate date = value.isNull() ? QDate() : ValueFormat::toDate(value);
    row->setText(column, date.isValid() ? ValueFormat::formatDate(date) : QString());
    row->setData(column, Qt::UserRole, date);
}

QDate dateCell(const QTreeWidgetItem* row, int column)
{
    return row->data(column, Qt::UserRole).toDate();
}

// Date columns as wide as the widest date the short date format gives, so that no listed date is cut. Every day of
// a leap year meets every month and weekday name the format may spell out; the year is measured once for all.
void fitDateColumns(QTreeWidget* list, std::initializer_list<int> columns)
{
    const QFontMetricsF metrics(list->font());
    qreal widest = 0;
    for (QDate day(2032, 1, 1); day.year() == 2032; day = day.addDays(1))
        widest = qMax(widest, metrics.horizontalAdvance(ValueFormat::formatDate(day)));
    // The view draws a text between its margins and cuts it when its unrounded width does not fit.
    const int margins = 2 * (list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1);
    for (const int column : columns)
        list->setColumnWidth(column, qMax(list->columnWidth(column), int(std::ceil(widest)) + margins));
}

} // namespace

frmImprovementPlan::frmImprovementPlan(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Improvement Plan"));
    setFixedSize(644, 456);

    Label2 = makeCaptioned<QLabel>(this, "Label2", QStringLiteral("Customer Name"), QRect(16, 12, 200, 20));
    lstCusName = makeControl<QListWidget>(this, "lstCusName", QRect(16, 34, 200, 178));
    lstCusName->setSelectionMode(QAbstractItemView::MultiSelection);
    Label3 = makeCaptioned<QLabel>(this, "Label3", QStringLiteral("Plan Date"), QRect(232, 12, 144, 20));
    dtdate = ReportWindows::makeDatePicker(this, "dtdate", QRect(232, 34, 144, 26));
    Label4 = makeCaptioned<QLabel>(this, "Label4", QStringLiteral("Target Date"), QRect(392, 12, 144, 20));
    dttargetDate = ReportWindows::makeDatePicker(this, "dttargetDate", QRect(392, 34, 144, 26));
    txtDescription = makeControl<QLineEdit>(this, "txtDescription", QRect(232, 76, 304, 28));

    Frame2 = makeControl<QGroupBox>(this, "Frame2", QRect(232, 120, 304, 64));
    Frame2->setTitle(QStringLiteral("Status"));
    opnComplete = makeCaptioned<QRadioButton>(Frame2, "opnComplete", completeText, QRect(14, 28, 120, 24));
    opnNotComplete = makeCaptioned<QRadioButton>(Frame2, "opnNotComplete", notCompleteText, QRect(150, 28, 140, 24));

    cmdSave = makeCaptioned<QPushButton>(this, "cmdSave", QStringLiteral("&Save"), QRect(552, 32, 76, 30));
    cmdClose = makeCaptioned<QPushButton>(this, "cmdClose", QStringLiteral("&Close"), QRect(552, 70, 76, 30));
    cmdHelp = makeCaptioned<QPushButton>(this, "cmdHelp", QStringLiteral("&Help"), QRect(552, 108, 76, 30));

    lsvDtls = TrackingControls::makeReportList(this, "lsvDtls", QRect(16, 226, 612, 190),
                                               {QStringLiteral("Improvement Details"), QStringLiteral("Date"),
                                                QStringLiteral("Target Date"), QStringLiteral("Status")},
                                               {3500, 1200, 1440, 1440});
    lsvDtls->setSelectionMode(QAbstractItemView::ExtendedSelection);
    fitDateColumns(lsvDtls, {ColDate, ColTarget});
    lsvDtls->headerItem()->setTextAlignment(ColDate, Qt::AlignCenter);
    lsvDtls->viewport()->installEventFilter(this);
    lsvDtls->installEventFilter(this);
    lstCusName->installEventFilter(this);

    Label1 = makeCaptioned<QLabel>(this, "Label1",
                                   QStringLiteral("To delete - select customer(s) from the list and press Delete Key."),
                                   QRect(16, 424, 612, 20));

    connect(lstCusName, &QListWidget::itemSelectionChanged, this, &frmImprovementPlan::lstCusName_Click);
    dtdate->calendarWidget()->window()->installEventFilter(this);
    // The fields follow the chosen rows however the choice moves: click, arrow key or code.
    connect(lsvDtls, &QTreeWidget::itemSelectionChanged, this, &frmImprovementPlan::lsvDtls_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmImprovementPlan::cmdSave_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmImprovementPlan::cmdClose_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmImprovementPlan::cmdHelp_Click);
}

void frmImprovementPlan::Form_Load()
{
    toCenterForm(this);
    dtdate->setDate(Desktop::today());
    dttargetDate->setDate(Desktop::today());
    opnNotComplete->setChecked(true);
    toFilllstCustomername();
    if (lstCusName->count() > 0)
        selectCustomer(0);
}

bool frmImprovementPlan::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == lstCusName || watched == lsvDtls) && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        deleteKeyPressed();
        return true;
    }
    if (watched == lsvDtls->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        lsvDtls_MouseUp(mouse->button(), mouse->globalPosition().toPoint());
    } else if (event->type() == QEvent::Hide && watched == dtdate->calendarWidget()->window()) {
        // After the calendar's own hiding, which puts the old date back when it was left with Esc.
        QMetaObject::invokeMethod(this, &frmImprovementPlan::dtdate_CloseUp, Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, event);
}

// Customers ------------------------------------------------------------------------------------------------------

void frmImprovementPlan::toFilllstCustomername()
{
    Progress::setBusy(true);
    try {
        toTestConnection();
        QSqlQuery q = Db::exec(QStringLiteral("select custname from customer order by custname asc"));
        const QSignalBlocker blocker(lstCusName);
        lstCusName->clear();
        while (q.next())
            lstCusName->addItem(q.value(0).toString());
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
    Progress::setBusy(false);
}

// Selecting from code runs lstCusName_Click as the user's click does, with the entry made the current one.
void frmImprovementPlan::selectCustomer(int row)
{
    QListWidgetItem* item = lstCusName->item(row);
    lstCusName->selectionModel()->setCurrentIndex(lstCusName->model()->index(row, 0), QItemSelectionModel::NoUpdate);
    lstCusName->scrollToItem(item);
    item->setSelected(true);
}

QStringList frmImprovementPlan::selectedCustomers() const
{
    QStringList names;
    for (int i = 0; i < lstCusName->count(); ++i)
        if (lstCusName->item(i)->isSelected())
            names << lstCusName->item(i)->text();
    return names;
}

// The arrow keys move the list's current entry without selecting it, so the customer listed is taken from the
// selection: it is always one of the customers that a save, delete or status change acts on.
void frmImprovementPlan::lstCusName_Click()
{
    const QList<QListWidgetItem*> selected = lstCusName->selectedItems();
    if (selected.size() != 1) {
        clearEditFields();
        // Several selected: the list keeps its customer while that one stays selected; none: it lists nobody's.
        const QStringList names = selectedCustomers();
        if (!names.contains(m_listedCustomer)) {
            m_listedCustomer = names.value(0);
            toFillListView();
        }
        return;
    }
    m_listedCustomer = selected.first()->text();
    // Unselecting one of two leaves the other one: it, not the entry just clicked, is the customer shown.
    if (lstCusName->currentItem() != selected.first())
        lstCusName->selectionModel()->setCurrentIndex(lstCusName->indexFromItem(selected.first()),
                                                      QItemSelectionModel::NoUpdate);
    torefreshOnCustomerNameClick();
    toFillListView();
}

void frmImprovementPlan::dtdate_CloseUp()
{
    lstCusName_Click();
}

// A long description shows from its beginning.
void frmImprovementPlan::showDescription(const QString& text)
{
    txtDescription->setText(text);
    txtDescription->setCursorPosition(0);
}

void frmImprovementPlan::clearEditFields()
{
    txtDescription->clear();
    dtdate->setDate(Desktop::today());
    dttargetDate->setDate(Desktop::today());
    opnNotComplete->setChecked(true);
}

void frmImprovementPlan::torefreshOnCustomerNameClick()
{
    try {
        toTestConnection();
        QSqlQuery q = Db::exec(QStringLiteral("select \"Date\", targetdate, Action, Status from action "
                                              "where customerid=? and \"Date\"=?"),
                               {toGetCustomerID(m_listedCustomer), dtdate->date()});
        if (!q.next()) {
            txtDescription->clear();
            opnNotComplete->setChecked(true);
            dttargetDate->setDate(Desktop::today());
            return;
        }
        dtdate->setDate(ValueFormat::toDate(q.value(0)));
        const QDate target = ValueFormat::toDate(q.value(1));
        if (target.isValid())
            dttargetDate->setDate(target);
        showDescription(q.value(2).toString());
        (q.value(3).toInt() != 0 ? opnComplete : opnNotComplete)->setChecked(true);
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
}

// The list ----------------------------------------------------------------------------------------------------

void frmImprovementPlan::toFillListView()
{
    try {
        toTestConnection();
        // Ordered by the date itself: the list keeps this order and never re-sorts by the shown text.
        QSqlQuery q = Db::exec(QStringLiteral("select Action, \"Date\", targetdate, Status from action "
                                              "where customerid=? order by \"Date\""),
                               {toGetCustomerID(m_listedCustomer)});
        lsvDtls->clear();
        QList<QTreeWidgetItem*> rows;
        while (q.next()) {
            auto* row = new QTreeWidgetItem;
            row->setText(ColAction, q.value(0).toString());
            setDateCell(row, ColDate, q.value(1));
            row->setTextAlignment(ColDate, Qt::AlignCenter);
            setDateCell(row, ColTarget, q.value(2));
            const QVariant status = q.value(3);
            if (!status.isNull())
                row->setText(ColStatus, status.toInt() != 0 ? completeText : notCompleteText);
            rows << row;
        }
        lsvDtls->addTopLevelItems(rows);
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
}

void frmImprovementPlan::lsvDtls_Click()
{
    for (int i = 0; i < lsvDtls->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = lsvDtls->topLevelItem(i);
        if (!row->isSelected())
            continue;
        showDescription(row->text(ColAction));
        if (dateCell(row, ColDate).isValid())
            dtdate->setDate(dateCell(row, ColDate));
        if (dateCell(row, ColTarget).isValid())
            dttargetDate->setDate(dateCell(row, ColTarget));
        (row->text(ColStatus) == completeText ? opnComplete : opnNotComplete)->setChecked(true);
    }
}

void frmImprovementPlan::lsvDtls_MouseUp(Qt::MouseButton button, const QPoint& globalPos)
{
    if (button != Qt::RightButton || lsvDtls->topLevelItemCount() == 0)
        return;
    if (MDIMain* main = mdiMain())
        main->mnuEdit->popup(globalPos);
}

// The Delete key, which the window's hint promises, does what the list's popup "&Delete" does.
void frmImprovementPlan::deleteKeyPressed()
{
    if (lsvDtls->selectedItems().isEmpty())
        return;
    if (MDIMain* main = mdiMain())
        main->mnuDelete->trigger();
}

QList<QDate> frmImprovementPlan::selectedPlanDates() const
{
    QList<QDate> dates;
    for (int i = 0; i < lsvDtls->topLevelItemCount(); ++i)
        if (lsvDtls->topLevelItem(i)->isSelected())
            dates << dateCell(lsvDtls->topLevelItem(i), ColDate);
    return dates;
}

void frmImprovementPlan::toDeleteActionForSelectedCustomer()
{
    try {
        toTestConnection();
        const QList<QDate> dates = selectedPlanDates();
        for (const QString& name : selectedCustomers()) {
            for (const QDate& date : dates) {
                Db::exec(QStringLiteral("delete from actionplan where customerid=? and \"Date\"=?"),
                         {toGetCustomerID(name), date});
                clearEditFields();
            }
        }
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
}

void frmImprovementPlan::toupdateStatus()
{
    Progress::setBusy(true);
    try {
        toTestConnection();
        const QList<QDate> dates = selectedPlanDates();
        if (StatusMode == 1 || StatusMode == 2) {
            for (const QString& name : selectedCustomers())
                for (const QDate& date : dates)
                    Db::exec(QStringLiteral("update actionplan set Status=? where customerid=? and \"Date\"=?"),
                             {StatusMode == 1 ? 1 : 0, toGetCustomerID(name), date});
        }
        StatusMode = 0;
        toFillListView();
        keepChosenRows(dates);
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
    Progress::setBusy(false);
}

// The rows stay chosen through the refill. The edit fields keep what was typed into them; when they hold one of the
// changed actions, their status follows the stored one, so that the next Save does not put the old status back.
void frmImprovementPlan::keepChosenRows(const QList<QDate>& dates)
{
    const QSignalBlocker blocker(lsvDtls);
    for (int i = 0; i < lsvDtls->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = lsvDtls->topLevelItem(i);
        const QDate date = dateCell(row, ColDate);
        if (!dates.contains(date))
            continue;
        lsvDtls->setCurrentItem(row, 0, QItemSelectionModel::NoUpdate);
        row->setSelected(true);
        if (date == dtdate->date())
            (row->text(ColStatus) == completeText ? opnComplete : opnNotComplete)->setChecked(true);
    }
}

// Saving ---------------------------------------------------------------------------------------------------------

void frmImprovementPlan::cmdSave_Click()
{
    Progress::setBusy(true);
    if (lstCusName->count() > 0) {
        if (txtDescription->text().trimmed().isEmpty()) {
            MsgBox::show(QStringLiteral("Enter the description to save......."), MsgBox::OkOnly, QLatin1String(kTitle));
            Progress::setBusy(false);
            return;
        }
        Progress::setText(QStringLiteral("Saving....."));
        toSaveActionDtls();
    }
    Progress::setText(QString());
    Progress::setBusy(false);
}

QString frmImprovementPlan::toGetActionID(const QString& custname)
{
    const QVariant id = Db::scalar(QStringLiteral("select actionid from action where custname=? and \"Date\"=?"),
                                   {custname, dtdate->date()});
    return id.isValid() ? id.toString() : QString();
}

void frmImprovementPlan::toSaveActionDtls()
{
    // A description with an apostrophe is stored trimmed with the typographic apostrophe; any other as typed.
    const QString trimmed = txtDescription->text().trimmed();
    const QString action = trimmed.contains(QLatin1Char('\'')) ? toReplaceQuote(trimmed) : txtDescription->text();
    const QDate date = dtdate->date();
    const int status = opnNotComplete->isChecked() ? 0 : 1;
    try {
        toTestConnection();
        for (const QString& name : selectedCustomers()) {
            const QString id = toGetActionID(name);
            const int custid = toGetCustomerID(name);
            const QVariant existing =
                id.isEmpty()
                    ? Db::scalar(QStringLiteral("select actionid from actionplan where \"Date\"=? and customerid=?"),
                                 {date, custid})
                    : Db::scalar(QStringLiteral("select actionid from actionplan where actionid=? and \"Date\"=? "
                                                "and customerid=?"),
                                 {id, date, custid});
            if (existing.isValid())
                Db::exec(QStringLiteral("update actionplan set Action=?, \"Date\"=?, targetdate=?, Status=? "
                                        "where actionid=?"),
                         {action, date, dttargetDate->date(), status, existing});
            else
                Db::exec(QStringLiteral("insert into actionplan (customerid, Action, \"Date\", targetdate, Status) "
                                        "values (?, ?, ?, ?, ?)"),
                         {custid, action, date, dttargetDate->date(), status});
        }
        toFillListView();
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
}

// Search hand-over -----------------------------------------------------------------------------------------------

void frmImprovementPlan::Form_Activate()
{
    if (!gSearchOpenImprovement)
        return;
    // Taken once, shown or not: a hit that can no longer be read is not acted on at a later activation.
    gSearchOpenImprovement = false;
    const std::optional<SearchHit> hit = SearchHits::at(gSearchItemIndex);
    if (!hit)
        return;
    for (QListWidgetItem* item : lstCusName->selectedItems())
        item->setSelected(false);
    // The hit's date first, so that selecting its customer loads the hit's own action.
    const QDate date = QLocale().toDate(hit->date, ValueFormat::shortDateFormat());
    if (date.isValid())
        dtdate->setDate(date);
    for (int i = 0; i < lstCusName->count(); ++i) {
        if (lstCusName->item(i)->text() == hit->customerName) {
            selectCustomer(i);
            break;
        }
    }
}

// Buttons --------------------------------------------------------------------------------------------------------

void frmImprovementPlan::cmdClose_Click()
{
    WindowRegistry::unloadWindow(this);
}

void frmImprovementPlan::cmdHelp_Click()
{
    HelpTopics::showTopic(this, HelpTopics::frmImprovementPlan);
}
