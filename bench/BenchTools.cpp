#include "BenchTools.h"

#include "core/DataDm.h"
#include "core/OwnConnection.h"
#include "maintenance/Backup.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlQuery>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace BenchTools {

bool openHomeDatabase(TdmData &dm)
{
    QString error;
    if (dm.open(dm.config().ds(), &error))
        return true;
    std::fprintf(stderr, "cannot open: %s\n", qPrintable(error));
    return false;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

namespace {

// The best of three runs of a command-line tool given `input`, by the times it reports.
double bestReportedMs(const QString &program, const QStringList &arguments, const QString &input,
                      const QRegularExpression &reported, double toMs)
{
    std::vector<double> times;
    for (int i = 0; i < 3; ++i) {
        QProcess tool;
        tool.start(program, arguments);
        tool.write(input.toUtf8());
        tool.closeWriteChannel();
        tool.waitForFinished(-1);
        const QString out = QString::fromUtf8(tool.readAllStandardOutput());
        double total = 0;
        QRegularExpressionMatchIterator it = reported.globalMatch(out);
        while (it.hasNext())
            total += it.next().captured(1).toDouble() * toMs;
        if (total > 0)
            times.push_back(total);
    }
    return times.empty() ? -1 : *std::min_element(times.begin(), times.end());
}

} // namespace

double sqliteToolMs(const QString &file, const QString &statement)
{
    return bestReportedMs(QStringLiteral("sqlite3"), {file},
                          QStringLiteral(".timer on\n") + statement + QStringLiteral(";\n"),
                          QRegularExpression(QStringLiteral("Run Time: real ([0-9.]+)")), 1000);
}

double sqliteToolCpuMs(const QString &file, const QString &statement)
{
    return bestReportedMs(QStringLiteral("sqlite3"), {file},
                          QStringLiteral(".timer on\n") + statement + QStringLiteral(";\n"),
                          QRegularExpression(QStringLiteral("(?:user|sys) ([0-9.]+)")), 1000);
}

double processCpuMs()
{
    struct rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval &t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

double psqlMs(const QString &url, const QString &statement)
{
    return bestReportedMs(QStringLiteral("psql"),
                          {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-o"),
                           QStringLiteral("/dev/null"), url},
                          QStringLiteral("\\timing on\n") + statement + QStringLiteral(";\n"),
                          QRegularExpression(QStringLiteral("Time: ([0-9.]+) ms")), 1);
}

LongestPause::LongestPause()
{
    QObject::connect(&m_ticks, &QTimer::timeout, [this] {
        m_longest = std::max(m_longest, m_sinceTick.nsecsElapsed() / 1e6);
        m_sinceTick.restart();
    });
    m_ticks.start(5);
    m_sinceTick.start();
}

void waitFor(const std::function<bool()> &done)
{
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

QString loadAverage()
{
    QFile loads(QStringLiteral("/proc/loadavg"));
    if (!loads.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(loads.readAll()).section(u' ', 0, 2);
}

long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("VmRSS:\\s+(\\d+)"))
                                          .match(QString::fromLatin1(status.readAll()));
    return m.hasMatch() ? m.captured(1).toLong() : -1;
}

ProgramRun runProgram(const QStringList &arguments)
{
    std::vector<QByteArray> bytes;
    for (const QString &a : arguments)
        bytes.push_back(a.toUtf8());
    std::vector<char *> argv;
    for (QByteArray &b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    QElapsedTimer timer;
    timer.start();
    const pid_t child = fork();
    if (child == 0) {
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    struct rusage usage = {};
    if (child < 0 || wait4(child, &status, 0, &usage) < 0 || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return {};
    return {timer.nsecsElapsed() / 1e6, usage.ru_maxrss / 1024.0};
}

int QuietPrompt::show(const QString &text, int, int)
{
    std::fprintf(stderr, "prompt: %s\n", qPrintable(text));
    return Prompt::No;
}

int sqliteRecords(const QString &file)
{
    OwnConnection connection(DataSource::fromDs(QFileInfo(file).path(), {}),
                             QStringLiteral("bench-count"));
    QSqlQuery q(connection.db());
    if (connection.isOpen() && q.exec(QStringLiteral("select count(*) from GoodMain")) && q.next())
        return q.value(0).toInt();
    return -1;
}

bool loadServer(TdmData &dm, const QString &home, const QString &url, int records, QString *error)
{
    if (dm.GetIntValue(QStringLiteral("select count(*) from GoodMain")) == records)
        return true;
    std::printf("loading %d records onto the server ...\n", records);
    QElapsedTimer timer;
    timer.start();
    const QString backup = QDir(home).filePath(QStringLiteral("server-bench.back"));
    WorkResult moved =
        Backup::write(DataSource::fromDs(QDir(home).filePath(QStringLiteral("data")), {}), backup);
    if (moved.isDone())
        moved = Backup::restore(backup, DataSource::fromDs(url, {}), {}, home);
    *error = moved.reason();
    const bool ok = moved.isDone() && dm.ExecSql(QStringLiteral("vacuum analyze"));
    QFile::remove(backup);
    std::printf("loaded in %.0f s\n", timer.nsecsElapsed() / 1e9);
    return ok;
}

} // namespace BenchTools
