#pragma once

#include "core/Shell.h"

#include <QStringList>

// Stands in for the desktop while it lives: records what would be opened and answers as a
// desktop with (or, with `opens` false, without) a program for everything.
class ShellRecorder : public ShellService
{
public:
    explicit ShellRecorder(bool opens = true) : m_opens(opens) { Shell::setService(this); }
    ~ShellRecorder() override { Shell::setService(nullptr); }

    bool openUrl(const QUrl &url) override
    {
        opened << url.toString();
        return m_opens;
    }
    bool startProgram(const QStringList &) override { return m_opens; }

    QStringList opened;

private:
    bool m_opens;
};
