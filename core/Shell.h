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
    virtual bool openUrl(const QUrl &url) = 0;
    // Starts the first of the programs found on PATH; false when none is installed.
    virtual bool startProgram(const QStringList &candidates) = 0;
};

namespace Shell {
bool openUrl(const QUrl &url);
bool startProgram(const QStringList &candidates);
// The service stays owned by the caller; nullptr restores the desktop.
void setService(ShellService *service);
ShellService *service();
} // namespace Shell
