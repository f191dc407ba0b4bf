#include "app/ScriptCommands.h"
#include "app/Startup.h"
#include "core/AppHome.h"
#include "core/AppPaths.h"
#include "core/AppTitle.h"
#include "core/DataDm.h"
#include "core/DemoData.h"
#include "core/MessageLog.h"
#include "core/OwnerOnly.h"
#include "core/PassHash.h"
#include "core/SystemConfig.h"
#include "maintenance/Backup.h"
#include "maintenance/BackupPrune.h"
#include "output/ExportLists.h"
#include "output/ScriptReports.h"
#include "report/ReportOutputs.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>
#include <termios.h>
#include <unistd.h>

namespace {

// The home, the administrator's defaults and the log, as an installed program or one run from
// its build folder finds them; `who` names the work in the log until an operator logs in.
void setUpFolders(const QString &commandLineHome, const QString &who)
{
    const QString executableDir = QCoreApplication::applicationDirPath();
    const QString shared = AppPaths::sharedFolder(executableDir);
    AppHome::set(AppHome::resolve(commandLineHome, AppPaths::defaultHome(executableDir)));
    AppHome::setShared(shared);
    AppHome::setCache(AppPaths::cacheFolder(executableDir, AppHome::dir()));
    SystemConfig::setFiles(shared.isEmpty() ? QStringList() : AppPaths::systemConfigFiles());
    MessageLog::setOperator(who);
    MessageLog::install(AppPaths::logFolder(executableDir, AppHome::dir()));
}

// Prints the hash of the restore code read from standard input, for the system config.ini;
// typed at a terminal, the code is not shown.
int hashRestoreCode()
{
    termios terminal = {};
    const bool typed = ::isatty(STDIN_FILENO) && ::tcgetattr(STDIN_FILENO, &terminal) == 0;
    if (typed) {
        std::fprintf(stderr, "restore code: ");
        termios hidden = terminal;
        hidden.c_lflag &= ~tcflag_t(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSANOW, &hidden);
    }
    char line[256] = {};
    const bool read = std::fgets(line, sizeof line, stdin) != nullptr;
    if (typed) {
        ::tcsetattr(STDIN_FILENO, TCSANOW, &terminal);
        std::fprintf(stderr, "\n");
    }
    if (!read) {
        std::fprintf(stderr, "--hash-restore-code reads the new code from standard input\n");
        return 2;
    }
    const QString code = QString::fromLocal8Bit(line).remove(u'\n').remove(u'\r');
    if (code.isEmpty()) {
        std::fprintf(stderr, "the restore code may not be empty\n");
        return 2;
    }
    const QString hash = PassHash::hash(code);
    if (hash.isEmpty()) {
        std::fprintf(stderr, "the code could not be hashed\n");
        return 1;
    }
    std::printf("%s\n", qPrintable(hash));
    return 0;
}

int fillDemoData(const QString &countText)
{
    bool ok = false;
    const int count = countText.toInt(&ok);
    if (!ok || count < 0) {
        std::fprintf(stderr, "--demo-data needs a number of records\n");
        return 2;
    }
    TdmData dm(AppHome::path(QStringLiteral("config.ini")));
    if (!openForTool(dm))
        return 1;
    QString error;
    const bool filled = DemoData::fill(dm, count, &error, [](int done) {
        std::printf("%d\n", done);
        std::fflush(stdout);
    });
    if (!filled) {
        std::fprintf(stderr, "demonstration data not stored: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("%d demonstration records stored in %s\n", count,
                qPrintable(dm.source().describe()));
    return 0;
}

// Backs the database up into FOLDER (else the stored backup folder, else back/ in the home),
// replacing the day's file, then removes the daily files older than the days kept: what a
// nightly timer runs while workstations go on working.
int backupDatabase(const QString &folderArgument)
{
    TdmData dm(AppHome::path(QStringLiteral("config.ini")));
    if (!openForTool(dm))
        return 1;
    QString folder = folderArgument.trimmed();
    if (folder.isEmpty())
        folder = Backup::storedFolder(dm);
    if (!OwnerOnly::makeFolder(folder)) {
        std::fprintf(stderr, "cannot create the backup folder %s\n", qPrintable(folder));
        return 1;
    }
    const QString target = QDir(folder).filePath(Backup::fileName(QDate::currentDate()));
    if (const WorkResult written = Backup::write(dm.source(), target); !written.isDone()) {
        std::fprintf(stderr, "backup failed: %s\n", qPrintable(written.reason()));
        return 1;
    }
    BackupPrune::removeOld(folder, dm.config().backupKeepDays(), QDate::currentDate());
    return 0;
}

// Writes LIST to FILE as its window's 导出 does, replacing FILE: what a script runs.
int exportList(const QString &list, const QString &file)
{
    if (!file.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive)) {
        std::fprintf(stderr, "--export needs the workbook to write, a FILE.xlsx\n");
        return 2;
    }
    TdmData dm(AppHome::path(QStringLiteral("config.ini")));
    if (!openForTool(dm))
        return 1;
    QString error;
    const std::optional<ListExport::Job> job = ExportLists::job(dm, list, &error);
    if (!job) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 2;
    }
    const QString target = QFileInfo(file).absoluteFilePath();
    if (!OwnerOnly::makeFolder(QFileInfo(target).path())) {
        std::fprintf(stderr, "cannot create the folder %s\n", qPrintable(QFileInfo(target).path()));
        return 1;
    }
    ListExport::Summary summary;
    const WorkResult written = ListExport::write(*job, target, &summary);
    if (!written.isDone()) {
        std::fprintf(stderr, "export failed: %s\n", qPrintable(written.reason()));
        return 1;
    }
    if (summary.shortenedTexts > 0)
        std::fprintf(stderr, "%d texts longer than a cell holds (%lld characters) were cut\n",
                     summary.shortenedTexts, qlonglong(XlsxListWriter::kMaxText));
    return 0;
}

// Prepares TEMPLATE over its default data and writes FILE.pdf: what a scheduled print runs.
int writeReport(const QString &templateName, const QString &file)
{
    if (!file.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        std::fprintf(stderr, "--report needs the PDF to write, a FILE.pdf\n");
        return 2;
    }
    TdmData dm(AppHome::path(QStringLiteral("config.ini")));
    if (!openForTool(dm))
        return 1;
    AppHome::installShippedFiles();
    QString error;
    const std::optional<Report::Job> job = ScriptReports::job(dm, templateName, &error);
    if (!job) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 2;
    }
    Report::Job withCompany = *job;
    withCompany.variables.insert(QStringLiteral("CompanyName"),
                                 dm.GetStrValue(QStringLiteral("select F_Code from SysInfo")));
    Report::Prepared prepared;
    const QString target = QFileInfo(file).absoluteFilePath();
    WorkResult result = Report::prepareJob(withCompany, dm.source(), &prepared);
    if (result.isDone() && !QDir().mkpath(QFileInfo(target).path()))
        result = WorkResult::failed(
            QStringLiteral("cannot create the folder %1").arg(QFileInfo(target).path()));
    if (result.isDone())
        result = Report::writePdf(prepared, target);
    if (!result.isDone()) {
        std::fprintf(stderr, "report failed: %s\n", qPrintable(result.reason()));
        return 1;
    }
    // Written all the same: what could not be encoded is marked on the labels.
    if (!prepared.problems.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(Report::problemSummary(prepared.problems)));
    return 0;
}

} // namespace

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
        QStringLiteral("The program's folder (config.ini, data/, images/); default "
                       "$QUORIN_HOME, else ~/.local/share/quorin ($XDG_DATA_HOME/quorin) for an "
                       "installed program, else the executable's folder."),
        QStringLiteral("DIR"));
    const QCommandLineOption demoOption(
        QStringLiteral("demo-data"),
        QStringLiteral("Add N demonstration sample records to the database and exit."),
        QStringLiteral("N"));
    const QCommandLineOption backupOption(
        QStringLiteral("backup"),
        QStringLiteral(
            "Back the database up into the folder given after the options (default: "
            "the stored backup folder, else back/ in the program's folder) as "
            "dpYYYYMMDD.back, replacing the day's file, remove its daily files older than "
            "the days kept (set in the backup window, default 30) and exit."));
    const QCommandLineOption exportOption(
        QStringLiteral("export"),
        QStringLiteral("Write list LIST to the workbook FILE.xlsx given after the options, "
                       "replacing it, and exit. LIST is samples (the whole register in the main "
                       "list's columns), clients, suppliers or catalogue (as their windows list "
                       "them: disabled entries left out)."),
        QStringLiteral("LIST"));
    const QCommandLineOption reportOption(
        QStringLiteral("report"),
        QStringLiteral("Prepare report template TEMPLATE from Qr/ over its default data (the main "
                       "list's reports over the whole register, the list reports over their "
                       "whole table) and write it to the PDF of --pdf, or to FILE.pdf given "
                       "after the options, then exit."),
        QStringLiteral("TEMPLATE"));
    const QCommandLineOption pdfOption(
        QStringLiteral("pdf"), QStringLiteral("The PDF that --report writes, replacing it."),
        QStringLiteral("FILE"));
    const QCommandLineOption importOption(
        QStringLiteral("import"),
        QStringLiteral("Import the first sheet of the workbook FILE (.xls, .xlsx, .ods, .csv) "
                       "given after the options into LIST (clients, suppliers or catalogue) "
                       "with the import wizard's stored mapping, all rows or none, print "
                       "\"added=N updated=N skipped=N\" and exit. A row whose code the "
                       "register holds is skipped (see --duplicates); a row repeating an "
                       "earlier row's code is skipped. Exit 1 with the reason when the file is "
                       "refused, 2 for wrong arguments."),
        QStringLiteral("LIST"));
    const QCommandLineOption duplicatesOption(
        QStringLiteral("duplicates"),
        QStringLiteral("What --import does with a row whose code the register holds: skip "
                       "(the default) or update (the mapped columns of that entry are "
                       "overwritten; 撤销上次导入 restores them)."),
        QStringLiteral("skip|update"), QStringLiteral("skip"));
    const QCommandLineOption restoreOption(
        QStringLiteral("restore"),
        QStringLiteral("Restore the backup FILE over the database, as the restore window does "
                       "without its questions: the file is checked, the data as it is goes "
                       "aside first into the backup folder, then every table is replaced at "
                       "once. Needs --code; exit 1 with the reason on failure."),
        QStringLiteral("FILE"));
    const QCommandLineOption codeOption(QStringLiteral("code"),
                                        QStringLiteral("The restore code that --restore needs."),
                                        QStringLiteral("CODE"));
    const QCommandLineOption hashCodeOption(
        QStringLiteral("hash-restore-code"),
        QStringLiteral("Read a new restore code from standard input and print its hash for "
                       "restorehash= in /etc/xdg/quorin/config.ini, then exit."));
    parser.addOptions({helpOption, versionOption, homeOption, demoOption, backupOption,
                       exportOption, reportOption, pdfOption, importOption, duplicatesOption,
                       restoreOption, codeOption, hashCodeOption});
    parser.addPositionalArgument(
        QStringLiteral("FOLDER|FILE"),
        QStringLiteral("The folder of --backup, the workbook of --export and --import, the PDF "
                       "of --report."),
        QStringLiteral("[FOLDER|FILE]"));
    // Parsed before the application object, so --help works without a display.
    if (!parser.parse(arguments)) {
        std::fprintf(stderr, "%s\n", qPrintable(parser.errorText()));
        return 2;
    }
    if (parser.isSet(helpOption)) {
        // Without an application object the parser cannot name the program itself.
        std::printf("%s", qPrintable(parser.helpText().replace(QStringLiteral("<executable_name>"),
                                                               QStringLiteral("quorin"))));
        return 0;
    }
    if (parser.isSet(versionOption)) {
        std::printf("quorin %s\n", QUORIN_VERSION);
        return 0;
    }

    if (parser.isSet(hashCodeOption))
        return hashRestoreCode();

    if ((parser.isSet(duplicatesOption) && !parser.isSet(importOption)) ||
        (parser.isSet(codeOption) && !parser.isSet(restoreOption))) {
        std::fprintf(stderr, "--duplicates goes with --import, --code with --restore\n");
        return 2;
    }

    if (parser.isSet(importOption)) {
        QCoreApplication app(argc, argv);
        setUpFolders(parser.value(homeOption), QStringLiteral("--import"));
        return importWorkbook(parser.value(importOption), parser.positionalArguments().value(0),
                              parser.value(duplicatesOption));
    }

    if (parser.isSet(restoreOption)) {
        QCoreApplication app(argc, argv);
        setUpFolders(parser.value(homeOption), QStringLiteral("--restore"));
        return restoreBackup(parser.value(restoreOption), parser.value(codeOption));
    }

    if (parser.isSet(backupOption)) {
        QCoreApplication app(argc, argv);
        setUpFolders(parser.value(homeOption), QStringLiteral("--backup"));
        return backupDatabase(parser.positionalArguments().value(0));
    }

    if (parser.isSet(exportOption)) {
        QCoreApplication app(argc, argv);
        setUpFolders(parser.value(homeOption), QStringLiteral("--export"));
        return exportList(parser.value(exportOption), parser.positionalArguments().value(0));
    }

    if (parser.isSet(reportOption)) {
        // Fonts and PDF need a GUI application; a script has no display.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv);
        setUpFolders(parser.value(homeOption), QStringLiteral("--report"));
        return writeReport(parser.value(reportOption), parser.isSet(pdfOption)
                                                           ? parser.value(pdfOption)
                                                           : parser.positionalArguments().value(0));
    }

    if (parser.isSet(demoOption)) {
        QCoreApplication app(argc, argv);
        setUpFolders(parser.value(homeOption), QStringLiteral("--demo-data"));
        return fillDemoData(parser.value(demoOption));
    }

    QApplication app(argc, argv);
    // The window class and the desktop entry's name: the menu groups the windows under it.
    QApplication::setApplicationName(QStringLiteral("quorin"));
    QGuiApplication::setDesktopFileName(QStringLiteral("com.example.quorin"));
    QApplication::setApplicationVersion(QStringLiteral(QUORIN_VERSION));
    // Desktops without an icon theme of their own still get the tool-bar pictures.
    QIcon::setFallbackThemeName(QStringLiteral("breeze"));
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == u"hicolor")
        QIcon::setThemeName(QStringLiteral("breeze"));

    // The program speaks Chinese, so Qt's own dialogs (file choosers, calendars) do too.
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    setUpFolders(parser.value(homeOption), {});
    return runStartup();
}
