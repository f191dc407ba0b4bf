#pragma once

#include <QString>

class QWidget;

// File and folder choosers behind one seam: a test primes the next answer instead of
// a modal dialog appearing.
class FileChooser
{
public:
    // An empty result means the user cancelled.
    static QString openFileName(QWidget *parent, const QString &caption, const QString &dir,
                                const QString &filter);
    // As openFileName, for a file to write; `selectedFilter` receives the filter entry chosen.
    static QString saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                const QString &filter, QString *selectedFilter);

    // A folder (the folder dialog `TDlgSelectPath`); the start folder `dir` when the user
    // cancels.
    static QString folder(QWidget *parent, const QString &caption, const QString &dir);
    // The next call returns `answer` (empty: cancelled) without showing a dialog; a save
    // chooser reports `selectedFilter` as the entry chosen.
    static void setNextAnswer(const QString &answer, const QString &selectedFilter = {});
};
