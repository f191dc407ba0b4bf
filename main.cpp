#include "core/AppHome.h"
#include "core/AppTitle.h"
#include "core/Startup.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <cstdio>

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    QCommandLineParser parser;
    parser.setApplicationDescription(AppTitle::full());
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Show this help."));
    const QCommandLineOption versionOption({QStringLiteral("v"), QStringLiteral("version")},
                                           QStringLiteral("Show the version."));
    const QCommandLineOption homeOption(
        QStringLiteral("home"),
        QStringLiteral("The program's folder (config.ini, data/, images/); "
                       "default $QUORIN_HOME, else the executable's folder."),
        QStringLiteral("DIR"));
    parser.addOptions({helpOption, versionOption, homeOption});
    // Parsed before the application object, so --help works without a display.
    if (!parser.parse(arguments)) {
        std::fprintf(stderr, "%s\n", qPrintable(parser.errorText()));
        return 2;
    }
    if (parser.isSet(helpOption)) {
        std::printf("%s", qPrintable(parser.helpText()));
        return 0;
    }
    if (parser.isSet(versionOption)) {
        std::printf("quorin %s\n", QUORIN_VERSION);
        return 0;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(AppTitle::full());
    QApplication::setApplicationVersion(QStringLiteral(QUORIN_VERSION));
    // Desktops without an icon theme of their own still get the tool-bar pictures.
    QIcon::setFallbackThemeName(QStringLiteral("breeze"));
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == u"hicolor")
        QIcon::setThemeName(QStringLiteral("breeze"));

    AppHome::set(AppHome::resolve(parser.value(homeOption), QApplication::applicationDirPath()));
    return runStartup();
}
