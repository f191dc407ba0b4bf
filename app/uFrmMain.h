#pragma once

#include "core/SqlListModel.h"
#include "widgets/MainHost.h"

#include <QHash>
#include <QJsonObject>
#include <QMainWindow>

class CommandRegistry;
class DBGridEh;
class QLabel;
class QMenu;
class QTimer;
class QToolBar;
class PicturePage;
class SampleDetailTabs;
class SampleList;
class SampleNavigator;
class SampleScanBox;
class SampleSearchBar;
class SqlListModel;
class ViewBox;

// The application's main window: menus, tool bar and status bar around the sample list, its
// filters and the current sample's details. The commands come from the registry, where each
// subsystem installs its own; rights hide them.
class TFrmMain : public QMainWindow, public MainHost
{
    Q_OBJECT

public:
    explicit TFrmMain(QWidget *parent = nullptr);

    QAction *action(int id) const;
    // A command without a number (重新登录, the help files …).
    QAction *named(const char *name) const;

    // Shows exactly the commands the session's operator holds, and the top-level menus that
    // still have one of them.
    void SetLimits();

    void setStatusPanel(int panel, const QString &text);
    QString statusPanel(int panel) const;

    // Rebuilds the sample list from the date range, search field, type node and list value.
    void RunListQuery();
    // Refills the value list for a list type (0 brand … 6 salesperson) and lists "全部".
    void FillValueList(int listType);

    SqlListModel *listModel() const;
    DBGridEh *grid() const { return DBGridEh1; }
    ViewBox *views() const { return m_views; }

    // The search bar's and the navigator's criteria as one value, and back without listing;
    // what no longer exists is said in `notes`.
    QJsonObject saveCriteria() const;
    void restoreCriteria(const QJsonObject &saved, QStringList *notes);

    // MainHost
    QWidget *hostWindow() override { return this; }
    SampleList &samples() override { return *m_samples; }
    DBGridEh *sampleGrid() override { return DBGridEh1; }
    void codeListsChanged() override;
    void sampleTypesChanged() override;
    void rerunListQuery() override { RunListQuery(); }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void runList(SqlListModel::FirstPage firstPage);
    void createCommands();
    void createMenus();
    void createToolBar();
    void createStatusBar();
    QAction *addPlainAction(const QString &name, const QString &caption, const char *icon = "");
    void updateClock();
    void showDatabaseState();
    void applySession();
    void toggleAdvancedSearch(bool down);
    void showCurrentRecord(int row);
    void showRecordCount();

    CommandRegistry *m_commands = nullptr;
    SampleList *m_samples = nullptr;
    QHash<int, QMenu *> m_groupMenus; // top-level menu by command group
    QToolBar *m_toolBar = nullptr;
    QAction *m_printButton = nullptr;
    SampleSearchBar *m_search = nullptr;
    SampleScanBox *m_scan = nullptr;
    SampleNavigator *m_navigator = nullptr;
    DBGridEh *DBGridEh1 = nullptr;
    SampleDetailTabs *m_details = nullptr;
    PicturePage *m_pictures = nullptr;
    ViewBox *m_views = nullptr;
    QList<QLabel *> m_panels;
    QLabel *m_databaseState = nullptr;
    QTimer *m_clock = nullptr;
    bool m_shownOnce = false;
};
