#include "designer/DesignDocument.h"

#include <QUndoCommand>

// A change of the template, kept whole before and after: templates are small, and undoing
// restores exactly what was there.
class TemplateChange : public QUndoCommand
{
public:
    TemplateChange(DesignDocument *document, const QString &text, Report::Template before,
                   Report::Template after, int mergeKey)
        : QUndoCommand(text), m_document(document), m_before(std::move(before)),
          m_after(std::move(after)), m_mergeKey(mergeKey)
    {
    }

    void undo() override { m_document->setReport(m_before); }
    void redo() override { m_document->setReport(m_after); }
    int id() const override { return m_mergeKey; }

    bool mergeWith(const QUndoCommand *other) override
    {
        m_after = static_cast<const TemplateChange *>(other)->m_after;
        return true;
    }

private:
    DesignDocument *m_document;
    Report::Template m_before;
    Report::Template m_after;
    int m_mergeKey;
};

DesignDocument::DesignDocument(Report::Template report, QString path, QObject *parent)
    : QObject(parent), m_report(std::move(report)), m_path(std::move(path))
{
}

void DesignDocument::change(const QString &text, const Report::Template &after, int mergeKey)
{
    if (after == m_report)
        return;
    m_undo.push(new TemplateChange(this, text, m_report, after, mergeKey));
}

bool DesignDocument::save(QString *error)
{
    if (!Report::save(m_path, m_report, error))
        return false;
    m_undo.setClean();
    return true;
}

void DesignDocument::setReport(const Report::Template &report)
{
    m_report = report;
    emit changed();
}
