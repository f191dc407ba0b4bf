#pragma once

#include "core/Prompt.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <vector>

class TdmData;

// What every benchmark measures with.
namespace BenchTools {

// Opens the database the home's config.ini names; false, told on standard error, when it
// cannot.
bool openHomeDatabase(TdmData &dm);

double median(std::vector<double> values);
// Milliseconds the sqlite3 tool reports for `statement` on `file` (best of three runs).
double sqliteToolMs(const QString &file, const QString &statement);
// Processor milliseconds (user and system) the sqlite3 tool reports for `statement` on `file`
// (best of three runs): on a loaded machine the wall time mostly measures the wait for a core.
double sqliteToolCpuMs(const QString &file, const QString &statement);
// Processor milliseconds (user and system) this process has used, all its threads.
double processCpuMs();
// Milliseconds psql reports for `statement` on the server `url` (best of three runs).
double psqlMs(const QString &url, const QString &statement);

// The longest pause of the event loop from its construction on: a timer asks to run every
// 5 ms and the longest gap between its runs is kept.
class LongestPause
{
public:
    LongestPause();
    double ms() const { return m_longest; }

private:
    QTimer m_ticks;
    QElapsedTimer m_sinceTick;
    double m_longest = 0;
};

// The number of sample records of a SQLite file; -1 when it cannot be read.
int sqliteRecords(const QString &file);
// The server database `url` holds the `records` of HOME's file, loaded the way a user would
// move them (the program's backup and restore) when it holds another number.
bool loadServer(TdmData &dm, const QString &home, const QString &url, int records, QString *error);

// Runs the event loop until `done` holds.
void waitFor(const std::function<bool()> &done);
// The machine's load averages over 1, 5 and 15 minutes, as uptime shows them.
QString loadAverage();

// This process's resident memory now.
long residentKb();

struct ProgramRun
{
    double ms = -1; // -1: the program failed
    double peakMb = -1;
};
// Runs a program (its path first) to its end: wall time and its peak resident memory.
ProgramRun runProgram(const QStringList &arguments);

// Boxes a benchmark would stop at are written to standard error and answered No.
class QuietPrompt : public PromptService
{
public:
    int show(const QString &text, int kind, int defaultAnswer) override;
};

} // namespace BenchTools
