#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

// The desktop behind one seam: opening documents and web or mail addresses with their default
// programs, and starting the desktop's own tools. Tests replace it with a recorder.
class ShellService
{
public:
    virtual ~ShellService() = default;
    // False when no program opens `url`.
    virtual bool openUrl(const QUrl &url) = 0;
    // Starts the first of the programs found on PATH; false when none is installed.
    virtual bool startProgram(const QStringList &candidates) = 0;
};

namespace Shell {
// False when nothing opens `url`.
bool openUrl(const QUrl &url);
// Opens `url`, or says in a box that no program opens it, naming the file and where it is.
bool openOrTell(const QUrl &url);
bool startProgram(const QStringList &candidates);
// The service stays owned by the caller; nullptr restores the desktop.
void setService(ShellService *service);
// Whether the desktop names a program for `url` (a file by its type, else by its scheme) and
// that program's entry exists.
bool hasDefaultProgram(const QUrl &url);
ShellService *service();
} // namespace Shell
