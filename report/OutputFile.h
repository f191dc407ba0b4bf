#pragma once

#include <QFile>
#include <QString>

// A file a report is written to: made new beside its target, owner-only, and renamed over the
// target only when complete. An old file stays until then; a link at the target is replaced,
// never written through.
namespace Report {

class OutputFile
{
public:
    explicit OutputFile(const QString &target);
    // Removes what was written unless it was committed.
    ~OutputFile();
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    // False, with the reason, when the target's folder takes no new file.
    bool open(QString *error);
    QIODevice *device() { return &m_part; }
    // Writes everything to disk and puts the file in the target's place; false, with the
    // reason, when it cannot (the old file then stays).
    bool commit(QString *error);

private:
    QString m_target;
    QFile m_part;
    bool m_committed = false;
};

} // namespace Report
