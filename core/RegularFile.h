#pragma once

#include <QFile>
#include <QString>

// Opens `path` for reading into `file` when it is a regular file, as the opened descriptor
// says: a FIFO, a device or a folder is refused at once rather than waited on (the program's
// resources, ":/…", open as they are). False, with the reason in `why` when given, when it
// cannot.
bool openRegularFile(QFile &file, const QString &path, QString *why = nullptr);
