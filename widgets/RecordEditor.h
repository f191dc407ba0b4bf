#pragma once

#include "core/RecordWriter.h"
#include "widgets/TextWidths.h"

#include <QDialog>
#include <QVariantMap>

class EditorBottomBar;
class QBoxLayout;
class RecordList;

// A dialog that edits one record of a list: a new one typed into a cleared form, a copy of the
// list's current record, or a change of it. The flow is the same for every editor: OK
// validates and stores the form, the list is read again on the saved record and the window
// closes — or, adding with 连续新增 ticked, clears for the next record; while changing, the
// navigator moves the list and loads the record it reaches. Subclasses build the form and
// fill in the hooks.
class RecordEditor : public QDialog
{
    Q_OBJECT

public:
    enum class Mode { New, Change, Copy };
    enum class Stored { Saved, Refused, Stale, Failed };

    bool isChanging() const { return m_mode == Mode::Change; }
    // Whether the form differs from what was last loaded, cleared or saved.
    bool isModified() const { return m_modified; }
    // The record a change saves into; 0 while a new record is typed.
    qint64 recordId() const { return m_id; }
    RecordList &records() const { return m_records; }

    // Prepares the form for `mode` and puts the focus in its first field.
    void start(Mode mode);
    // OK: validates and stores the form; false when nothing was stored.
    bool save();

protected:
    RecordEditor(RecordList &records, QWidget *parent);

    // Puts the bottom bar into `layout` and installs the keys; call once the form is built.
    void finishForm(QBoxLayout *layout);
    // Gives the text `box` of `column` its width; see TextWidths.
    void limitText(const QString &column, QWidget *box, int width, const QString &label)
    {
        m_widths.add(column, box, width, label);
    }
    EditorBottomBar *bottomBar() const { return m_bottom; }

    // Empties the form for a new record.
    virtual void clearRecord() = 0;
    // Fills the form from the current record of records().
    virtual void loadRecord() = 0;
    // Column → value as the form stands, as a save writes them.
    virtual QVariantMap values() const = 0;
    // Says what is missing (information box, focus) and returns false; true when complete.
    virtual bool validate() { return true; }
    // Writes `values` as record `id` (0: a new record); a column left out keeps what the
    // record holds. Refused: the subclass has said why. A change is written only while the
    // stored record still equals `asRead`, else Stale, with `stale` saying how it differs.
    virtual Stored store(qint64 id, const QVariantMap &values, const QVariantMap &asRead,
                         qint64 *saved, StaleRecord *stale, QString *error) = 0;
    // The caption of `column` in messages.
    virtual QString columnCaption(const QString &column) const { return column; }
    // Where typing starts in `mode`.
    virtual QWidget *firstField(Mode mode) const = 0;
    // Title and read-only boxes follow the mode.
    virtual void showMode(Mode mode) = 0;

private:
    void setMode(Mode mode);
    void loadCurrent();
    void clear();
    void moveTo(int row);
    void showPosition();
    void watchChanges();
    // The record was changed elsewhere since it was read: asks whether to overwrite it, read
    // it again or go on editing; true when the save should be tried again.
    bool resolveStale(const StaleRecord &stale);
    void readAgain();

    RecordList &m_records;
    EditorBottomBar *m_bottom = nullptr;
    TextWidths m_widths;
    QVariantMap m_loaded; // the record being changed, as it was read
    QVariantMap m_asRead; // its stored columns as the list held them
    Mode m_mode = Mode::New;
    qint64 m_id = 0;
    bool m_modified = false;
    bool m_filling = false;
};
