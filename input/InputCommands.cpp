#include "input/InputCommands.h"

#include "core/DataDm.h"
#include "core/Prompt.h"
#include "input/ImportStore.h"
#include "input/uFrmExcelImport.h"
#include "widgets/CommandRegistry.h"
#include "widgets/MainHost.h"
#include "widgets/ProgressRun.h"

#include <QAction>

namespace {

struct ImportCommand
{
    int id;
    const char *table;
    const char *caption; // the register's name
};

const ImportCommand kImports[] = {
    {501, "T_goods", "样品资料"}, {502, "T_client", "客户资料"}, {503, "T_suppler", "供应商资料"}};

const ImportCommand *importInto(const QString &table)
{
    for (const ImportCommand &c : kImports) {
        if (table.compare(QLatin1String(c.table), Qt::CaseInsensitive) == 0)
            return &c;
    }
    return nullptr;
}

QString editedQuestion(const ImportStore::LastImport &last)
{
    constexpr int kShown = 10;
    QStringList lines = last.editedLines.mid(0, kShown);
    if (last.editedLines.size() > kShown)
        lines << QStringLiteral("……");
    return QStringLiteral("其中 %1 行在导入后已被修改：\n%2\n%3")
        .arg(last.editedKeys.size())
        .arg(lines.join(u'\n'),
             last.updated > 0
                 ? QStringLiteral("是否也撤销这些修改过的行（导入新增的删除，导入更新的"
                                  "恢复为导入前的内容）？")
                 : QStringLiteral("是否也删除这些修改过的行？"));
}

void undoLastImport(QWidget *parent)
{
    QString error;
    const std::optional<ImportStore::LastImport> last =
        ImportStore::lastImport(dmData->database(), &error);
    if (!last) {
        if (!error.isEmpty())
            dmData->showFailure(kMsgOpenFailed, error);
        else
            ShowPrompt(QStringLiteral("没有可以撤销的导入。"), Prompt::Information);
        return;
    }
    const ImportCommand *command = importInto(last->table);
    if (!command || !dmData->HasRight(QString::number(command->id))) {
        ShowPrompt(QStringLiteral("您没有导入%1的权限，不能撤销该次导入！")
                       .arg(command ? QString::fromUtf8(command->caption) : last->table),
                   Prompt::Information);
        return;
    }
    QString question =
        QStringLiteral("撤销上次导入（%1 导入%2，现存 %3 行）？\n导入的行将从资料表中删除。")
            .arg(last->stamp, QString::fromUtf8(command->caption))
            .arg(last->rows);
    if (last->updated > 0)
        question += QStringLiteral("\n导入更新的 %1 行将恢复为导入前的内容。").arg(last->updated);
    if (ShowPrompt(question, Prompt::Question, Prompt::No) != Prompt::Yes)
        return;
    const bool includingEdited =
        !last->editedKeys.isEmpty() &&
        ShowPrompt(editedQuestion(*last), Prompt::Question, Prompt::No) == Prompt::Yes;
    int removed = 0;
    int restored = 0;
    const DataSource source = dmData->source();
    // The undo runs to its end once begun, so there is no cancel to tell apart.
    const WorkResult undone =
        runWithProgress(parent, QStringLiteral("正在撤销导入..."), [&](const WorkProgress &) {
            return ImportStore::undo(source, last->batch, includingEdited, &removed, &restored);
        });
    if (!undone.isDone()) {
        qWarning("import not undone: %s", qPrintable(undone.reason()));
        ShowPrompt(QStringLiteral("撤销导入失败，请联系管理人员....."), Prompt::Error);
        return;
    }
    ShowPrompt(last->updated > 0 ? QStringLiteral("已撤销上次导入，删除了 %1 行，恢复了 %2 行。")
                                       .arg(removed)
                                       .arg(restored)
                                 : QStringLiteral("已撤销上次导入，删除了 %1 行。").arg(removed),
               Prompt::Information);
}

} // namespace

void installInputCommands(CommandRegistry &commands, MainHost &host)
{
    // The commands live as long as the window behind `host`.
    MainHost *const h = &host;
    for (const ImportCommand &c : kImports) {
        commands.handle(c.id, [h, table = QLatin1String(c.table)] {
            TfrmExcelImport window(table, h->hostWindow());
            window.exec();
        });
    }
    const QString undo = QStringLiteral("actUndoImport");
    QAction *undoAction = commands.addNamed(undo, QStringLiteral("撤销上次导入"), "edit-undo");
    commands.handle(undo, [h] { undoLastImport(h->hostWindow()); });
    // Shown to whoever may import anything.
    CommandRegistry *const registry = &commands;
    const auto follow = [registry, undoAction] {
        bool any = false;
        for (const ImportCommand &c : kImports)
            any = any || registry->action(c.id)->isVisible();
        undoAction->setVisible(any);
    };
    for (const ImportCommand &c : kImports)
        QObject::connect(commands.action(c.id), &QAction::visibleChanged, undoAction, follow);
}
