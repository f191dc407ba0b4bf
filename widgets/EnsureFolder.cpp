#include "widgets/EnsureFolder.h"

#include "core/OwnerOnly.h"
#include "core/Prompt.h"

#include <QFileInfo>

bool EnsureFolder(const QString &folder, const QString &failure)
{
    if (QFileInfo(folder).isDir())
        return true;
    if (ShowPrompt(QStringLiteral("当前目录") + folder + QStringLiteral(" 不存在，是否创建！"),
                   Prompt::Question) != Prompt::Yes)
        return false;
    // Backups go there: a folder of the owner's alone.
    if (OwnerOnly::makeFolder(folder))
        return true;
    ShowPrompt(QStringLiteral("目录") + folder + failure, Prompt::Error);
    return false;
}
