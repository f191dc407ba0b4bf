// Backup and restore of a SQLite register against the file copy and the sqlite3 tool's own
// backup and restore, in the same run; with a server, of the same data on the server against
// pg_dump -Fc and pg_restore.
//   quorin_backup_bench HOME [SERVER PGBIN]
//   HOME holds data/RevaZez.db, filled with quorin --demo-data N; SERVER is the URL of an empty
//   database on a PostgreSQL server, PGBIN the folder of that server's pg_dump and pg_restore.

#include "core/DataSource.h"
#include "core/OwnConnection.h"
#include "core/Schema.h"
#include "maintenance/Backup.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

// A job's end as the runs below take it: the reason of a failure kept in `error`.
bool done(const WorkResult &result, QString *error)
{
    if (!result.isDone())
        *error = result.isCancelled() ? QStringLiteral("cancelled") : result.reason();
    return result.isDone();
}

// The best of three runs, in milliseconds; negative when a run failed.
double best(const std::function<bool()> &run)
{
    double fastest = -1;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (!run())
            return -1;
        const double ms = timer.nsecsElapsed() / 1e6;
        fastest = fastest < 0 ? ms : std::min(fastest, ms);
    }
    return fastest;
}

bool tool(const QString &program, const QStringList &arguments)
{
    return QProcess::execute(program, arguments) == 0;
}

// The schema on an empty server database, as the program makes it on first connection.
bool prepareServer(const DataSource &server, QString *error)
{
    OwnConnection connection(server, QStringLiteral("bench-schema"));
    *error = connection.error();
    return connection.isOpen() &&
           Schema::ensure(connection.db(), SqlDialect(Engine::PostgreSQL), error);
}

void row(const char *what, double ours, double reference, const char *against)
{
    std::printf("%-10s %10.0f %10.0f %-22s %6.2f\n", what, ours, reference, against,
                ours / reference);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2 && argc != 4) {
        std::fprintf(stderr, "usage: quorin_backup_bench HOME [SERVER PGBIN]\n");
        return 2;
    }
    const QDir home(QString::fromLocal8Bit(argv[1]));
    const QString original = home.filePath(QStringLiteral("data/RevaZez.db"));
    QDir work(home.filePath(QStringLiteral("backup-bench")));
    work.removeRecursively();
    QDir().mkpath(work.filePath(QStringLiteral("data")));
    const QString database = work.filePath(QStringLiteral("data/RevaZez.db"));
    const QString copy = work.filePath(QStringLiteral("copy.db"));
    const QString toolBackup = work.filePath(QStringLiteral("tool.back"));
    const QString ours = work.filePath(QStringLiteral("dp.back"));
    if (!QFile::copy(original, database)) {
        std::fprintf(stderr, "no database at %s\n", qPrintable(original));
        return 1;
    }
    const DataSource source = DataSource::fromDs(QString(), work.path());
    QString error;

    const double cp = best([&] { return tool(QStringLiteral("cp"), {database, copy}); });
    const double toolBackupMs = best([&] {
        return tool(QStringLiteral("sqlite3"), {database, QStringLiteral(".backup ") + toolBackup});
    });
    const double backupMs = best([&] { return done(Backup::write(source, ours), &error); });
    const double toolRestoreMs = best([&] {
        return tool(QStringLiteral("sqlite3"),
                    {database, QStringLiteral(".restore ") + toolBackup});
    });
    const double checkMs = best([&] { return done(Backup::check(ours, {}, work.path()), &error); });
    const double restoreMs = best([&] { return done(Backup::restore(ours, source), &error); });
    if (backupMs < 0 || restoreMs < 0 || checkMs < 0) {
        std::fprintf(stderr, "failed: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("%s: %.0f MB\n", qPrintable(original), QFile(original).size() / 1e6);
    std::printf("%-10s %10s %10s %-22s %6s\n", "", "quorin ms", "ref ms", "reference", "ratio");
    row("backup", backupMs, toolBackupMs, "sqlite3 .backup");
    row("backup", backupMs, cp, "cp");
    std::printf("%-10s %10.0f   (checking a backup before a restore)\n", "check", checkMs);
    row("restore", restoreMs, toolRestoreMs, "sqlite3 .restore");
    if (argc == 4) {
        const QString url = QString::fromLocal8Bit(argv[2]);
        const QDir pgbin(QString::fromLocal8Bit(argv[3]));
        const DataSource server = DataSource::fromDs(url, work.path());
        const QString ourServerBackup = work.filePath(QStringLiteral("server.back"));
        const QString dump = work.filePath(QStringLiteral("server.dump"));
        // The server is filled by our own restore, then taken back and refilled by each side.
        const double serverRestoreMs =
            prepareServer(server, &error)
                ? best([&] { return done(Backup::restore(ours, server, {}, work.path()), &error); })
                : -1;
        const double serverBackupMs =
            best([&] { return done(Backup::write(server, ourServerBackup), &error); });
        // pg_dump -Fc compresses by default, which is what a user gets; -Z0 writes as we do.
        const QString rawDump = work.filePath(QStringLiteral("server-z0.dump"));
        const double rawDumpMs = best([&] {
            return tool(
                pgbin.filePath(QStringLiteral("pg_dump")),
                {QStringLiteral("-Fc"), QStringLiteral("-Z0"), QStringLiteral("-f"), rawDump, url});
        });
        const double dumpMs = best([&] {
            return tool(pgbin.filePath(QStringLiteral("pg_dump")),
                        {QStringLiteral("-Fc"), QStringLiteral("-f"), dump, url});
        });
        const double pgRestoreMs = best([&] {
            return tool(pgbin.filePath(QStringLiteral("pg_restore")),
                        {QStringLiteral("--clean"), QStringLiteral("--if-exists"),
                         QStringLiteral("-d"), url, dump});
        });
        if (serverRestoreMs < 0 || serverBackupMs < 0 || dumpMs < 0 || rawDumpMs < 0 ||
            pgRestoreMs < 0) {
            std::fprintf(stderr, "server failed: %s\n", qPrintable(error));
            return 1;
        }
        std::printf("on the server (backup files: ours %.0f MB, pg_dump -Fc %.0f MB, "
                    "-Fc -Z0 %.0f MB):\n",
                    QFile(ourServerBackup).size() / 1e6, QFile(dump).size() / 1e6,
                    QFile(rawDump).size() / 1e6);
        row("backup", serverBackupMs, dumpMs, "pg_dump -Fc (default)");
        row("backup", serverBackupMs, rawDumpMs, "pg_dump -Fc -Z0");
        row("restore", serverRestoreMs, pgRestoreMs, "pg_restore --clean");
    }
    work.removeRecursively();
    return 0;
}
