#include "core/Shell.h"

#include "core/Prompt.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QObject>
#include <QProcess>
#include <QStandardPaths>

namespace {

class DesktopShell : public ShellService
{
public:
    // The desktop's opener reports success once it has started, before it finds that no
    // program takes the file: ask for the program first.
    bool openUrl(const QUrl &url) override
    {
        return Shell::hasDefaultProgram(url) && QDesktopServices::openUrl(url);
    }

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

// The desktop entry named by a desktop file id; "vendor-app.desktop" may live in vendor/.
bool desktopEntryExists(QString id)
{
    for (;;) {
        if (!QStandardPaths::locate(QStandardPaths::ApplicationsLocation, id).isEmpty())
            return true;
        const qsizetype dash = id.indexOf(u'-');
        if (dash < 0)
            return false;
        id[dash] = u'/';
    }
}

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

bool openOrTell(const QUrl &url)
{
    if (openUrl(url))
        return true;
    const QString text = url.isLocalFile() ? QObject::tr("没有能打开“%1”的程序。文件在：\n%2")
                                                 .arg(QFileInfo(url.toLocalFile()).fileName(),
                                                      QDir::toNativeSeparators(url.toLocalFile()))
                         : url.scheme() == u"mailto"
                             ? QObject::tr("没有能写电子邮件的程序。收件人：%1").arg(url.path())
                             : QObject::tr("没有能打开网址的程序。网址：\n%1").arg(url.toString());
    ShowPrompt(text, Prompt::Information);
    return false;
}

bool startProgram(const QStringList &candidates)
{
    return service()->startProgram(candidates);
}

bool hasDefaultProgram(const QUrl &url)
{
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    // Without the desktop's tools the opener fails by itself, and says so.
    if (xdgMime.isEmpty())
        return true;
    const QString type = url.isLocalFile()
                             ? QMimeDatabase().mimeTypeForFile(url.toLocalFile()).name()
                             : QStringLiteral("x-scheme-handler/") + url.scheme().toLower();
    QProcess query;
    query.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"), type});
    if (!query.waitForFinished(5000)) {
        query.kill();
        query.waitForFinished();
        return false;
    }
    const QString id = QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
    return query.exitStatus() == QProcess::NormalExit && query.exitCode() == 0 && !id.isEmpty() &&
           desktopEntryExists(id);
}

} // namespace Shell
