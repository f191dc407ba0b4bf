#pragma once

#include <QList>
#include <QString>
#include <QVariantMap>

class QWidget;

// The column widths of an editor's text boxes. Typing stops at a box's width, but a longer
// text read from a record (another program may have written it) is shown whole, and the
// record keeps it unless the user changes it; a changed one is cut only after the user agreed.
class TextWidths
{
public:
    // `box` is a line edit (a combo box's too) or a MemoBox; `label` names it in messages.
    void add(const QString &column, QWidget *box, int width, const QString &label);

    // Before a record is put into the boxes, so that nothing it holds is cut.
    void lift();
    // After: each box holds up to its width, or to the longer text it was given.
    void settle();

    // Fits `values` (column → value, as a save writes them) to the widths. A long text equal
    // to its value in `loaded` (the record as it was read) is left out, so the record keeps it
    // whole; any other long text is cut when the user agrees. False when the user did not: the
    // focus is then in that box.
    bool fit(QVariantMap *values, const QVariantMap &loaded) const;

private:
    struct Box
    {
        QString column;
        QWidget *box;
        int width;
        QString label;
    };

    QList<Box> m_boxes;
};
