#include "masterdata/frmParameter.h"

#include "masterdata/Twips.h"
#include "platform/dialogs/MsgBox.h"
#include "platform/grid/FlexGrid.h"
#include "shell/Db.h"
#include "shell/HelpTopics.h"
#include "shell/Progress.h"
#include "shell/ProviderError.h"
#include "shell/Transaction.h"
#include "shell/WindowRegistry.h"
#include "shell/gblGlobal.h"

#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QStyle>

namespace
{

const QString kTitle = QString::fromLatin1(kMessageTitle);
const QString kScore = QStringLiteral("Score");
const QString kDescriptive = QStringLiteral("Descriptive");

QString cellText(const QVariant& v)
{
    return v.isNull() ? QString() : v.toString();
}

QPushButton* button(const QString& caption, QWidget* parent, const char* name)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

// Only Help and Close carry a picture in this window.
QPushButton* button(const QString& caption, QWidget* parent, QStyle::StandardPixmap icon, const char* name)
{
    auto* b = button(caption, parent, name);
    b->setIcon(parent->style()->standardIcon(icon));
    b->setIconSize(QSize(12, 12));
    return b;
}

QLabel* hint(const QString& text, QWidget* parent, const char* name)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::Highlight));
    label->setPalette(palette);
    return label;
}

} // namespace

frmParameter::frmParameter(QWidget* parent) : QWidget(parent)
{
    buildControls();
}

void frmParameter::buildControls()
{
    setObjectName(QStringLiteral("frmParameter"));
    setWindowTitle(QStringLiteral("Parameter And Question Details"));
    setFixedSize(11085 / 15, 6285 / 15);
    setFont(QFont(QStringLiteral("Arial"), 8));

    fraParameterDtls = new QGroupBox(QStringLiteral("Parameter Details"), this);
    fraParameterDtls->setObjectName(QStringLiteral("fraParameterDtls"));
    setTwipsGeometry(fraParameterDtls, 135, 45, 10890, 2610);
    grdParameterDtls = new FlexGrid(fraParameterDtls);
    grdParameterDtls->setObjectName(QStringLiteral("grdParameterDtls"));
    grdParameterDtls->setCols(3);
    setTwipsGeometry(grdParameterDtls, 120, 240, 8940, 1995);
    cmdAddParameter = button(QStringLiteral("&Add Parameter"), fraParameterDtls, "cmdAddParameter");
    setTwipsGeometry(cmdAddParameter, 9255, 225, 1500, 555);
    cmdSaveParameter = button(QStringLiteral("&Save Parameter"), fraParameterDtls, "cmdSaveParameter");
    setTwipsGeometry(cmdSaveParameter, 9255, 967, 1500, 555);
    cmdDeleteParameter = button(QStringLiteral("&Delete Parameter"), fraParameterDtls, "cmdDeleteParameter");
    setTwipsGeometry(cmdDeleteParameter, 9255, 1710, 1500, 555);
    widenColumnLeftwards({cmdAddParameter, cmdSaveParameter, cmdDeleteParameter}, {grdParameterDtls});
    Label2 = hint(QStringLiteral("Select the Parameter to Delete"), fraParameterDtls, "Label2");
    setTwipsGeometry(Label2, 105, 2280, 2355, 240);
    txtParameterDtls = new QLineEdit(fraParameterDtls);
    txtParameterDtls->setObjectName(QStringLiteral("txtParameterDtls"));

    fraQuestionDtls = new QGroupBox(QStringLiteral("Question Details"), this);
    fraQuestionDtls->setObjectName(QStringLiteral("fraQuestionDtls"));
    setTwipsGeometry(fraQuestionDtls, 135, 2805, 10875, 2835);
    grdQuestionDtls = new FlexGrid(fraQuestionDtls);
    grdQuestionDtls->setObjectName(QStringLiteral("grdQuestionDtls"));
    grdQuestionDtls->setCols(4);
    setTwipsGeometry(grdQuestionDtls, 120, 240, 8955, 2115);
    cmdAddQuestion = button(QStringLiteral("Add &Question"), fraQuestionDtls, "cmdAddQuestion");
    setTwipsGeometry(cmdAddQuestion, 9240, 225, 1500, 555);
    cmdSaveQuestion = button(QStringLiteral("Sa&ve Question"), fraQuestionDtls, "cmdSaveQuestion");
    setTwipsGeometry(cmdSaveQuestion, 9240, 960, 1500, 555);
    cmdDeleteQuestion = button(QStringLiteral("Delete Q&uestion"), fraQuestionDtls, "cmdDeleteQuestion");
    setTwipsGeometry(cmdDeleteQuestion, 9240, 1695, 1500, 555);
    widenColumnLeftwards({cmdAddQuestion, cmdSaveQuestion, cmdDeleteQuestion}, {grdQuestionDtls});
    Label1 = hint(QStringLiteral("Question Name Column is mandatory"), fraQuestionDtls, "Label1");
    setTwipsGeometry(Label1, 120, 2520, 2700, 225);
    Label3 =
        hint(QStringLiteral("Press 'S' for Score or 'D' for Descriptive in Type Column"), fraQuestionDtls, "Label3");
    setTwipsGeometry(Label3, 5040, 2520, 4425, 255);
    cmbType = new QComboBox(fraQuestionDtls);
    cmbType->setObjectName(QStringLiteral("cmbType"));
    cmbType->setEditable(true);
    cmbType->setInsertPolicy(QComboBox::NoInsert);
    setTwipsGeometry(cmbType, 9240, 2385, 1500, 315);
    txtQuestionDtls = new QLineEdit(fraQuestionDtls);
    txtQuestionDtls->setObjectName(QStringLiteral("txtQuestionDtls"));

    cmdHelp = button(QStringLiteral("&Help"), this, QStyle::SP_DialogHelpButton, "cmdHelp");
    setTwipsGeometry(cmdHelp, 8760, 5700, 975, 555);
    cmdClose = button(QStringLiteral("&Close"), this, QStyle::SP_DialogCloseButton, "cmdClose");
    setTwipsGeometry(cmdClose, 9900, 5700, 975, 555);

    for (QWidget* label : {static_cast<QWidget*>(Label2), static_cast<QWidget*>(Label1), static_cast<QWidget*>(Label3)})
        widenToText(label);

    const QList<QWidget*> order = {cmdAddParameter, cmdSaveParameter, cmdDeleteParameter,
                                   cmdAddQuestion,  cmdSaveQuestion,  cmdDeleteQuestion,
                                   cmdHelp,         cmdClose};
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    GridEditor::Options parameters;
    parameters.lastEditable = 1;
    parameters.lastMovedOver = 1;
    m_parameters = new GridEditor(grdParameterDtls, txtParameterDtls, parameters, this);
    m_parameters->rowMoved = [this](GridEditor::RowMove) { grdParameterDtls_Click(); };
    m_parameters->addAtEnd = [this] {
        cmdAddParameter_Click();
        grdParameterDtls->setCol(1);
        if (grdParameterDtls->rows() != 2)
            grdParameterDtls->setRow(grdParameterDtls->rows() - 1);
    };

    GridEditor::Options questions;
    questions.lastEditable = 2;
    questions.firstMovedOver = 0;
    questions.lastMovedOver = 3;
    questions.enterNeedsFirstColumn = true;
    m_questions = new GridEditor(grdQuestionDtls, txtQuestionDtls, questions, this);
    m_questions->cellRule = [](int, int col, const QString& typed) { return col == 2 ? typeRule(typed) : typed; };
    // Tab out of a grid goes to its own save button, back out of it to Close: never into the other grid's editor
    // or the Type combo.
    m_parameters->leaveTo(cmdClose, cmdSaveParameter);
    m_questions->leaveTo(cmdClose, cmdSaveQuestion);

    cmbType->lineEdit()->installEventFilter(this);
    connect(cmbType, &QComboBox::activated, this, &frmParameter::cmbType_Click);
    connect(grdParameterDtls, &FlexGrid::click, this, &frmParameter::grdParameterDtls_Click);
    connect(cmdAddParameter, &QPushButton::clicked, this, &frmParameter::cmdAddParameter_Click);
    connect(cmdSaveParameter, &QPushButton::clicked, this, &frmParameter::cmdSaveParameter_Click);
    connect(cmdDeleteParameter, &QPushButton::clicked, this, &frmParameter::cmdDeleteParameter_Click);
    connect(cmdAddQuestion, &QPushButton::clicked, this, &frmParameter::cmdAddQuestion_Click);
    connect(cmdSaveQuestion, &QPushButton::clicked, this, &frmParameter::cmdSaveQuestion_Click);
    connect(cmdDeleteQuestion, &QPushButton::clicked, this, &frmParameter::cmdDeleteQuestion_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmParameter::cmdHelp_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmParameter::cmdClose_Click);
}

void frmParameter::Form_Load()
{
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
        frame->move(0, 0);
    toSetWidthForParamGrid();
    toSetWidthForQuestionGrid();
    toRefreshPrameterDetails();
    SetEditParameterTextBox(grdParameterDtls->col(), 1);
    SetEditQuestionTextBox(1, 1);
    grdParameterDtls_Click();
    SetEditParameterTextBox(1, 1);
    cmbType->addItem(kScore);
    cmbType->addItem(kDescriptive);
}

void frmParameter::toSetWidthForParamGrid()
{
    m_parameters->layOut({QString(), QStringLiteral("Parameter Name")}, {0.1, 0.85});
}

void frmParameter::toSetWidthForQuestionGrid()
{
    m_questions->layOut({QString(), QStringLiteral("Question"), QStringLiteral("Type")}, {0.02, 0.84, 0.1});
}

void frmParameter::SetEditParameterTextBox(int col, int row)
{
    m_parameters->place(col, row);
}

void frmParameter::SetEditQuestionTextBox(int col, int row)
{
    m_questions->place(col, row);
}

QString frmParameter::typeRule(const QString& text)
{
    QString result = text;
    const QString letter = text.trimmed().toUpper();
    if (letter == QLatin1String("S"))
        result = kScore;
    else if (letter == QLatin1String("D"))
        result = kDescriptive;
    if (!result.startsWith(QLatin1Char('D')) && !result.startsWith(QLatin1Char('S')))
        result.clear();
    return result;
}

// Every text the Type cell can hold begins with S (a score), D (descriptive) or is empty (a score).
bool frmParameter::isScoreType(const QString& cell)
{
    return !cell.startsWith(QLatin1Char('D'));
}

void frmParameter::grdParameterDtls_Click()
{
    toRefreshQuestionDtls();
}

void frmParameter::toRefreshPrameterDetails()
{
    try {
        toTestConnection();
        QSqlQuery q = Db::exec(QStringLiteral("select parametername, paramid from parameter order by paramid"));
        QList<QStringList> records;
        while (q.next())
            records.append({cellText(q.value(0)), cellText(q.value(1))});
        m_parameters->fill(records);
        if (records.isEmpty())
            grdParameterDtls->setRow(1);
        m_parameters->resync();
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
}

void frmParameter::toRefreshQuestionDtls()
{
    const QString key = grdParameterDtls->textMatrix(grdParameterDtls->row(), 2);
    try {
        toTestConnection();
        QList<QStringList> records;
        if (!key.isEmpty()) {
            QSqlQuery q = Db::exec(
                QStringLiteral("select question, Type, questionid from questions where paramid =? order by questionid"),
                {key.toLongLong()});
            while (q.next())
                records.append(
                    {cellText(q.value(0)), q.value(1).toInt() != 0 ? kScore : kDescriptive, cellText(q.value(2))});
        }
        m_shownParameter.key = key;
        m_shownParameter.row = grdParameterDtls->row();
        m_questions->fill(records);
        if (records.isEmpty())
            grdQuestionDtls->setRow(1);
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
        return;
    }
    SetEditQuestionTextBox(grdQuestionDtls->col(), grdQuestionDtls->row());
}

bool frmParameter::cmdSaveParameter_Click()
{
    for (int i = 1; i < grdParameterDtls->rows(); ++i) {
        if (GridEditor::isBlank(grdParameterDtls->textMatrix(i, 1))) {
            MsgBox::show(QStringLiteral("Parameter Name cannot be left blank....Error"), MsgBox::Critical, kTitle);
            m_parameters->focusIfVisible();
            keepQuestionsInStep();
            return false;
        }
    }
    Progress::setText(QStringLiteral("Saving Parameter ....."));
    const bool saved = toSaveParameterDtls();
    Progress::setText(QString());
    keepQuestionsInStep();
    return saved;
}

// A new parameter dropped by the save (its name is stored already) leaves another row current; its questions are
// shown instead, so that no question stays on screen that Save Question would not store.
void frmParameter::keepQuestionsInStep()
{
    const int row = grdParameterDtls->row();
    // Row 0 is Add Parameter's passing state: the row it appends brings its own questions.
    if (row >= 1 && (row != m_shownParameter.row || grdParameterDtls->textMatrix(row, 2) != m_shownParameter.key))
        toRefreshQuestionDtls();
}

bool frmParameter::toSaveParameterDtls()
{
    Progress::setBusy(true);
    QString shownParameterSavedAs;
    try {
        toTestConnection();
        Transaction transaction;
        const int n = grdParameterDtls->rows() - 1;
        for (int i = 1; i <= n; ++i) {
            const QString name = toStoredText(grdParameterDtls->textMatrix(i, 1));
            const QString key = grdParameterDtls->textMatrix(i, 2);
            if (key.isEmpty()) {
                if (Db::exists(QStringLiteral("select paramid from parameter where parametername=?"), {name}))
                    continue;
                Db::exec(QStringLiteral("insert into parameter (parametername) values (?)"), {name});
                if (m_shownParameter.isUnsavedRow(i))
                    shownParameterSavedAs =
                        Db::scalar(QStringLiteral("select paramid from parameter where parametername=?"), {name})
                            .toString();
            } else {
                Db::exec(QStringLiteral("update parameter set parametername=? where paramid=?"),
                         {name, key.toLongLong()});
            }
        }
        transaction.commit();
    } catch (const ProviderError& e) {
        Progress::setBusy(false);
        toShowConnectionErrors(e);
        return false;
    }
    toRefreshPrameterDetails();
    m_shownParameter.follow(grdParameterDtls, shownParameterSavedAs);
    Progress::setBusy(false);
    return true;
}

void frmParameter::cmdAddParameter_Click()
{
    if (grdParameterDtls->rows() >= 2) {
        for (int i = 1; i < grdParameterDtls->rows(); ++i) {
            if (GridEditor::isBlank(grdParameterDtls->textMatrix(i, 1))) {
                MsgBox::show(QStringLiteral("Parameter Name Cannot be left blank....Error"), MsgBox::Critical, kTitle);
                grdParameterDtls->setRow(i);
                m_parameters->focusIfVisible();
                grdParameterDtls->setCol(1);
                return;
            }
        }
        grdParameterDtls->setCol(1);
        grdParameterDtls->setRow(0);
        Progress::setText(QStringLiteral("Adding Parameter....."));
        cmdSaveParameter_Click();
        grdParameterDtls->setRows(grdParameterDtls->rows() + 1);
        grdParameterDtls->setRow(grdParameterDtls->rows() - 1);
        grdParameterDtls_Click();
    }
    SetEditParameterTextBox(1, grdParameterDtls->row());
    m_parameters->focusIfVisible();
    Progress::setText(QString());
}

void frmParameter::cmdSaveQuestion_Click()
{
    cmbType->hide();
    for (int i = 1; i < grdQuestionDtls->rows(); ++i) {
        if (GridEditor::isBlank(grdQuestionDtls->textMatrix(i, 1))) {
            MsgBox::show(QStringLiteral("Question name cannot be left blank...Error"), MsgBox::Critical, kTitle);
            m_questions->focusIfVisible();
            return;
        }
    }
    Progress::setText(QStringLiteral("Saving Question....."));
    toSaveQuestionDetails();
    Progress::setText(QString());
}

void frmParameter::toSaveQuestionDetails()
{
    // Questions of a parameter not saved yet have nowhere to go: nothing is stored, nothing is said.
    if (m_shownParameter.key.isEmpty())
        return;
    Progress::setBusy(true);
    try {
        toTestConnection();
        Transaction transaction;
        const qlonglong parameter = m_shownParameter.key.toLongLong();
        const int n = grdQuestionDtls->rows() - 1;
        for (int i = 1; i <= n; ++i) {
            const QString text = toStoredText(grdQuestionDtls->textMatrix(i, 1));
            const int type = isScoreType(grdQuestionDtls->textMatrix(i, 2)) ? 1 : 0;
            const QString key = grdQuestionDtls->textMatrix(i, 3);
            if (key.isEmpty()) {
                if (Db::exists(QStringLiteral("select questionid from questions where question=? and paramid=?"),
                               {text, parameter}))
                    continue;
                Db::exec(QStringLiteral("insert into questions (question, Type, paramid) values (?, ?, ?)"),
                         {text, type, parameter});
            } else {
                // A saved question stays with its parameter.
                Db::exec(QStringLiteral("update questions set question=?, Type=? where questionid=?"),
                         {text, type, key.toLongLong()});
            }
        }
        transaction.commit();
    } catch (const ProviderError& e) {
        Progress::setBusy(false);
        toShowConnectionErrors(e);
        return;
    }
    toRefreshQuestionDtls();
    Progress::setBusy(false);
}

void frmParameter::cmdAddQuestion_Click()
{
    cmbType->hide();
    grdQuestionDtls->setRow(0);
    grdQuestionDtls->setCol(0);
    if (grdQuestionDtls->rows() >= 2) {
        for (int i = 1; i < grdQuestionDtls->rows(); ++i) {
            if (GridEditor::isBlank(grdQuestionDtls->textMatrix(i, 1))) {
                MsgBox::show(QStringLiteral("Question Cannot be left blank....Error"), MsgBox::Critical, kTitle);
                m_questions->focusIfVisible();
                return;
            }
        }
        grdQuestionDtls->setRow(0);
        grdQuestionDtls->setCol(0);
        Progress::setText(QStringLiteral("Adding Question....."));
        cmdSaveQuestion_Click();
        grdQuestionDtls->setRows(grdQuestionDtls->rows() + 1);
        grdQuestionDtls->setRow(grdQuestionDtls->rows() - 1);
    }
    SetEditQuestionTextBox(1, grdQuestionDtls->row());
    m_questions->focusIfVisible();
    Progress::setText(QString());
}

void frmParameter::cmdDeleteParameter_Click()
{
    Progress::setText(QStringLiteral("Deleting Parameter...."));
    toDeleteparameter();
    SetEditParameterTextBox(1, grdParameterDtls->row());
    txtParameterDtls->show();
    m_parameters->focusIfVisible();
    Progress::setText(QString());
}

// False when the user cancelled: then neither the grids nor the database change.
bool frmParameter::toDeleteparameter()
{
    const int chosen = grdParameterDtls->row();
    try {
        toTestConnection();
        const QString key = grdParameterDtls->textMatrix(chosen, 2);
        if (!key.isEmpty()) {
            const QString del = QStringLiteral("delete from parameter where paramid=?");
            if (grdQuestionDtls->textMatrix(1, 3).isEmpty()) {
                Db::exec(del, {key.toLongLong()});
            } else if (Db::exists(QStringLiteral("select questionid from questions where paramid=?"),
                                  {key.toLongLong()})) {
                if (MsgBox::show(QStringLiteral("Deleting of parameter will delete all the Corresponding records"),
                                 MsgBox::OkCancel, kTitle) != MsgBox::Ok)
                    return false;
                Db::exec(del, {key.toLongLong()});
            }
        }
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
        return true;
    }
    // The chosen row leaves the grid, saved or not, and the rows left are saved. When that save is refused or
    // fails they stay as typed for another try instead of being reloaded away.
    bool rowsLeftSaved = true;
    if (grdParameterDtls->rows() > 2) {
        grdParameterDtls->removeItem(chosen);
        grdParameterDtls->setRow(grdParameterDtls->rows() - 1);
        m_shownParameter.row = -1; // the question grid is reloaded below
        rowsLeftSaved = cmdSaveParameter_Click();
    }
    if (rowsLeftSaved)
        toRefreshPrameterDetails();
    SetEditParameterTextBox(grdParameterDtls->col(), grdParameterDtls->row());
    toRefreshQuestionDtls();
    return true;
}

void frmParameter::cmdDeleteQuestion_Click()
{
    Progress::setText(QStringLiteral("Deleting Question...."));
    toDeleteQuestionDetails();
    grdQuestionDtls->setRow(grdQuestionDtls->topRow());
    SetEditQuestionTextBox(1, grdQuestionDtls->row());
    txtQuestionDtls->show();
    m_questions->focusIfVisible();
    Progress::setText(QString());
}

void frmParameter::toDeleteQuestionDetails()
{
    cmbType->hide();
    const int row = grdQuestionDtls->row();
    const QString key = grdQuestionDtls->textMatrix(row, 3);
    const bool deletable = !key.isEmpty() && !grdQuestionDtls->textMatrix(row, 1).isEmpty();
    try {
        toTestConnection();
        if (deletable)
            Db::exec(QStringLiteral("delete from questions where questionid=?"), {key.toLongLong()});
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
        return;
    }
    // Only the chosen row leaves the grid, so the questions not saved yet stay as typed; a saved question whose
    // text was erased is not deleted and stays.
    if (deletable || key.isEmpty())
        dropGridRow(grdQuestionDtls, row);
    SetEditQuestionTextBox(grdQuestionDtls->col(), grdQuestionDtls->row());
}

void frmParameter::cmdHelp_Click()
{
    HelpTopics::showTopic(this, HelpTopics::frmParameter);
}

void frmParameter::cmdClose_Click()
{
    WindowRegistry::unloadWindow(this);
}

void frmParameter::cmbType_Click(int index)
{
    const int row = grdQuestionDtls->row();
    const QString cell = grdQuestionDtls->textMatrix(row, 2);
    cmbType->setCurrentIndex(index);
    if (cell.isEmpty())
        grdQuestionDtls->setTextMatrix(row, 2, cmbType->currentText());
    else if (cell == kScore || cell == kDescriptive)
        grdQuestionDtls->setTextMatrix(row, 2, cmbType->itemText(cmbType->currentIndex()));
    // An editor standing over that cell shows what the cell now holds, so what is seen is what is saved.
    if (m_questions->placedRow() == row && m_questions->placedCol() == 2)
        m_questions->resync();
}

void frmParameter::cmbType_KeyDown(int key)
{
    grdQuestionDtls->setCol(2);
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        grdQuestionDtls->setCol(1);
        SetEditQuestionTextBox(1, grdQuestionDtls->row());
        txtQuestionDtls->setFocus();
        cmbType->hide();
        return;
    }
    if (key == Qt::Key_Backspace) {
        QLineEdit* edit = cmbType->lineEdit();
        const QString text = edit->text();
        if (!text.isEmpty() && edit->cursorPosition() > 0) {
            edit->setText(text.left(text.size() - 1));
            edit->end(false);
        }
    }
    SetEditQuestionTextBox(2, grdQuestionDtls->row());
    cmbType->show();
    cmbType->setFocus();
}

// Esc and every key but Enter and Backspace go on to the combo box as usual.
bool frmParameter::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == cmbType->lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape)
            return false;
        cmbType_KeyDown(key);
        // Enter has hidden the combo; Backspace has already dropped its character.
        return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Backspace;
    }
    return QWidget::eventFilter(watched, event);
}
