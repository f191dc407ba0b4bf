#include "maintenance/MaintenanceCommands.h"

#include "core/DataDm.h"
#include "core/Prompt.h"
#include "widgets/CommandRegistry.h"
#include "widgets/MainHost.h"
#include "widgets/uDlgConnectDb.h"

#include <QApplication>

namespace {

void compactDatabase()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = dmData->CompactDataFile();
    QApplication::restoreOverrideCursor();
    if (ok)
        ShowPrompt(QStringLiteral("压缩数据库成功！"), Prompt::Information);
    else
        ShowPrompt(QStringLiteral("压缩数据库失败！"), Prompt::Error);
}

void connectNetworkDatabase(QWidget *parent)
{
    TDlgConnectDb dialog(dmData->config().ds(), QString(), parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    dmData->config().setDs(dialog.ds());
    ShowPrompt(QStringLiteral("新的数据库连接已保存，下次启动程序时生效。"), Prompt::Information);
}

} // namespace

void installMaintenanceCommands(CommandRegistry &commands, MainHost &host)
{
    // The commands live as long as the window behind `host`.
    MainHost *const h = &host;
    // The blank-row cleanups come with the import.
    commands.addNamed(QStringLiteral("actClearGoodsBlank"), QStringLiteral("清除样品空行"), "");
    commands.addNamed(QStringLiteral("actClearClientBlank"), QStringLiteral("清除客户空行"), "");
    commands.addNamed(QStringLiteral("actClearSupplerBlank"), QStringLiteral("清除供应商空行"), "");
    commands.handle(506, compactDatabase);
    commands.handle(507, [h] { connectNetworkDatabase(h->hostWindow()); });
}
