#pragma once

#include "report/ReportTemplate.h"

#include <QObject>
#include <QUndoStack>

// The template being designed, its file and the history of its changes: every change is a
// step on the undo stack that holds the template before and after it.
class DesignDocument : public QObject
{
    Q_OBJECT

public:
    DesignDocument(Report::Template report, QString path, QObject *parent = nullptr);

    const Report::Template &report() const { return m_report; }
    const QString &path() const { return m_path; }
    QUndoStack *undoStack() { return &m_undo; }
    bool isModified() const { return !m_undo.isClean(); }

    // One undoable step `text` that makes the template `after`; nothing when it is the same.
    // Steps of the same `mergeKey` (≥ 0) in a row become one.
    void change(const QString &text, const Report::Template &after, int mergeKey = -1);
    // Writes the template into its file; false with the reason, the changes kept.
    bool save(QString *error);

signals:
    void changed();

private:
    friend class TemplateChange;
    void setReport(const Report::Template &report);

    Report::Template m_report;
    QString m_path;
    QUndoStack m_undo;
};
