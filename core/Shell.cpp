#include "core/Shell.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>

namespace {

class DesktopShell : public ShellService
{
public:
    bool openUrl(const QUrl &url) override { return QDesktopServices::openUrl(url); }

    bool startProgram(const QStringList &candidates) override
    {
        for (const QString &program : candidates) {
            const QString path = QStandardPaths::findExecutable(program);
            if (!path.isEmpty() && QProcess::startDetached(path, {}))
                return true;
        }
        return false;
    }
};

DesktopShell g_desktop;
ShellService *g_service = nullptr;

} // namespace

namespace Shell {

ShellService *service()
{
    return g_service ? g_service : &g_desktop;
}

void setService(ShellService *s)
{
    g_service = s;
}

bool openUrl(const QUrl &url)
{
    return service()->openUrl(url);
}

bool startProgram(const QStringList &candidates)
{
    return service()->startProgram(candidates);
}

} // namespace Shell
