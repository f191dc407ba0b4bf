#include "register/HelpCommands.h"

#include "core/AppHome.h"
#include "core/AppTitle.h"
#include "core/Prompt.h"
#include "core/Shell.h"
#include "register/uFrmAbout.h"
#include "widgets/CommandRegistry.h"
#include "widgets/MainHost.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace {

void openHomeFile(const QString &name)
{
    const QString path = AppHome::path(name);
    if (!QFileInfo::exists(path)) {
        ShowPrompt(QStringLiteral("找不到文件“%1”。").arg(QDir::toNativeSeparators(path)),
                   Prompt::Warning);
        return;
    }
    if (!Shell::openUrl(QUrl::fromLocalFile(path)))
        ShowPrompt(QStringLiteral("没有能打开“%1”的程序，文件在：%2")
                       .arg(name, QDir::toNativeSeparators(path)),
                   Prompt::Information);
}

void startTool(const QStringList &programs, const QString &what)
{
    if (!Shell::startProgram(programs))
        ShowPrompt(QStringLiteral("本机没有安装%1程序（例如 %2）。").arg(what, programs.first()),
                   Prompt::Information);
}

} // namespace

void installHelpCommands(CommandRegistry &commands, MainHost &host)
{
    // The commands live as long as the window behind `host`.
    MainHost *const h = &host;
    commands.addNamed(QStringLiteral("actCalculator"), QStringLiteral("计算器"),
                      "accessories-calculator");
    commands.handle(QStringLiteral("actCalculator"), [] {
        startTool({QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"),
                   QStringLiteral("galculator"), QStringLiteral("qalculate-gtk"),
                   QStringLiteral("mate-calc"), QStringLiteral("xcalc")},
                  QStringLiteral("计算器"));
    });
    commands.addNamed(QStringLiteral("actNotepad"), QStringLiteral("笔记本"),
                      "accessories-text-editor");
    commands.handle(QStringLiteral("actNotepad"), [] {
        startTool({QStringLiteral("gnome-text-editor"), QStringLiteral("gedit"),
                   QStringLiteral("kwrite"), QStringLiteral("kate"), QStringLiteral("mousepad"),
                   QStringLiteral("pluma"), QStringLiteral("xed"), QStringLiteral("featherpad")},
                  QStringLiteral("文本编辑器"));
    });

    const struct
    {
        const char *name;
        const char *caption;
        const char *file;
    } files[] = {{"actHelpFile", "帮助文件", "help.html"},
                 {"actReadme", "自述文件", "readme.txt"},
                 {"actWhatsNew", "最新功能", "whatisnew.txt"}};
    for (const auto &f : files) {
        const QString name = QLatin1String(f.name);
        commands.addNamed(name, QString::fromUtf8(f.caption), "");
        commands.handle(name, [file = QLatin1String(f.file)] { openHomeFile(file); });
    }
    // Frequently asked questions has no action of its own.
    commands.addNamed(QStringLiteral("actFaq"), QStringLiteral("常见问题"), "");
    commands.addNamed(QStringLiteral("actAbout"), QStringLiteral("关于我们"), "");
    commands.handle(QStringLiteral("actAbout"), [h] { TFrmAbout(h->hostWindow()).exec(); });
    commands.addNamed(QStringLiteral("actWebSite"), QStringLiteral("浏览作者的网站"), "");
    commands.handle(QStringLiteral("actWebSite"),
                    [] { Shell::openOrTell(QUrl(AppTitle::webSite())); });
}
