#include "analysis/frmSearch.h"

#include "analysis/KeywordSearch.h"
#include "analysis/TrackingControls.h"
#include "analysis/frmImprovementPlan.h"
#include "feedback/frmFeedBackObj.h"
#include "platform/report/ValueFormat.h"
#include "shell/Db.h"
#include "shell/HelpTopics.h"
#include "shell/MDIMain.h"
#include "shell/Progress.h"
#include "shell/ProviderError.h"
#include "shell/SearchHits.h"
#include "shell/WindowRegistry.h"
#include "shell/gblGlobal.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

namespace
{

enum Column { ColDate = 0, ColDescription = 1, ColCustomer = 2, ColFoundIn = 3, ColId = 4 };

using KeywordSearch::actionSource;
using TrackingControls::makeCaptioned;

bool isEnter(const QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

frmSearch::frmSearch(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Search on Keywords"));
    setFixedSize(600, 440);

    Frame1 = makeControl<QGroupBox>(this, "Frame1", QRect(12, 6, 576, 96));
    Label1 = makeCaptioned<QLabel>(Frame1, "Label1", QStringLiteral("Enter upto 10 Keywords to search"),
                                   QRect(12, 14, 360, 22));
    txtKeyword = makeControl<QLineEdit>(Frame1, "txtKeyword", QRect(12, 40, 360, 28));
    cmdOK = makeCaptioned<QPushButton>(Frame1, "cmdOK", QStringLiteral("&Search"), QRect(382, 39, 84, 30));
    lstFields = makeControl<QListWidget>(Frame1, "lstFields", QRect(478, 14, 86, 70));
    lstFields->setSelectionMode(QAbstractItemView::NoSelection);
    lstFields->setFocusPolicy(Qt::NoFocus);

    lsvDtls = TrackingControls::makeReportList(this, "lsvDtls", QRect(12, 112, 576, 246),
                                               {QStringLiteral("Date"), QStringLiteral("Description"),
                                                QStringLiteral("Customer Name"), QStringLiteral("Found In"),
                                                QStringLiteral("ID")},
                                               {1440, 2000, 1440, 2000, 0});
    lsvDtls->setColumnHidden(ColId, true);
    lsvDtls->installEventFilter(this);

    Label2 = makeCaptioned<QLabel>(this, "Label2",
                                   QStringLiteral("Double click or press enter to go to the respective form"),
                                   QRect(12, 364, 576, 22));
    cmdHelp = makeCaptioned<QPushButton>(this, "cmdHelp", QStringLiteral("&Help"), QRect(412, 396, 84, 30));
    cmdClose = makeCaptioned<QPushButton>(this, "cmdClose", QStringLiteral("&Close"), QRect(504, 396, 84, 30));

    connect(cmdOK, &QPushButton::clicked, this, &frmSearch::cmdOK_Click);
    connect(txtKeyword, &QLineEdit::returnPressed, this, &frmSearch::cmdOK_Click);
    connect(txtKeyword, &QLineEdit::textChanged, this, &frmSearch::txtKeyword_Change);
    connect(lsvDtls, &QTreeWidget::itemDoubleClicked, this, &frmSearch::lsvDtls_DblClick);
    connect(cmdClose, &QPushButton::clicked, this, &frmSearch::cmdClose_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmSearch::cmdHelp_Click);
}

frmSearch::~frmSearch()
{
    // A hit handed over but not yet taken can no longer be read.
    SearchHits::setSource({});
    gSearchOpenFeedback = false;
    gSearchOpenImprovement = false;
}

void frmSearch::Form_Load()
{
    gSearchOpenFeedback = false;
    gSearchOpenImprovement = false;
    toCenterForm(this);
    toAddFiledsForSearch();
    SearchHits::setSource([this](int index) -> std::optional<SearchHit> {
        if (index < 1 || index > lsvDtls->topLevelItemCount())
            return std::nullopt;
        const QTreeWidgetItem* row = lsvDtls->topLevelItem(index - 1);
        return SearchHit{row->text(ColDate), row->text(ColDescription), row->text(ColCustomer), row->text(ColFoundIn),
                         row->text(ColId)};
    });
}

void frmSearch::toAddFiledsForSearch()
{
    lstFields->addItems({QStringLiteral("Survey"), QStringLiteral("Perception"), QStringLiteral("Action")});
}

bool frmSearch::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lsvDtls && isEnter(event)) {
        lsvDtls_DblClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// Searching ------------------------------------------------------------------------------------------------------

void frmSearch::cmdOK_Click()
{
    if (txtKeyword->text().trimmed().isEmpty())
        return;
    toSplitKeywords();
    toFillListView();
}

void frmSearch::toSplitKeywords()
{
    try {
        toTestConnection();
        // More than ten keywords: the table is emptied and nothing found, without a message.
        KeywordSearch::refill(KeywordSearch::splitKeywords(txtKeyword->text()));
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
}

void frmSearch::toFillListView()
{
    try {
        toTestConnection();
        QSqlQuery q =
            Db::exec(QStringLiteral("select sdate, \"Desc\", custname, tablename, Id from search order by rowid"));
        lsvDtls->clear();
        QList<QTreeWidgetItem*> rows;
        while (q.next()) {
            auto* row = new QTreeWidgetItem;
            const QVariant date = q.value(0);
            row->setText(ColDate, date.isNull() ? QString() : ValueFormat::formatDate(ValueFormat::toDate(date)));
            for (int c = ColDescription; c <= ColId; ++c)
                row->setText(c, q.value(c).toString());
            rows << row;
        }
        lsvDtls->addTopLevelItems(rows);
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
}

void frmSearch::txtKeyword_Change()
{
    if (txtKeyword->text().trimmed().isEmpty())
        lsvDtls->clear();
}

// Opening a hit --------------------------------------------------------------------------------------------------

void frmSearch::lsvDtls_DblClick()
{
    Progress::setBusy(true);
    int first = -1;
    for (QTreeWidgetItem* row : lsvDtls->selectedItems()) {
        const int index = lsvDtls->indexOfTopLevelItem(row);
        if (first < 0 || index < first)
            first = index;
    }
    if (first >= 0) {
        gSearchItemIndex = first + 1;
        const QTreeWidgetItem* row = lsvDtls->topLevelItem(first);
        const bool action = row->text(ColFoundIn) == actionSource;
        gSearchOpenFeedback = !action;
        gSearchOpenImprovement = action;
        toOpenSearchHit(row->text(ColId), row->text(ColFoundIn));
    }
    Progress::setBusy(false);
}

void frmSearch::toOpenSearchHit(const QString& id, const QString& tablename)
{
    try {
        toTestConnection();
        if (!Db::exists(QStringLiteral("select Id from search where tablename=? and ID=?"), {tablename, id})) {
            // Nothing is shown, so nothing is left for a later activation to act on.
            gSearchOpenFeedback = false;
            gSearchOpenImprovement = false;
            return;
        }
        MDIMain* main = mdiMain();
        if (!main)
            return;
        if (tablename == actionSource)
            main->showChild<frmImprovementPlan>();
        else
            main->showChild<frmFeedBackObj>();
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
}

// Buttons --------------------------------------------------------------------------------------------------------

void frmSearch::cmdClose_Click()
{
    WindowRegistry::unloadWindow(this);
}

void frmSearch::cmdHelp_Click()
{
    HelpTopics::showTopic(this, HelpTopics::frmSearch);
}
