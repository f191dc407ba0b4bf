#pragma once

#include "core/Prompt.h"

#include <QString>
#include <QStringList>
#include <vector>

// What every benchmark measures with.
namespace BenchTools {

double median(std::vector<double> values);
// Milliseconds the sqlite3 tool reports for `statement` on `file` (best of three runs).
double sqliteToolMs(const QString &file, const QString &statement);
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
