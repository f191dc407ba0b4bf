#pragma once

#include "register/SampleListQuery.h"

#include <QHash>
#include <QMainWindow>

class DBGridEh;
class DateBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabWidget;
class QTableWidget;
class QTimer;
class QToolBar;
class QToolButton;
class QTreeWidget;
class PicturePage;
class SampleDetailTabs;
class SqlListModel;

// The application's main window: menus, tool bar and status bar around the sample register.
// Every command is a numbered QAction shared by menus, tool bar and keys; rights hide them.
class TFrmMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit TFrmMain(QWidget *parent = nullptr);

    QAction *action(int id) const { return m_commands.value(id); }

    // Shows exactly the commands the current operator holds, and the top-level menus that
    // still have one of them.
    void SetLimits();

    void setStatusPanel(int panel, const QString &text);
    QString statusPanel(int panel) const;

    // Rebuilds the sample list from the date range, search field, type node and list value.
    void RunListQuery();
    // Refills the value list for a list type (0 brand … 6 salesperson) and lists "全部".
    void FillValueList(int listType);
    // Reads the list again with the filter and order it has (the advanced query's too) and
    // moves to record `id` once it is found.
    void ShowSavedRecord(qint64 id);
    // Reads the list again with the filter and order it has.
    void ReloadList();
    const SampleListStatements &statements() const { return m_statements; }
    SqlListModel *listModel() const { return QryMain; }
    DBGridEh *grid() const { return DBGridEh1; }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QWidget *createSearchBar();
    QWidget *createNavigator();
    void createCommands();
    void createMenus();
    void createToolBar();
    void createStatusBar();
    QAction *addPlainAction(const QString &name, const QString &caption, const char *icon = "");
    void updateClock();
    void changeOperator();
    void compactDatabase();
    void sortByDialog();
    void toggleAdvancedSearch(bool down);
    void openTypeTree(int mode);
    void loadTypeTree();
    void showCurrentRecord(int row);
    void showRecordCount();
    void runIfVisible(int id);
    void openHomeFile(const QString &name);
    void startTool(const QStringList &programs, const QString &what);
    void showAbout();
    void saveGridLayout();
    void chooseSearchField(int index);
    void connectNetworkDatabase();

    QHash<int, QAction *> m_commands;
    QHash<int, QMenu *> m_groupMenus; // top-level menu by command group
    QToolBar *m_toolBar = nullptr;
    QAction *m_printButton = nullptr;
    QWidget *m_navigator = nullptr;
    QComboBox *ComboBox1 = nullptr;
    QLineEdit *Edit1 = nullptr;
    QToolButton *m_btnPick = nullptr;
    DateBox *dtpFromDate = nullptr;
    DateBox *dtpToDate = nullptr;
    QPushButton *m_btnAdvanced = nullptr;
    QTableWidget *vleList = nullptr;
    QComboBox *cbbListType = nullptr;
    QTreeWidget *tvTree = nullptr;
    DBGridEh *DBGridEh1 = nullptr;
    SqlListModel *QryMain = nullptr;
    SampleDetailTabs *m_details = nullptr;
    PicturePage *m_pictures = nullptr;
    SampleListStatements m_statements;
    bool m_fillingValueList = false;
    QList<QLabel *> m_panels;
    QTimer *m_clock = nullptr;
    bool m_shownOnce = false;
};
