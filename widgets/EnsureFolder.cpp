#include "widgets/EnsureFolder.h"

#include "core/Prompt.h"

#include <QDir>
#include <QFileInfo>

bool EnsureFolder(const QString &folder, const QString &failure)
{
    if (QFileInfo(folder).isDir())
        return true;
    if (ShowPrompt(QStringLiteral("当前目录") + folder + QStringLiteral(" 不存在，是否创建！"),
                   Prompt::Question) != Prompt::Yes)
        return false;
    if (QDir().mkpath(folder))
        return true;
    ShowPrompt(QStringLiteral("目录") + folder + failure, Prompt::Error);
    return false;
}
