#include "surveys/SurveyEditor.h"

#include "platform/dialogs/MsgBox.h"
#include "platform/grid/FlexGrid.h"
#include "platform/help/HelpWindow.h"
#include "shell/Progress.h"
#include "shell/ProviderError.h"
#include "shell/Transaction.h"
#include "shell/frmSetting.h"
#include "shell/gblGlobal.h"
#include "surveys/ParameterTree.h"
#include "surveys/SurveyWindows.h"
#include "surveys/distribution/SurveyDistribution.h"
#include "surveys/export/SurveyExport.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QStyle>

#include <cmath>

namespace
{

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

QPushButton* makePictureButton(QWidget* parent, const char* name, QStyle::StandardPixmap pixmap)
{
    auto* b = makeButton(parent, name, QString());
    b->setIcon(parent->style()->standardIcon(pixmap));
    return b;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setWordWrap(true);
    return l;
}

} // namespace

SurveyEditor::SurveyEditor(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    trvParameter = new ParameterTree(this);
    trvParameter->setObjectName(QStringLiteral("trvParameter"));
    grdParamAndQuest = new FlexGrid(this);
    grdParamAndQuest->setObjectName(QStringLiteral("grdParamAndQuest"));

    cmdAdd = makePictureButton(this, "cmdAdd", QStyle::SP_ArrowRight);
    cmdRemove = makePictureButton(this, "cmdRemove", QStyle::SP_ArrowLeft);
    cmdUpward = makePictureButton(this, "cmdUpward", QStyle::SP_ArrowUp);
    cmdDownward = makePictureButton(this, "cmdDownward", QStyle::SP_ArrowDown);
    cmdSave = makeButton(this, "cmdSave", QStringLiteral("&Save"));
    cmdCopy = makeButton(this, "cmdCopy", QStringLiteral("&Import"));
    cmdExport = makeButton(this, "cmdExport", QStringLiteral("&Export"));
    cmdmail = makeButton(this, "cmdmail", QStringLiteral("E-&mail"));
    cmdPrint = makeButton(this, "cmdPrint", QStringLiteral("&Report"));
    cmdHelp = makeButton(this, "cmdHelp", QStringLiteral("&Help"));
    cmdClose = makeButton(this, "cmdClose", QStringLiteral("&Close"));

    Label1 = makeLabel(this, "Label1", QStringLiteral("List of Available Parameters and Questions"));
    Label2 =
        makeLabel(this, "Label2", QStringLiteral("'Double Click' or 'Press Enter' to Assign the Selected Question"));
    Label4 = makeLabel(this, "Label4", QStringLiteral("List of Selected Question(s)"));

    connect(cmdAdd, &QPushButton::clicked, this, &SurveyEditor::cmdAdd_Click);
    connect(cmdRemove, &QPushButton::clicked, this, &SurveyEditor::cmdRemove_Click);
    connect(cmdSave, &QPushButton::clicked, this, &SurveyEditor::cmdSave_Click);
    connect(cmdUpward, &QPushButton::clicked, this, &SurveyEditor::cmdUpward_Click);
    connect(cmdDownward, &QPushButton::clicked, this, &SurveyEditor::cmdDownward_Click);
    connect(cmdCopy, &QPushButton::clicked, this, &SurveyEditor::cmdCopy_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &SurveyEditor::cmdHelp_Click);
    connect(cmdClose, &QPushButton::clicked, this, &SurveyEditor::cmdClose_Click);
    connect(cmdExport, &QPushButton::clicked, this, &SurveyEditor::cmdExport_Click);
    connect(cmdPrint, &QPushButton::clicked, this, &SurveyEditor::cmdPrint_Click);
    connect(cmdmail, &QPushButton::clicked, this, &SurveyEditor::cmdmail_Click);
    connect(trvParameter, &ParameterTree::dblClick, this, &SurveyEditor::trvParameter_DblClick);
    connect(trvParameter, &ParameterTree::keyDown, this, &SurveyEditor::trvParameter_KeyDown);
    connect(trvParameter, &ParameterTree::oleCompleteDrag, this, &SurveyEditor::trvParameter_OLECompleteDrag);
    connect(grdParamAndQuest, &FlexGrid::oleDragDrop, this, &SurveyEditor::grdParamAndQuest_OLEDragDrop);
    connect(grdParamAndQuest, &FlexGrid::dblClick, this, &SurveyEditor::grdParamAndQuest_DblClick);
    // The open folder while a parameter is expanded (expanding all reports the questions too).
    connect(trvParameter, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* i) {
        if (!i->parent())
            i->setIcon(0, style()->standardIcon(QStyle::SP_DirOpenIcon));
    });
    connect(trvParameter, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* i) {
        if (!i->parent())
            i->setIcon(0, style()->standardIcon(QStyle::SP_DirClosedIcon));
    });
}

int SurveyEditor::layOutEditor(int top)
{
    Label1->setGeometry(10, top, 300, 18);
    trvParameter->setGeometry(10, top + 20, 300, 380);
    Label2->setGeometry(10, top + 404, 300, 34);
    cmdAdd->setGeometry(318, top + 150, 40, 32);
    cmdRemove->setGeometry(318, top + 190, 40, 32);
    Label4->setGeometry(366, top, 470, 18);
    grdParamAndQuest->setGeometry(366, top + 20, 470, 380);
    Label5->setGeometry(366, top + 404, 470, 34);
    cmdUpward->setGeometry(844, top + 150, 40, 32);
    cmdDownward->setGeometry(844, top + 190, 40, 32);
    const QList<QPushButton*> row = {cmdSave, cmdCopy, cmdExport, cmdmail, cmdPrint, cmdHelp, cmdClose};
    int x = 894 - static_cast<int>(row.size()) * 100;
    for (QPushButton* b : row) {
        b->setGeometry(x, top + 446, 90, 28);
        x += 100;
    }
    return top + 486;
}

void SurveyEditor::loadEditor()
{
    mFileName.clear();
    mMailMode = false;
    // Top left of the main window's client area.
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
        frame->move(0, 0);
    else
        move(0, 0);

    FlexGrid* g = grdParamAndQuest;
    g->setCols(3);
    g->setRows(2);
    g->setFixedRows(1);
    g->setFixedCols(1);
    g->setOleDropMode(FlexGrid::OleDropManual);
    g->setTextMatrix(0, 1, QStringLiteral("Parameter"));
    g->setTextMatrix(0, 2, QStringLiteral("Question"));
    const double width = g->width() * FlexGrid::TwipsPerPixel;
    const double parts[] = {0.05, 0.2, 0.7};
    for (int c = 0; c < 3; ++c)
        g->setColWidth(c, static_cast<int>(std::nearbyint(width * parts[c])));
    const int row = g->row();
    const int col = g->col();
    g->setRow(0);
    for (int c = 1; c < g->cols(); ++c) {
        g->setCol(c);
        g->setCellAlignment(FlexGrid::AlignCenterCenter);
    }
    g->setRow(row);
    g->setCol(col);

    buildTree();
}

void SurveyEditor::buildTree()
{
    trvParameter->clear();
    // Looked up once: the style's look-up is too slow to repeat for every item of a large catalogue.
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    m_scoredIcon = ParameterTree::scoredIcon();
    m_descriptiveIcon = ParameterTree::descriptiveIcon();
    try {
        toTestConnection();
        QList<QTreeWidgetItem*> items;
        for (const SurveyStore::CatalogueParameter& p : SurveyStore::catalogue()) {
            auto* item = new QTreeWidgetItem(QStringList{p.name});
            item->setIcon(0, closed);
            BuildNode(item, p.questions);
            items << item;
        }
        trvParameter->addTopLevelItems(items);
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
}

void SurveyEditor::BuildNode(QTreeWidgetItem* parameterItem, const QList<SurveyStore::CatalogueQuestion>& questions)
{
    for (const SurveyStore::CatalogueQuestion& q : questions) {
        auto* child = new QTreeWidgetItem(parameterItem, {q.question});
        child->setIcon(0, q.scored ? m_scoredIcon : m_descriptiveIcon);
    }
}

void SurveyEditor::setBlankGrid()
{
    grdParamAndQuest->setRows(2);
    grdParamAndQuest->setTextMatrix(1, 1, QString());
    grdParamAndQuest->setTextMatrix(1, 2, QString());
}

QList<SurveyStore::Question> SurveyEditor::gridQuestions() const
{
    QList<SurveyStore::Question> list;
    for (int i = 1; i <= grdParamAndQuest->rows() - 2; ++i)
        list << SurveyStore::Question{grdParamAndQuest->textMatrix(i, 1), grdParamAndQuest->textMatrix(i, 2)};
    return list;
}

SurveyKey SurveyEditor::survey() const
{
    return SurveyKey{customerName(), respondentName(), surveyDate(), respondentId()};
}

int SurveyEditor::storedRespondentId(int custid) const
{
    return SurveyStore::respondentId(custid, survey());
}

QString SurveyEditor::toGetSurveyID(const QDate& date, const QString& customer)
{
    try {
        toTestConnection();
        const int id = SurveyStore::surveyId(date, toGetCustomerID(customer));
        return id == 0 ? QString() : QString::number(id);
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
        return QString();
    }
}

void SurveyEditor::toRefreshGrid()
{
    if (!toRefreshGridPrecheck())
        return;
    try {
        toTestConnection();
        QList<SurveyStore::Question> list;
        const SurveyStore::Lookup found = SurveyStore::findSurveyQuestions(survey(), &list);
        if (found == SurveyStore::Lookup::Missing)
            setBlankGrid();
        if (found != SurveyStore::Lookup::Found)
            return;
        FlexGrid* g = grdParamAndQuest;
        g->setUpdatesEnabled(false);
        g->setRows(2);
        g->setRows(static_cast<int>(list.size()) + 2);
        if (list.isEmpty()) {
            g->setTextMatrix(1, 1, QString());
            g->setTextMatrix(1, 2, QString());
        }
        for (int i = 0; i < list.size(); ++i) {
            g->setTextMatrix(i + 1, 1, list[i].parameter);
            g->setTextMatrix(i + 1, 2, list[i].question);
        }
        g->setUpdatesEnabled(true);
    } catch (const ProviderError& e) {
        grdParamAndQuest->setUpdatesEnabled(true);
        toShowConnectionErrors(e);
    }
}

void SurveyEditor::toSaveSurveyID()
{
    try {
        toTestConnection();
        SurveyStore::ensureSurvey(surveyDate(), toGetCustomerID(customerName()));
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
}

void SurveyEditor::toSaveParamAndQuest()
{
    // Without a date or a customer there is no survey to store into.
    const QDate date = surveyDate();
    if (!date.isValid())
        return;
    try {
        toTestConnection();
        const int custid = toGetCustomerID(customerName());
        if (custid == 0)
            return;
        Transaction t;
        const int surveyid = SurveyStore::ensureSurvey(date, custid);
        const int respid = storedRespondentId(custid);
        if (respid != 0)
            SurveyStore::storeQuestions(respid, surveyid, gridQuestions());
        t.commit();
        toRefreshGrid();
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
}

void SurveyEditor::cmdSave_Click()
{
    toSaveParamAndQuest();
}

void SurveyEditor::refuseAdd()
{
    Progress::setBusy(false);
    MsgBox::show(QStringLiteral("Select a Question to add"), MsgBox::Critical, QLatin1String(kTitle));
    trvParameter->setFocus();
    Progress::setText(QString());
}

bool SurveyEditor::surveyCanTakeQuestions()
{
    try {
        toTestConnection();
        const int custid = toGetCustomerID(customerName());
        return surveyDate().isValid() && storedRespondentId(custid) != 0;
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
        return false;
    }
}

void SurveyEditor::cmdAdd_Click()
{
    // The node shown chosen, not merely the tree's current one.
    const QList<QTreeWidgetItem*> chosen = trvParameter->selectedItems();
    QTreeWidgetItem* item = chosen.isEmpty() ? nullptr : chosen.first();
    if (!item) {
        refuseAdd();
        return;
    }
    QTreeWidgetItem* parent = item->parent();
    if (!parent) {
        if (refusesParameterItem())
            refuseAdd();
        Progress::setBusy(false);
        return;
    }
    const QString parameter = parent->text(0);
    const QString question = item->text(0);
    FlexGrid* g = grdParamAndQuest;
    bool duplicate = parameter.isEmpty() && question.isEmpty();
    for (int i = 1; i < g->rows() && !duplicate; ++i)
        duplicate = g->textMatrix(i, 1) == parameter && g->textMatrix(i, 2) == question;
    if (duplicate) {
        Progress::setBusy(false);
        return;
    }
    if (!toCheckAddAllowed())
        return;
    // A question that could not be stored would only sit in the grid: no respondent, no question.
    if (!surveyCanTakeQuestions()) {
        Progress::setBusy(false);
        return;
    }
    Progress::setText(QStringLiteral("saving...."));
    const int r = qMax(1, g->row());
    g->setRows(g->rows() + 1);
    for (int j = g->rows() - 2; j >= r + 1; --j) {
        g->setTextMatrix(j, 1, g->textMatrix(j - 1, 1));
        g->setTextMatrix(j, 2, g->textMatrix(j - 1, 2));
    }
    g->setTextMatrix(r, 1, parameter);
    g->setTextMatrix(r, 2, question);
    cmdSave_Click();
    if (g->rows() >= 8)
        g->setTopRow(g->rows() - 2);
    g->setFocus();
    Progress::setText(QString());
}

void SurveyEditor::cmdRemove_Click()
{
    Progress::setBusy(true);
    Progress::setText(QStringLiteral("Removing...."));
    FlexGrid* g = grdParamAndQuest;
    const int r = g->row();
    if (r >= 1 && r != g->rows() - 1 && g->rows() >= 3) {
        g->removeItem(r);
        cmdSave_Click();
    } else if (g->rows() == 2) {
        g->setTextMatrix(1, 1, QString());
        g->setTextMatrix(1, 2, QString());
        if (mayStoreEmptyList())
            cmdSave_Click();
    }
    Progress::setText(QString());
    Progress::setBusy(false);
}

void SurveyEditor::cmdUpward_Click()
{
    if (grdParamAndQuest->rows() < 3)
        return;
    Progress::setText(QStringLiteral("Setting Priority...."));
    toMoveRowUpward();
    Progress::setText(QString());
}

void SurveyEditor::cmdDownward_Click()
{
    if (grdParamAndQuest->rows() < 3)
        return;
    Progress::setText(QStringLiteral("Setting Priority...."));
    toMoveRowDownward();
    Progress::setText(QString());
}

void SurveyEditor::toMoveRowUpward()
{
    moveRow(-1);
}

void SurveyEditor::toMoveRowDownward()
{
    moveRow(1);
}

void SurveyEditor::moveRow(int step)
{
    FlexGrid* g = grdParamAndQuest;
    const int r = g->row();
    const int lastQuestion = g->rows() - 2;
    if (r < 1 || r > lastQuestion || (step < 0 && r == 1) || (step > 0 && r == lastQuestion))
        return;
    try {
        toTestConnection();
        const int custid = toGetCustomerID(customerName());
        const int respid = storedRespondentId(custid);
        const int surveyid = SurveyStore::surveyId(surveyDate(), custid);
        if (respid == 0 || surveyid == 0)
            return;
        Transaction t;
        const SurveyStore::Question moved{g->textMatrix(r, 1), g->textMatrix(r, 2)};
        const int to = SurveyStore::moveQuestion(respid, surveyid, moved, step);
        t.commit();
        if (to == 0)
            return;
        toRefreshGrid();
        g->setRow(to);
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
}

void SurveyEditor::cmdHelp_Click()
{
    Progress::setBusy(true);
    HelpWindow::showTopic(programFile(HelpWindow::helpFileName()), helpContext());
    Progress::setBusy(false);
}

void SurveyEditor::cmdClose_Click()
{
    SurveyWindows::unload(this);
}

void SurveyEditor::cmdExport_Click()
{
    SurveyExportContext context = SurveyDistribution::exportContext(*this);
    SurveyExport(context).cmdExport_Click(grdParamAndQuest->rows());
    mFileName = context.fileName;
    mMailMode = context.mailMode;
}

void SurveyEditor::cmdPrint_Click()
{
    SurveyDistribution::cmdPrint_Click(*this, reportTitle());
}

void SurveyEditor::cmdmail_Click()
{
    SurveyDistribution::cmdmail_Click(*this);
}

void SurveyEditor::Form_Activate()
{
    mUserDefinedName = frmSetting::toGetSetting();
}

void SurveyEditor::trvParameter_DblClick()
{
    Progress::setBusy(true);
    Progress::setText(QStringLiteral("saving...."));
    cmdAdd_Click();
    Progress::setText(QString());
    Progress::setBusy(false);
}

void SurveyEditor::trvParameter_KeyDown(int key)
{
    Progress::setBusy(true);
    if (key == 13) {
        Progress::setText(QStringLiteral("saving..."));
        cmdAdd_Click();
    }
    Progress::setText(QString());
    Progress::setBusy(false);
}

void SurveyEditor::trvParameter_OLECompleteDrag()
{
    Progress::setText(QStringLiteral("saving...."));
    if (gDroppedOnGrid) {
        cmdAdd_Click();
        gDroppedOnGrid = false;
    }
    Progress::setText(QString());
    Progress::setBusy(false);
}

void SurveyEditor::grdParamAndQuest_OLEDragDrop()
{
    gDroppedOnGrid = true;
}

void SurveyEditor::grdParamAndQuest_DblClick()
{
    Progress::setBusy(true);
    cmdRemove_Click();
    Progress::setBusy(false);
}

void SurveyEditor::changeEvent(QEvent* event)
{
    // A top-level window of its own comes forward through its activation; a child window through the main window.
    if (event->type() == QEvent::ActivationChange && isWindow() && isActiveWindow())
        Form_Activate();
    QWidget::changeEvent(event);
}

void SurveyEditor::closeEvent(QCloseEvent* event)
{
    SurveyWindows::unregisterInstance(this);
    QWidget::closeEvent(event);
}
