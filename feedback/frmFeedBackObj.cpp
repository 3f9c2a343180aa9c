#include "feedback/frmFeedBackObj.h"

#include "feedback/AnswerTables.h"
#include "feedback/ReturnedWorkbookStore.h"
#include "feedback/SurveyWorkbookReader.h"
#include "platform/dialogs/MsgBox.h"
#include "platform/grid/FlexGrid.h"
#include "platform/grid/GridEditor.h"
#include "platform/lists/ChoiceList.h"
#include "shell/Db.h"
#include "shell/HelpTopics.h"
#include "shell/Progress.h"
#include "shell/ProviderError.h"
#include "shell/SearchHits.h"
#include "shell/WindowRegistry.h"
#include "shell/gblGlobal.h"
#include "surveys/MakeControl.h"
#include "surveys/SurveyLists.h"
#include "surveys/SurveyStore.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QSet>
#include <QSignalBlocker>
#include <QSqlQuery>

#include <algorithm>

namespace
{

const QString kTitle = QString::fromLatin1(kMessageTitle);
const QString kTrue = QStringLiteral("True");
const QString kFalse = QStringLiteral("False");

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, int left, int top)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->move(left / 15, top / 15);
    label->adjustSize();
    return label;
}

// The layout is given in twips, 15 to the pixel.
QRect twips(int left, int top, int width, int height)
{
    return {left / 15, top / 15, width / 15, height / 15};
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, int left, int top)
{
    auto* b = makeControl<QPushButton>(parent, name, twips(left, top, 975, 555));
    b->setText(caption);
    return b;
}

// A stored weightage or score as the grid shows it: 0 and Null alike as an empty cell.
QString shownNumber(const QVariant& value)
{
    if (value.isNull())
        return QString();
    const QString text = value.toString();
    bool number = false;
    const double d = text.toDouble(&number);
    return number && d == 0 ? QString() : text;
}

// A weightage or score cell as stored: its number; a blank cell leaves a new row's field unset and sets a stored
// row's to 0.
QVariant numberToStore(const QString& cell, bool newRow)
{
    if (GridEditor::isBlank(cell))
        return newRow ? QVariant(QMetaType::fromType<int>()) : QVariant(0);
    return cell.trimmed();
}

// A written answer as stored: trimmed with typographic apostrophes when it holds an apostrophe, else as typed;
// an empty cell stores no answer, so that clearing an answer and saving clears it.
QVariant descriptionToStore(const QString& cell)
{
    if (cell.isEmpty())
        return QVariant(QMetaType::fromType<QString>());
    const QString replaced = toReplaceQuote(cell.trimmed());
    return replaced.isEmpty() ? cell : replaced;
}

void clearList(QListWidget* list)
{
    const QSignalBlocker blocker(list);
    list->clear();
    list->setCurrentRow(-1);
}

bool hasSelection(const QListWidget* list)
{
    return !list->selectedItems().isEmpty();
}

} // namespace

frmFeedBackObj::frmFeedBackObj(QWidget* parent) : QWidget(parent)
{
    buildControls();
}

void frmFeedBackObj::buildControls()
{
    setObjectName(QStringLiteral("frmFeedBackObj"));
    setWindowTitle(QStringLiteral("Enter Survey Feedback"));
    setFixedSize(9870 / 15, 6240 / 15);
    QFont small = font();
    small.setPointSize(8);
    setFont(small);

    Frame1 = makeControl<QGroupBox>(this, "Frame1", twips(0, 0, 9870, 6240));
    Label1 = makeLabel(Frame1, "Label1", QStringLiteral("Select Customer "), 300, 180);
    cmbCusName = makeControl<QComboBox>(Frame1, "cmbCusName", twips(300, 420, 1875, 330));
    Label4 = makeLabel(Frame1, "Label4", QStringLiteral("Select Surey Date "), 2580, 180);
    lstSurveyDates = makeControl<ChoiceList>(Frame1, "lstSurveyDates", twips(2580, 420, 1515, 1530));
    Label3 = makeLabel(Frame1, "Label3", QStringLiteral("Click to Refresh"), 2580, 1980);
    Label2 = makeLabel(Frame1, "Label2", QStringLiteral("Select Respondent"), 4365, 180);
    lstRespname = makeControl<ChoiceList>(Frame1, "lstRespname", twips(4350, 420, 2055, 1530));
    cmdSave = makeButton(Frame1, "cmdSave", QStringLiteral("&Save"), 7260, 420);
    cmdHelp = makeButton(Frame1, "cmdHelp", QStringLiteral("&Help"), 8280, 420);
    cmdRead = makeButton(Frame1, "cmdRead", QStringLiteral("&Read In"), 7260, 1020);
    cmdClose = makeButton(Frame1, "cmdClose", QStringLiteral("&Close"), 8280, 1020);
    Label5 = makeLabel(Frame1, "Label5", QStringLiteral("Survey Taken on "), 480, 1260);
    lblSDate = makeLabel(Frame1, "lblSDate", QString(), 840, 1500);
    // Two lines above the grid, so that a long file name wraps instead of running off the window.
    lblXLSFile = makeControl<QLabel>(Frame1, "lblXLSFile", twips(6540, 1740, 3240, 480));
    lblXLSFile->setWordWrap(true);
    lblXLSFile->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    grdDtls = makeControl<FlexGrid>(Frame1, "grdDtls", twips(45, 2220, 9735, 3915));
    grdDtls->setCols(6);
    txtDtls = new QLineEdit(Frame1);
    txtDtls->setObjectName(QStringLiteral("txtDtls"));

    GridEditor::Options options;
    options.lastEditable = ColDescription;
    options.lastMovedOver = ColDescription;
    options.upOnFirstRowPlacesAgain = true;
    options.addsRows = false; // the rows are the survey's questions
    options.anyPressPlacesAgain = true;
    options.digitColumns = {ColWeightage, ColScore};
    m_editor = new GridEditor(grdDtls, txtDtls, options, this);
    m_editor->cellRule = [this](int row, int col, const QString& typed) { return columnRule(row, col, typed); };
    m_editor->editableCell = [this](int row, int col) { return takesAnswer(row, col); };
    // Tab out of the grid goes to Save, Shift+Tab to Close: never to a chooser, where the next key would change the
    // survey shown.
    m_editor->leaveTo(cmdClose, cmdSave);

    connect(cmbCusName, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            cmbCusName_Click();
    });
    clickOnEveryPress(lstRespname, &frmFeedBackObj::lstRespname_Click);
    clickOnEveryPress(lstSurveyDates, &frmFeedBackObj::lstSurveyDates_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmFeedBackObj::cmdSave_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmFeedBackObj::cmdHelp_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmFeedBackObj::cmdClose_Click);
    connect(cmdRead, &QPushButton::clicked, this, &frmFeedBackObj::cmdRead_Click);
}

// A list's click runs on every change of its selection, from code or the user, and on a press on the entry that
// is already selected ("Click to Refresh").
void frmFeedBackObj::clickOnEveryPress(QListWidget* list, void (frmFeedBackObj::*handler)())
{
    connect(list, &QListWidget::itemSelectionChanged, this, [this, handler] {
        ++m_selectionChanges;
        (this->*handler)();
    });
    connect(list, &QAbstractItemView::pressed, this, [this, handler] {
        if (m_selectionChanges == m_selectionChangesAtPress)
            (this->*handler)();
    });
    list->viewport()->installEventFilter(this);
}

bool frmFeedBackObj::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress &&
        (watched == lstRespname->viewport() || watched == lstSurveyDates->viewport()))
        m_selectionChangesAtPress = m_selectionChanges;
    return QWidget::eventFilter(watched, event);
}

void frmFeedBackObj::Form_Load()
{
    placeInMainWindow();
    toFillcmbCustomername();
    if (cmbCusName->count() > 0)
        cmbCusName->setCurrentIndex(0);
    toSetWidthForGrid();
    SetEditTextBox(1, 1);
    lstSurveyDates_Click();
}

void frmFeedBackObj::placeInMainWindow()
{
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
        frame->move(750 / 15, 0);
}

void frmFeedBackObj::Form_Activate()
{
    LogFound = false;
    FullPath = false;
    if (gSearchOpenFeedback) {
        const std::optional<SearchHit> hit = SearchHits::at(gSearchItemIndex);
        if (hit) {
            const int customer = cmbCusName->findText(hit->customerName, Qt::MatchExactly | Qt::MatchCaseSensitive);
            if (customer >= 0) {
                if (cmbCusName->currentIndex() == customer)
                    cmbCusName_Click();
                else
                    cmbCusName->setCurrentIndex(customer);
                selectHitRespondent(hit->foundIn, hit->id);
            }
            const QList<QListWidgetItem*> dates = lstSurveyDates->findItems(hit->date, Qt::MatchExactly);
            if (!dates.isEmpty())
                lstSurveyDates->setCurrentItem(dates.first());
        }
    }
    gSearchOpenFeedback = false;
}

// The hit's own respondent, found from the answer row the hit names; the first respondent stays chosen otherwise.
void frmFeedBackObj::selectHitRespondent(const QString& foundIn, const QString& id)
{
    bool scored = false;
    if (foundIn == QLatin1String("Survey (Objective)"))
        scored = true;
    else if (foundIn != QLatin1String("Survey (Descriptive)"))
        return;
    bool isNumber = false;
    const qlonglong key = id.trimmed().toLongLong(&isNumber);
    if (!isNumber)
        return;
    QVariant respondent;
    try {
        toTestConnection();
        respondent = AnswerTables::respondentOf(scored, key);
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
        return;
    }
    if (!respondent.isValid())
        return;
    for (int i = 0; i < lstRespname->count(); ++i) {
        QListWidgetItem* entry = lstRespname->item(i);
        if (entry->data(Qt::UserRole).toInt() == respondent.toInt()) {
            if (!entry->isSelected())
                lstRespname->setCurrentItem(entry);
            return;
        }
    }
}

QString frmFeedBackObj::chosenCustomer() const
{
    return SurveyLists::chosenText(cmbCusName);
}

int frmFeedBackObj::chosenRespondentId() const
{
    return SurveyLists::selectedId(lstRespname);
}

QDate frmFeedBackObj::chosenSurveyDate() const
{
    return SurveyLists::selectedDate(lstSurveyDates);
}

void frmFeedBackObj::toFillcmbCustomername()
{
    try {
        toTestConnection();
        SurveyLists::refill(cmbCusName, SurveyStore::customers());
        // Long names are cut in the box but read in full in its list.
        cmbCusName->view()->setMinimumWidth(cmbCusName->view()->sizeHintForColumn(0) + 8);
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
}

void frmFeedBackObj::cmbCusName_Click()
{
    if (cmbCusName->count() == 0)
        return;
    toFillListView();
    toFilllstRespondentName();
    if (lstRespname->count() > 0)
        lstRespname->setCurrentRow(0);
    else
        toFillGrid(); // a customer without respondents shows no other customer's survey
}

void frmFeedBackObj::toFillListView()
{
    try {
        toTestConnection();
        QSqlQuery q = Db::exec(QStringLiteral("select distinct sdate from responquery where custid=? order by sdate"),
                               {toGetCustomerID(chosenCustomer())});
        clearList(lstSurveyDates);
        const QSignalBlocker blocker(lstSurveyDates);
        while (q.next()) {
            const QDate date = SurveyStore::toDate(q.value(0));
            auto* item = new QListWidgetItem(SurveyStore::dateText(date), lstSurveyDates);
            item->setData(Qt::UserRole, date);
        }
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
}

void frmFeedBackObj::toFilllstRespondentName()
{
    try {
        toTestConnection();
        const int custid = toGetCustomerID(chosenCustomer());
        if (custid == 0) {
            clearList(lstRespname);
            return;
        }
        QSqlQuery q = Db::exec(
            QStringLiteral("select respondentname, respondentid from respondent where custid=? order by respondentid"),
            {custid});
        QList<SurveyStore::Respondent> respondents;
        while (q.next())
            respondents << SurveyStore::Respondent{q.value(0).toString(), q.value(1).toInt()};
        SurveyLists::refill(lstRespname, respondents);
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
}

void frmFeedBackObj::lstRespname_Click()
{
    if (lstRespname->count() > 0) {
        if (lstSurveyDates->count() > 0 && hasSelection(lstSurveyDates)) {
            setEmptyGrid();
            txtDtls->clear();
            toFillGrid();
            tofillscoreandweightage();
        } else if (lstSurveyDates->count() > 0) {
            lstSurveyDates->setCurrentRow(0); // fills the grid for this respondent
        } else {
            setEmptyGrid();
            txtDtls->clear();
            // No date of this customer: nothing of the previous customer's survey stays on screen.
            showSurveyDate(QDate());
            lblXLSFile->clear();
        }
    }
    if (hasSelection(lstSurveyDates) && hasSelection(lstRespname))
        toShowXlsFileName();
}

void frmFeedBackObj::lstSurveyDates_Click()
{
    if (lstSurveyDates->count() > 0) {
        toFillGrid();
        tofillscoreandweightage();
    }
    if (hasSelection(lstSurveyDates) && hasSelection(lstRespname))
        toShowXlsFileName();
}

void frmFeedBackObj::toSetWidthForGrid()
{
    m_editor->layOut({QString(), QStringLiteral("Question"), QStringLiteral("Weightage"), QStringLiteral("Score"),
                      QStringLiteral("Description")},
                     {0.01, 0.56, 0.12, 0.06, 0.23});
    fitColumns();
}

// The widths were drawn for a narrower font and leave no room for the scroll bar: no heading is cut, and the
// columns fit beside the vertical scroll bar, the question column giving way.
void frmFeedBackObj::fitColumns()
{
    QFont bold = grdDtls->font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    const int tw = FlexGrid::TwipsPerPixel;
    int total = 0;
    for (int c = 0; c < ColType; ++c) {
        const QString heading = grdDtls->textMatrix(0, c);
        const int needed = (metrics.horizontalAdvance(heading) + 12) * tw;
        if (c != ColQuestion && !heading.isEmpty() && grdDtls->colWidth(c) < needed)
            grdDtls->setColWidth(c, needed);
        total += grdDtls->colWidth(c);
    }
    const int room =
        (grdDtls->width() - 2 * grdDtls->frameWidth() - grdDtls->verticalScrollBar()->sizeHint().width()) * tw;
    if (total > room)
        grdDtls->setColWidth(ColQuestion, grdDtls->colWidth(ColQuestion) - (total - room));
}

// One empty row, every column of it (the type too), and no question behind it.
void frmFeedBackObj::setEmptyGrid()
{
    m_editor->fill({});
    m_questionIds.clear();
}

void frmFeedBackObj::showSurveyDate(const QDate& date)
{
    m_shownDate = date;
    lblSDate->setText(date.isValid() ? SurveyStore::dateText(date) : QString());
    lblSDate->adjustSize();
}

void frmFeedBackObj::toFillGrid()
{
    Progress::setBusy(true);
    const QDate date = chosenSurveyDate();
    if (date.isValid())
        showSurveyDate(date);
    try {
        toTestConnection();
        const int custid = toGetCustomerID(chosenCustomer());
        const int respondent = custid == 0 ? 0 : chosenRespondentId();
        QList<QStringList> records;
        QList<int> ids;
        // Without a respondent or a date there is no survey to ask the database for.
        if (respondent != 0 && date.isValid()) {
            QSqlQuery q = Db::exec(QStringLiteral("select question, Type, questionid from responquery where "
                                                  "respondentid=? and custid=? and sdate=? order by \"Order\""),
                                   {respondent, custid, date});
            while (q.next()) {
                const QString type = q.value(1).toInt() != 0 ? kTrue : kFalse;
                records.append({q.value(0).toString(), QString(), QString(), QString(), type});
                ids.append(q.value(2).toInt());
            }
        }
        if (records.isEmpty()) {
            setEmptyGrid();
            if (custid != 0) {
                showSurveyDate(QDate());
                lblXLSFile->clear();
            }
        } else {
            m_editor->fill(records);
            m_questionIds = ids;
        }
    } catch (const ProviderError& e) {
        Progress::setBusy(false);
        toShowConnectionErrors(e);
        return;
    }
    SetEditTextBox(1, 1);
    Progress::setBusy(false);
}

QString frmFeedBackObj::toGetSurveyID(const QDate& surveydate)
{
    try {
        toTestConnection();
        const int id = SurveyStore::surveyId(surveydate, toGetCustomerID(chosenCustomer()));
        return id == 0 ? QString() : QString::number(id);
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
        return QString();
    }
}

int frmFeedBackObj::questionIdOfRow(int row) const
{
    return m_questionIds.value(row - 1, 0);
}

void frmFeedBackObj::SetEditTextBox(int col, int row)
{
    m_editor->place(col, row);
}

bool frmFeedBackObj::isAnswerValue(const QString& text)
{
    const QString digits = text.trimmed();
    if (digits.isEmpty() || !std::all_of(digits.cbegin(), digits.cend(),
                                         [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }))
        return false;
    bool ok = false;
    const uint value = digits.toUInt(&ok);
    return ok && value <= 10;
}

// A score belongs to a scored question and a written answer to a descriptive one; the question itself is not edited.
bool frmFeedBackObj::takesAnswer(int row, int col) const
{
    const QString type = grdDtls->textMatrix(row, ColType);
    switch (col) {
    case ColWeightage:
        return true;
    case ColScore:
        return type == kTrue;
    case ColDescription:
        return type == kFalse;
    default:
        return false;
    }
}

// Weightage and score are whole numbers up to 10; a cell that takes no answer keeps its text.
QString frmFeedBackObj::columnRule(int row, int col, const QString& typed) const
{
    if (col >= ColQuestion && col <= ColDescription && !takesAnswer(row, col))
        return grdDtls->textMatrix(row, col);
    switch (col) {
    case ColWeightage:
        return isAnswerValue(typed) ? typed : QString();
    case ColScore:
        return GridEditor::isBlank(typed) || isAnswerValue(typed) ? typed : QString();
    default:
        return typed;
    }
}

void frmFeedBackObj::tofillscoreandweightage()
{
    Progress::setBusy(true);
    try {
        toTestConnection();
        const int respondent = chosenRespondentId();
        const QDate date = chosenSurveyDate();
        if (respondent != 0 && date.isValid()) {
            // Each answer table is looked up once for the whole grid, indexed by the row's type.
            const QHash<int, AnswerTables::Answer> stored[2] = {AnswerTables::findAll(false, respondent, date),
                                                                AnswerTables::findAll(true, respondent, date)};
            for (int i = 1; i < grdDtls->rows(); ++i) {
                const bool scored = grdDtls->textMatrix(i, ColType) == kTrue;
                if (grdDtls->textMatrix(i, ColQuestion).isEmpty())
                    break;
                const auto answer = stored[scored].constFind(questionIdOfRow(i));
                if (answer != stored[scored].constEnd()) {
                    grdDtls->setTextMatrix(i, ColWeightage, shownNumber(answer->weightage));
                    grdDtls->setTextMatrix(i, ColScore, scored ? shownNumber(answer->scoreOrDescription) : QString());
                    grdDtls->setTextMatrix(i, ColDescription,
                                           scored ? QString() : answer->scoreOrDescription.toString());
                } else if (scored) {
                    grdDtls->setTextMatrix(i, ColDescription, QString());
                } else {
                    grdDtls->setTextMatrix(i, ColWeightage, QString());
                    grdDtls->setTextMatrix(i, ColScore, QString());
                }
            }
        }
    } catch (const ProviderError& e) {
        Progress::setBusy(false);
        toShowConnectionErrors(e);
        return;
    }
    // The editor shows what its cell now holds, so that typing goes on from the stored answer.
    m_editor->resync();
    Progress::setBusy(false);
}

QVariant frmFeedBackObj::loggedFileName()
{
    toTestConnection();
    const int respondent = chosenRespondentId();
    return Db::scalar(QStringLiteral("select xlsfilename from log where custname=? and respid=? and sdate=? "
                                     "order by rowid limit 1"),
                      {chosenCustomer(), respondent, chosenSurveyDate()});
}

void frmFeedBackObj::toShowXlsFileName()
{
    try {
        const QVariant name = loggedFileName();
        lblXLSFile->clear();
        lblXLSFile->setText(name.isValid() ? QStringLiteral("Survey File Name : ") + name.toString()
                                           : QStringLiteral("No Survey File Exported..."));
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
}

void frmFeedBackObj::cmdRead_Click()
{
    Progress::setText(QStringLiteral("Reading Survey File......"));
    toreadFromXlsFile();
    Progress::setText(QString());
}

void frmFeedBackObj::toreadFromXlsFile()
{
    Progress::setBusy(true);
    const QString name = toGetLogFileName();
    if (toCheckFileExists(name))
        readWorkbook();
    else if (!LogFound)
        MsgBox::show(QStringLiteral("There is no Survey File Exported for the Selected Repondent and Selected Survey "
                                    "Date..."),
                     MsgBox::Information, kTitle);
    else
        toLocateXlsFile();
    Progress::setBusy(false);
}

// The log row is marked read by the reader once the workbook's header has been read, not here: a workbook that is
// missing or unreadable leaves it unread.
QString frmFeedBackObj::toGetLogFileName()
{
    try {
        const QVariant name = loggedFileName();
        LogFound = name.isValid();
        if (!LogFound)
            return QString();
        LoggedFile = name.toString();
        return LoggedFile;
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
        return QString();
    }
}

bool frmFeedBackObj::toCheckFileExists(const QString& name)
{
    if (name.trimmed().isEmpty())
        return false;
    // A name with a folder part is no file of the program's folder.
    const QFileInfo file(programFile(name));
    const bool inFolder = !name.contains(u'/') && file.isFile();
    FileName = inFolder ? file.fileName() : QString();
    FullPath = false;
    return !FileName.trimmed().isEmpty();
}

void frmFeedBackObj::toLocateXlsFile()
{
    const QString chosen =
        MsgBox::getOpenFileName(QString(), programFolder(), QStringLiteral("*.xlsx|*.xlsx|*.xlsx")).trimmed();
    if (chosen.isEmpty() || SurveyWorkbookReader::isTemplate(chosen))
        return;
    if (toGetLogFileName().isEmpty()) {
        MsgBox::show(QStringLiteral("There is no Survey File for the selected Respondent and selected Survey Date..."),
                     MsgBox::Critical, kTitle);
        return;
    }
    if (LoggedFile.trimmed() != QFileInfo(chosen).fileName().trimmed()) {
        MsgBox::show(QStringLiteral("You have not specified the Correct XLS file.....The orignal file is - ") +
                         LoggedFile + QStringLiteral(" Please locate the same XLS file"),
                     MsgBox::Critical, kTitle);
        return;
    }
    FileName = chosen;
    FullPath = true;
    readWorkbook();
}

// The reader shows its own failures; the grid shows what was stored all the same.
void frmFeedBackObj::readWorkbook()
{
    // The store ends its run, committing and saying what it must, as it goes out of scope.
    ReturnedWorkbookStore().XLSWrite(FullPath ? FileName : programFile(FileName), LoggedFile);
    tofillscoreandweightage();
}

void frmFeedBackObj::cmdSave_Click()
{
    // No respondent, nothing to save under and nothing to say, whatever the emptied grid shows.
    if (lstRespname->count() == 0)
        return;
    Progress::setBusy(true);
    for (int i = 1; i < grdDtls->rows(); ++i) {
        if (GridEditor::isBlank(grdDtls->textMatrix(i, ColQuestion))) {
            MsgBox::show(QStringLiteral("Cannot Save.....Question details are missing"), MsgBox::Critical, kTitle);
            Progress::setBusy(false);
            return;
        }
    }
    Progress::setText(QStringLiteral("Saving....."));
    toSaveDtls();
    Progress::setText(QString());
    Progress::setBusy(false);
}

// Row by row without a transaction: the rows stored before a failure stay stored.
void frmFeedBackObj::toSaveDtls()
{
    Progress::setBusy(true);
    try {
        toTestConnection();
        const int last = grdDtls->rows() - 1;
        // A respondent deleted since the list was filled has nothing to file answers under.
        const int respondent =
            Db::exists(QStringLiteral("select respondentid from respondent where respondentid=? and custid=?"),
                       {chosenRespondentId(), toGetCustomerID(chosenCustomer())})
                ? chosenRespondentId()
                : 0;
        const int survey = toGetSurveyID(m_shownDate).toInt();
        // Each answer table is looked up once for the whole grid, indexed by the row's type.
        const QHash<int, AnswerTables::Answer> storedRows[2] = {AnswerTables::findAll(false, respondent, m_shownDate),
                                                                AnswerTables::findAll(true, respondent, m_shownDate)};
        QSet<int> added[2];
        for (int i = 1; i <= last; ++i) {
            const AnswerTables::Key key{respondent, questionIdOfRow(i), m_shownDate};
            if (key.respondentId == 0 || key.questionId == 0 || survey == 0 || !key.surveyDate.isValid()) {
                // The respondent, question or survey has gone since the grid was filled: nothing to file it under.
                Progress::setBusy(false);
                MsgBox::show(QStringLiteral("Cannot Save.....Question details are missing"), MsgBox::Critical, kTitle);
                return;
            }
            const bool scored = grdDtls->textMatrix(i, ColType) == kTrue;
            // A question asked twice finds the row its first grid row added.
            std::optional<AnswerTables::Answer> stored;
            if (added[scored].contains(key.questionId))
                stored = AnswerTables::find(scored, key);
            else if (const auto found = storedRows[scored].constFind(key.questionId);
                     found != storedRows[scored].constEnd())
                stored = *found;
            const QVariant weightage = numberToStore(grdDtls->textMatrix(i, ColWeightage), !stored);
            const QVariant answer = scored ? numberToStore(grdDtls->textMatrix(i, ColScore), !stored)
                                           : descriptionToStore(grdDtls->textMatrix(i, ColDescription));
            AnswerTables::write(scored, stored ? stored->id : 0, key, survey, weightage, answer);
            if (!stored)
                added[scored].insert(key.questionId);
        }
    } catch (const ProviderError& e) {
        Progress::setBusy(false);
        toShowConnectionErrors(e);
        return;
    }
    Progress::setBusy(false);
}

void frmFeedBackObj::cmdHelp_Click()
{
    HelpTopics::showTopic(this, HelpTopics::frmFeedBackObj);
}

void frmFeedBackObj::cmdClose_Click()
{
    WindowRegistry::unloadWindow(this);
}
