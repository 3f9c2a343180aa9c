#include "masterdata/frmCustomer.h"

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

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

namespace
{

const QString kTitle = QString::fromLatin1(kMessageTitle);
const QString kOldTitle = QStringLiteral("Pellorin");

QString cellText(const QVariant& v)
{
    return v.isNull() ? QString() : v.toString();
}

// An empty cell stored as Null.
QVariant textOrNull(const QString& text)
{
    return text.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(toStoredText(text));
}

// An empty cell stored as empty text: a cell never typed into holds a null string, which would be stored as Null.
QString textOrEmpty(const QString& text)
{
    return text.isEmpty() ? QStringLiteral("") : toStoredText(text);
}

QPushButton* button(const QString& caption, QWidget* parent, QStyle::StandardPixmap icon, const char* name)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setIcon(parent->style()->standardIcon(icon));
    b->setIconSize(QSize(12, 12));
    return b;
}

} // namespace

frmCustomer::frmCustomer(QWidget* parent) : QWidget(parent)
{
    buildControls();
}

void frmCustomer::buildControls()
{
    setObjectName(QStringLiteral("frmCustomer"));
    setWindowTitle(QStringLiteral("Customer And Respondents"));
    setFixedSize(10770 / 15, 5895 / 15);
    QFont small = font();
    small.setPointSize(8);
    setFont(small);

    fraCustomerDtls = new QGroupBox(QStringLiteral("Customer Details"), this);
    fraCustomerDtls->setObjectName(QStringLiteral("fraCustomerDtls"));
    setTwipsGeometry(fraCustomerDtls, 0, 0, 10710, 2535);
    grdCustomerDtls = new FlexGrid(fraCustomerDtls);
    grdCustomerDtls->setObjectName(QStringLiteral("grdCustomerDtls"));
    grdCustomerDtls->setCols(6);
    setTwipsGeometry(grdCustomerDtls, 75, 240, 8910, 1995);
    Label5 = new QLabel(QStringLiteral("Customer Name Column is mandatory."), fraCustomerDtls);
    Label5->setObjectName(QStringLiteral("Label5"));
    setTwipsGeometry(Label5, 90, 2280, 3030, 210);
    txtCustomerDtls = new QLineEdit(fraCustomerDtls);
    txtCustomerDtls->setObjectName(QStringLiteral("txtCustomerDtls"));

    cmdAddCustomer = button(QStringLiteral("&Add Customer"), this, QStyle::SP_FileDialogNewFolder, "cmdAddCustomer");
    setTwipsGeometry(cmdAddCustomer, 9090, 225, 1500, 615);
    cmdSaveCustomer = button(QStringLiteral("&Save Customer"), this, QStyle::SP_DialogSaveButton, "cmdSaveCustomer");
    setTwipsGeometry(cmdSaveCustomer, 9090, 1005, 1500, 615);
    cmdDeleteCustomer = button(QStringLiteral("&Delete Customer"), this, QStyle::SP_TrashIcon, "cmdDeleteCustomer");
    setTwipsGeometry(cmdDeleteCustomer, 9090, 1785, 1500, 615);
    widenColumnLeftwards({cmdAddCustomer, cmdSaveCustomer, cmdDeleteCustomer}, {grdCustomerDtls});

    fraRespondentDtls = new QGroupBox(QStringLiteral("Respondent Details"), this);
    fraRespondentDtls->setObjectName(QStringLiteral("fraRespondentDtls"));
    setTwipsGeometry(fraRespondentDtls, 0, 2670, 10695, 2550);
    grdRespondentDtls = new FlexGrid(fraRespondentDtls);
    grdRespondentDtls->setObjectName(QStringLiteral("grdRespondentDtls"));
    grdRespondentDtls->setCols(5);
    setTwipsGeometry(grdRespondentDtls, 120, 240, 8895, 1995);
    Label2 = new QLabel(QStringLiteral("Designation Column is mandatory."), fraRespondentDtls);
    Label2->setObjectName(QStringLiteral("Label2"));
    setTwipsGeometry(Label2, 135, 2295, 2475, 210);
    txtRespondentDtls = new QLineEdit(fraRespondentDtls);
    txtRespondentDtls->setObjectName(QStringLiteral("txtRespondentDtls"));

    cmdAddRespondent =
        button(QStringLiteral("Add Res&pondent"), this, QStyle::SP_FileDialogNewFolder, "cmdAddRespondent");
    setTwipsGeometry(cmdAddRespondent, 9090, 2895, 1500, 615);
    cmdSaveRespondent =
        button(QStringLiteral("Sa&ve Respondent"), this, QStyle::SP_DialogSaveButton, "cmdSaveRespondent");
    setTwipsGeometry(cmdSaveRespondent, 9090, 3690, 1500, 615);
    cmdDeleteRespondent =
        button(QStringLiteral("Delete &Respondent"), this, QStyle::SP_TrashIcon, "cmdDeleteRespondent");
    setTwipsGeometry(cmdDeleteRespondent, 9090, 4470, 1500, 615);
    widenColumnLeftwards({cmdAddRespondent, cmdSaveRespondent, cmdDeleteRespondent}, {grdRespondentDtls});

    Label1 = new QLabel(QStringLiteral("Select the Customer Name to fill the Respondent Details."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    setTwipsGeometry(Label1, 135, 5460, 4035, 255);
    cmdHelp = button(QStringLiteral("&Help"), this, QStyle::SP_DialogHelpButton, "cmdHelp");
    setTwipsGeometry(cmdHelp, 8580, 5280, 975, 555);
    cmdClose = button(QStringLiteral("&Close"), this, QStyle::SP_DialogCloseButton, "cmdClose");
    setTwipsGeometry(cmdClose, 9615, 5280, 975, 555);

    for (QWidget* label : {static_cast<QWidget*>(Label5), static_cast<QWidget*>(Label2), static_cast<QWidget*>(Label1)})
        widenToText(label);

    const QList<QWidget*> order = {cmdAddCustomer,    cmdSaveCustomer,     cmdDeleteCustomer, cmdAddRespondent,
                                   cmdSaveRespondent, cmdDeleteRespondent, cmdHelp,           cmdClose};
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    GridEditor::Options customers;
    customers.lastEditable = 4;
    customers.lastMovedOver = 5;
    m_customers = new GridEditor(grdCustomerDtls, txtCustomerDtls, customers, this);
    m_customers->rowMoved = [this](GridEditor::RowMove why) { customerRowMoved(why); };
    m_customers->addAtEnd = [this] { cmdAddCustomer_Click(); };

    GridEditor::Options respondents;
    respondents.lastEditable = 3;
    respondents.lastMovedOver = 3;
    respondents.upOnFirstRowPlacesAgain = true;
    m_respondents = new GridEditor(grdRespondentDtls, txtRespondentDtls, respondents, this);
    m_respondents->addAtEnd = [this] { cmdAddRespondent_Click(); };
    // Tab out of a grid goes to its own save button, back out of it to Close: never into the other grid's editor.
    m_customers->leaveTo(cmdClose, cmdSaveCustomer);
    m_respondents->leaveTo(cmdClose, cmdSaveRespondent);

    connect(grdCustomerDtls, &FlexGrid::click, this, &frmCustomer::grdCustomerDtls_Click);
    connect(cmdAddCustomer, &QPushButton::clicked, this, &frmCustomer::cmdAddCustomer_Click);
    connect(cmdSaveCustomer, &QPushButton::clicked, this, &frmCustomer::cmdSaveCustomer_Click);
    connect(cmdDeleteCustomer, &QPushButton::clicked, this, &frmCustomer::cmdDeleteCustomer_Click);
    connect(cmdAddRespondent, &QPushButton::clicked, this, &frmCustomer::cmdAddRespondent_Click);
    connect(cmdSaveRespondent, &QPushButton::clicked, this, &frmCustomer::cmdSaveRespondent_Click);
    connect(cmdDeleteRespondent, &QPushButton::clicked, this, &frmCustomer::cmdDeleteRespondent_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmCustomer::cmdHelp_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmCustomer::cmdClose_Click);
}

void frmCustomer::Form_Load()
{
    toTestConnection();
    placeInMainWindow();
    toSetWidthForCusGrid();
    toSetWidthForResGrid();
    toRefreshCustomerDetails();
    SetEditTextBox(1, 1);
    SetEditRespondentTextBox(1, 1);
    grdCustomerDtls_Click();
}

// Centred across the screen's width and a fifth of the way down, within the main window's client area.
void frmCustomer::placeInMainWindow()
{
    auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (!frame)
        return;
    const QRect screen = frame->screen() ? frame->screen()->geometry() : QRect(0, 0, 1024, 768);
    placeWithinArea(frame, (screen.width() - frame->width()) / 2, (screen.height() - frame->height()) / 5);
}

void frmCustomer::toSetWidthForCusGrid()
{
    m_customers->layOut({QString(), QStringLiteral("Customer Name"), QStringLiteral("Customer Address"),
                         QStringLiteral("Tel.No"), QStringLiteral("Email")},
                        {0.05, 0.25, 0.35, 0.1, 0.2});
}

void frmCustomer::toSetWidthForResGrid()
{
    m_respondents->layOut(
        {QString(), QStringLiteral("Respondent Name"), QStringLiteral("Designation"), QStringLiteral("Email ID")},
        {0.025, 0.3, 0.3, 0.3});
}

void frmCustomer::SetEditTextBox(int col, int row)
{
    m_customers->place(col, row);
}

void frmCustomer::SetEditRespondentTextBox(int col, int row)
{
    m_respondents->place(col, row);
}

void frmCustomer::toRefreshCustomerDetails()
{
    try {
        toTestConnection();
        QSqlQuery q =
            Db::exec(QStringLiteral("select custname, Address, telno, email, custid from customer order by custid"));
        QList<QStringList> records;
        while (q.next())
            records.append({cellText(q.value(0)), cellText(q.value(1)), cellText(q.value(2)), cellText(q.value(3)),
                            cellText(q.value(4))});
        m_customers->fill(records);
        m_customers->resync();
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
}

void frmCustomer::toRefreshRespondentDetails()
{
    const int customerRow = grdCustomerDtls->row();
    const QString key = grdCustomerDtls->textMatrix(customerRow, 5);
    try {
        toTestConnection();
        QList<QStringList> records;
        if (!key.isEmpty()) {
            QSqlQuery q = Db::exec(QStringLiteral("select respondentname, respondentdesignation, emailid, "
                                                  "respondentid from respondent where custid=? order by respondentid"),
                                   {key.toLongLong()});
            while (q.next())
                records.append(
                    {cellText(q.value(0)), cellText(q.value(1)), cellText(q.value(2)), cellText(q.value(3))});
        }
        m_shownCustomer.key = key;
        m_shownCustomer.row = customerRow;
        m_respondents->fill(records);
        if (records.isEmpty())
            m_respondents->resync();
        else
            SetEditRespondentTextBox(grdRespondentDtls->col(), grdRespondentDtls->row());
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
}

void frmCustomer::respondentEditorToLastRow()
{
    if (grdRespondentDtls->rows() >= 2) {
        grdRespondentDtls->setRow(grdRespondentDtls->rows() - 1);
        SetEditRespondentTextBox(grdRespondentDtls->col(), grdRespondentDtls->rows() - 1);
    } else {
        grdRespondentDtls->setRow(1);
    }
}

void frmCustomer::grdCustomerDtls_Click()
{
    toRefreshRespondentDetails();
    respondentEditorToLastRow();
}

void frmCustomer::customerRowMoved(GridEditor::RowMove why)
{
    toRefreshRespondentDetails();
    switch (why) {
    case GridEditor::RowMove::Up:
        break;
    case GridEditor::RowMove::Down:
        respondentEditorToLastRow();
        break;
    case GridEditor::RowMove::DownAppend:
        SetEditRespondentTextBox(1, 1);
        break;
    case GridEditor::RowMove::Enter:
        m_respondents->hide();
        break;
    }
}

// A refused save or a shrinking reload can make another customer row current without the respondents
// following; reload them so that the lower grid always belongs to the current customer.
void frmCustomer::keepRespondentsInStep()
{
    const int row = grdCustomerDtls->row();
    if (row != m_shownCustomer.row || grdCustomerDtls->textMatrix(row, 5) != m_shownCustomer.key)
        grdCustomerDtls_Click();
}

void frmCustomer::cmdAddCustomer_Click()
{
    const int col = grdCustomerDtls->col();
    const int row = grdCustomerDtls->row();
    for (int i = 1; i < grdCustomerDtls->rows(); ++i) {
        if (GridEditor::isBlank(grdCustomerDtls->textMatrix(i, 1))) {
            MsgBox::show(QStringLiteral("Customer Name Cannot be left blank....Error"), MsgBox::Critical, kTitle);
            grdCustomerDtls->setCol(1);
            SetEditTextBox(1, grdCustomerDtls->row());
            m_customers->focusIfVisible();
            return;
        }
    }
    grdCustomerDtls->setCol(col);
    grdCustomerDtls->setRow(row);
    Progress::setText(QStringLiteral("Adding Customer......"));
    cmdSaveCustomer_Click();
    grdCustomerDtls->setRows(grdCustomerDtls->rows() + 1);
    grdCustomerDtls->setRow(grdCustomerDtls->rows() - 1);
    toRefreshRespondentDetails();
    grdRespondentDtls->setRow(grdRespondentDtls->rows() - 1);
    SetEditRespondentTextBox(grdRespondentDtls->col(), grdRespondentDtls->rows() - 1);
    SetEditTextBox(1, grdCustomerDtls->row());
    m_customers->focusIfVisible();
    Progress::setText(QString());
}

void frmCustomer::cmdSaveCustomer_Click()
{
    for (int i = 1; i < grdCustomerDtls->rows(); ++i) {
        if (GridEditor::isBlank(grdCustomerDtls->textMatrix(i, 1))) {
            MsgBox::show(QStringLiteral("Customer Name cannot be left blank....Error"), MsgBox::Critical, kOldTitle);
            SetEditTextBox(1, i);
            txtCustomerDtls->setFocus();
            keepRespondentsInStep();
            return;
        }
    }
    Progress::setText(QStringLiteral("Saving Customer ...."));
    toSaveCustomerDtls();
    SetEditTextBox(1, grdCustomerDtls->row());
    m_customers->focusIfVisible();
    Progress::setText(QString());
    keepRespondentsInStep();
}

void frmCustomer::toSaveCustomerDtls()
{
    Progress::setBusy(true);
    QString shownCustomerSavedAs;
    try {
        toTestConnection();
        Transaction transaction;
        const int n = grdCustomerDtls->rows() - 1;
        for (int i = 1; i <= n; ++i) {
            const QString name = toStoredText(grdCustomerDtls->textMatrix(i, 1));
            const QString address = grdCustomerDtls->textMatrix(i, 2);
            const QVariant addressValue = address.isEmpty() ? QStringLiteral(" ") : toStoredText(address);
            const QVariant tel = textOrNull(grdCustomerDtls->textMatrix(i, 3));
            const QVariant email = textOrNull(grdCustomerDtls->textMatrix(i, 4));
            const QString key = grdCustomerDtls->textMatrix(i, 5);
            if (key.isEmpty()) {
                if (Db::exists(QStringLiteral("select custid from customer where custname=?"), {name}))
                    continue;
                Db::exec(QStringLiteral("insert into customer (custname, Address, telno, email) values (?, ?, ?, ?)"),
                         {name, addressValue, tel, email});
                if (m_shownCustomer.isUnsavedRow(i))
                    shownCustomerSavedAs =
                        Db::scalar(QStringLiteral("select custid from customer where custname=?"), {name}).toString();
            } else {
                // A key no longer in the table updates nothing, so the row is skipped.
                Db::exec(QStringLiteral("update customer set custname=?, Address=?, telno=?, email=? where custid=?"),
                         {name, addressValue, tel, email, key.toLongLong()});
            }
        }
        transaction.commit();
    } catch (const ProviderError& e) {
        Progress::setBusy(false);
        toShowConnectionErrors(e);
        return;
    }
    toRefreshCustomerDetails();
    m_shownCustomer.follow(grdCustomerDtls, shownCustomerSavedAs);
    SetEditTextBox(grdCustomerDtls->col(), grdCustomerDtls->row());
    txtCustomerDtls->setFocus();
    Progress::setBusy(false);
}

void frmCustomer::cmdAddRespondent_Click()
{
    const int col = grdRespondentDtls->col();
    const int row = grdRespondentDtls->row();
    for (int i = 1; i < grdRespondentDtls->rows(); ++i) {
        if (GridEditor::isBlank(grdRespondentDtls->textMatrix(i, 2))) {
            MsgBox::show(QStringLiteral("Designation cannot be left blank....Error"), MsgBox::Critical, kOldTitle);
            grdRespondentDtls->setCol(2);
            txtRespondentDtls->show();
            SetEditRespondentTextBox(2, i);
            txtRespondentDtls->setFocus();
            return;
        }
    }
    grdRespondentDtls->setCol(col);
    grdRespondentDtls->setRow(row);
    Progress::setText(QStringLiteral("Adding Respondent....."));
    cmdSaveRespondent_Click();
    grdRespondentDtls->setRows(grdRespondentDtls->rows() + 1);
    grdRespondentDtls->setRow(grdRespondentDtls->rows() - 1);
    SetEditRespondentTextBox(1, grdRespondentDtls->row());
    m_respondents->focusIfVisible();
    Progress::setText(QString());
}

void frmCustomer::cmdSaveRespondent_Click()
{
    Progress::setBusy(true);
    for (int i = 1; i < grdRespondentDtls->rows(); ++i) {
        if (GridEditor::isBlank(grdRespondentDtls->textMatrix(i, 2))) {
            MsgBox::show(QStringLiteral("Designation cannot be left blank....Error"), MsgBox::Critical, kOldTitle);
            grdRespondentDtls->setCol(2);
            txtRespondentDtls->show();
            SetEditRespondentTextBox(2, i);
            txtRespondentDtls->setFocus();
            Progress::setBusy(false);
            return;
        }
    }
    // Respondents of a customer not saved yet have no customer to belong to.
    if (GridEditor::isBlank(grdCustomerDtls->textMatrix(grdCustomerDtls->row(), 1)) || m_shownCustomer.key.isEmpty()) {
        MsgBox::show(QStringLiteral("Select a Customer to Add Respondent(s)"), MsgBox::Critical + MsgBox::Information,
                     kTitle);
        Progress::setBusy(false);
        return;
    }
    Progress::setText(QStringLiteral("Saving Respondent......"));
    toSaveRespondentDetails();
    Progress::setText(QString());
}

void frmCustomer::toSaveRespondentDetails()
{
    Progress::setBusy(true);
    try {
        toTestConnection();
        Transaction transaction;
        const int n = grdRespondentDtls->rows() - 1;
        const qlonglong customer = m_shownCustomer.key.toLongLong();
        for (int i = 1; i <= n; ++i) {
            const QVariant name = textOrNull(grdRespondentDtls->textMatrix(i, 1));
            const QString designation = toStoredText(grdRespondentDtls->textMatrix(i, 2));
            const QString email = textOrEmpty(grdRespondentDtls->textMatrix(i, 3));
            const QString key = grdRespondentDtls->textMatrix(i, 4);
            if (key.isEmpty()) {
                // A Null name equals nothing, so respondents without a name are never taken for duplicates.
                if (Db::exists(QStringLiteral("select respondentid from respondent where respondentname=? and "
                                              "custid=? and respondentdesignation=?"),
                               {name, customer, designation}))
                    continue;
                Db::exec(QStringLiteral("insert into respondent (respondentname, respondentdesignation, emailid, "
                                        "custid) values (?, ?, ?, ?)"),
                         {name, designation, email, customer});
            } else {
                // A saved respondent stays with its customer.
                Db::exec(QStringLiteral("update respondent set respondentname=?, respondentdesignation=?, emailid=? "
                                        "where respondentid=?"),
                         {name, designation, email, key.toLongLong()});
            }
        }
        transaction.commit();
    } catch (const ProviderError& e) {
        Progress::setBusy(false);
        toShowConnectionErrors(e);
        return;
    }
    toRefreshRespondentDetails();
    Progress::setBusy(false);
}

void frmCustomer::cmdDeleteCustomer_Click()
{
    toDeleteCustomer();
    m_customers->focusIfVisible();
}

void frmCustomer::toDeleteCustomer()
{
    try {
        toTestConnection();
        Progress::setText(QStringLiteral("Deleting Customer Dtls....."));
        const QString key = grdCustomerDtls->textMatrix(grdCustomerDtls->row(), 5);
        if (!key.isEmpty()) {
            if (Db::exists(QStringLiteral("select respondentid from respondent where custid=?"), {key.toLongLong()}) &&
                MsgBox::show(QStringLiteral("Deleting of Customer will delete all the Corresponding records"),
                             MsgBox::OkCancel, kOldTitle) != MsgBox::Ok) {
                // Both grids stay as they are, unsaved edits included.
                Progress::setText(QStringLiteral("Deletion Cancelled....."));
                Progress::setText(QString());
                return;
            }
            Db::exec(QStringLiteral("delete from customer where custid=?"), {key.toLongLong()});
        }
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
        return;
    }
    dropGridRow(grdCustomerDtls, grdCustomerDtls->row());
    toRefreshRespondentDetails();
    SetEditTextBox(grdCustomerDtls->col(), grdCustomerDtls->row());
    Progress::setText(QString());
}

void frmCustomer::cmdDeleteRespondent_Click()
{
    Progress::setText(QStringLiteral("Deleting Respondent...."));
    toDeleteRespondentDetails();
    SetEditRespondentTextBox(1, grdRespondentDtls->row());
    txtRespondentDtls->show();
    txtRespondentDtls->setFocus();
    Progress::setText(QString());
}

void frmCustomer::toDeleteRespondentDetails()
{
    try {
        toTestConnection();
        const QString key = grdRespondentDtls->textMatrix(grdRespondentDtls->row(), 4);
        if (!key.isEmpty())
            Db::exec(QStringLiteral("delete from respondent where respondentid=?"), {key.toLongLong()});
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
        return;
    }
    dropGridRow(grdRespondentDtls, grdRespondentDtls->row());
    SetEditTextBox(grdCustomerDtls->col(), grdCustomerDtls->row());
    m_respondents->hide();
}

void frmCustomer::cmdHelp_Click()
{
    HelpTopics::showTopic(this, HelpTopics::frmCustomer);
}

void frmCustomer::cmdClose_Click()
{
    WindowRegistry::unloadWindow(this);
}
