// Times the sample register's searches on a database of demonstration records, against the
// sqlite3 command-line tool running the same plain statement in the same run.
//
//   quorin_bench HOME   (HOME holds data/RevaZez.db, filled with quorin --demo-data N)

#include "BenchTools.h"
#include "core/AppHome.h"
#include "core/DataDm.h"
#include "core/Prompt.h"
#include "core/SqlListModel.h"
#include "register/SampleList.h"
#include "register/SampleRecord.h"
#include "register/uFrmMain.h"
#include "widgets/DBGridEh.h"
#include "widgets/DateBox.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTableView>
#include <algorithm>
#include <cstdio>

using namespace BenchTools;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: quorin_bench HOME\n");
        return 2;
    }
    QuietPrompt prompt;
    setPromptService(&prompt);
    AppHome::set(QString::fromLocal8Bit(argv[1]));

    QElapsedTimer startup;
    startup.start();
    TdmData dm(AppHome::path(QStringLiteral("config.ini")));
    if (!BenchTools::openHomeDatabase(dm))
        return 1;
    dmData = &dm;
    dm.setCurOperName(QStringLiteral("admin"));
    TFrmMain main;
    main.SetLimits();
    main.show();
    QApplication::processEvents();
    const double startupMs = startup.nsecsElapsed() / 1e6;
    const QString file = dm.source().sqliteFile;
    const int records = dm.GetIntValue(QStringLiteral("select count(*) from GoodMain"));

    // The whole register: no date limits.
    main.findChild<DateBox *>(QStringLiteral("dtpFromDate"))->setChecked(false);
    main.findChild<DateBox *>(QStringLiteral("dtpToDate"))->setChecked(false);
    auto *field = main.findChild<QComboBox *>(QStringLiteral("ComboBox1"));
    auto *value = main.findChild<QLineEdit *>(QStringLiteral("Edit1"));

    std::printf("\n%d records (%s)\n", records, qPrintable(file));
    std::printf("%-28s %8s %10s %9s %10s %8s\n", "search", "rows", "first ms", "count ms",
                "sqlite3 ms", "ratio");
    const struct
    {
        int field;
        const char *term;
        const char *column;
        const char *shape;
    } searches[] = {
        {1, "钢", "F_goodName", "%%%s%%"},     {1, "轴承", "F_goodName", "%%%s%%"},
        {1, "不存在", "F_goodName", "%%%s%%"}, {1, "深沟球轴承", "F_goodName", "%%%s%%"},
        {1, "无此", "F_goodName", "%%%s%%"},   {0, "YP00012", "F_goodCode", "%s%%"},
        {0, "YP", "F_goodCode", "%s%%"},       {0, "ZZ", "F_goodCode", "%s%%"},
    };
    for (const auto &s : searches) {
        field->setCurrentIndex(s.field);
        emit field->activated(s.field);
        std::vector<double> first;
        std::vector<double> counted;
        for (int i = 0; i < 3; ++i) {
            value->clear();
            QApplication::processEvents();
            QElapsedTimer keystroke;
            keystroke.start();
            value->setText(QString::fromUtf8(s.term));
            main.grid()->view()->repaint();
            first.push_back(keystroke.nsecsElapsed() / 1e6);
            while (!main.listModel()->isCountKnown())
                QApplication::processEvents(QEventLoop::WaitForMoreEvents);
            counted.push_back(keystroke.nsecsElapsed() / 1e6);
        }
        // The same plain statement the list runs, dates included, without any index's help.
        const QString pattern = QString::asprintf(s.shape, s.term);
        const double tool = sqliteToolMs(
            file, QStringLiteral("select count(*) from GoodMain where F_editDate >= '1900-08-14' "
                                 "and F_editDate <= '3000-08-14' and %1 like '%2'")
                      .arg(QLatin1String(s.column), pattern));
        const double count = median(counted);
        std::printf("%-28s %8d %10.1f %9.1f %10.1f %8.2f\n",
                    qPrintable(QStringLiteral("%1 %2").arg(QLatin1String(s.column), pattern)),
                    main.listModel()->rowCount(), median(first), count, tool,
                    tool > 0 ? count / tool : 0.0);
    }

    value->clear();
    field->setCurrentIndex(-1);
    QElapsedTimer all;
    all.start();
    main.RunListQuery();
    const double allFirst = all.nsecsElapsed() / 1e6;
    while (!main.listModel()->isCountKnown())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double allMs = all.nsecsElapsed() / 1e6;
    const double allTool = sqliteToolMs(
        file, QStringLiteral("select count(*) from GoodMain where F_editDate >= '1900-08-14' and "
                             "F_editDate <= '3000-08-14'"));
    // Scroll through the list end to end, as a user dragging the scroll bar would.
    QTableView *view = main.grid()->view();
    const int rows = main.listModel()->rowCount();
    for (int step = 0; step <= 20; ++step) {
        view->scrollTo(view->model()->index(rows * step / 20 - (step == 20 ? 1 : 0), 0));
        view->repaint();
    }
    std::printf("%-28s %8d %10.1f %9.1f %10.1f %8.2f\n", "whole register", rows, allFirst, allMs,
                allTool, allTool > 0 ? allMs / allTool : 0.0);

    // After a save the list is read again and moves to the new record, which an unsorted list
    // shows last: the worst case for finding it.
    QString saveError;
    QVariantMap values;
    for (const QString &column : SampleRecord::columns())
        values.insert(column, QString());
    values.insert(QStringLiteral("F_editDate"), QDate::currentDate());
    const std::optional<qint64> saved = SampleRecord::save(dm, 0, values, &saveError);
    if (saved) {
        QElapsedTimer found;
        found.start();
        int foundRow = -1;
        QObject::connect(main.listModel(), &SqlListModel::located,
                         [&foundRow](int row) { foundRow = row; });
        main.samples().showSaved(*saved);
        while (foundRow < 0)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const double foundMs = found.nsecsElapsed() / 1e6;
        std::printf("%-28s %8d %10s %9.1f %10.1f %8.2f\n", "saved record found again", foundRow, "",
                    foundMs, allTool, allTool > 0 ? foundMs / allTool : 0.0);
        SampleRecord::removeGroup(dm, *saved, *saved, &saveError);
    }
    std::printf("start-up to a usable main window: %.0f ms\n", startupMs);
    std::printf("resident memory with the whole register listed and scrolled: %.0f MB\n",
                residentKb() / 1024.0);
    return 0;
}
