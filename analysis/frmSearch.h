#pragma once

#include <QWidget>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeWidget;

// "Search on Keywords": up to ten keywords looked up in the answers and the improvement actions; a hit opens in
// the feedback or the improvement-tracking window.
class frmSearch : public QWidget
{
    Q_OBJECT

public:
    explicit frmSearch(QWidget* parent = nullptr);
    ~frmSearch() override;

    QGroupBox* Frame1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* txtKeyword = nullptr;
    QPushButton* cmdOK = nullptr;
    QListWidget* lstFields = nullptr;
    QTreeWidget* lsvDtls = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* cmdClose = nullptr;
    QPushButton* cmdHelp = nullptr;

    void Form_Load();

    void toSplitKeywords();
    void toFillListView();
    void toOpenSearchHit(const QString& id, const QString& tablename);
    void toAddFiledsForSearch();

    void cmdOK_Click();
    void txtKeyword_Change();
    void lsvDtls_DblClick();
    void cmdClose_Click();
    void cmdHelp_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
