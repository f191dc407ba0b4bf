#pragma once

#include "widgets/RecordEditor.h"

#include <QHash>

class QTabWidget;
class QToolButton;
class NumberBox;
class QComboBox;
struct SampleField;

// The sample editor: one record of the register typed in (new, copy) or changed (edit), its
// boxes built from the sample fields' description. It works on the sample list's current
// record and reopens that list on what it saved.
class TfrmRevaZezEdit : public RecordEditor
{
    Q_OBJECT

public:
    enum Mode { New = 0, Edit = 1, Copy = 2 };

    explicit TfrmRevaZezEdit(RecordList &samples, QWidget *parent = nullptr);

    // Prepares the window for `mode`: cleared, or loaded from the list's current record.
    void openMode(int mode);
    bool isEditMode() const { return isChanging(); }
    // The record an edit saves into; 0 while a new record is typed.
    qint64 targetRecord() const { return recordId(); }

    QVariantMap values() const override;

protected:
    void clearRecord() override;
    void loadRecord() override;
    bool validate() override;
    Stored store(qint64 id, const QVariantMap &values, const QVariantMap &asRead, qint64 *saved,
                 StaleRecord *stale, QString *error) override;
    QString columnCaption(const QString &column) const override;
    QWidget *firstField(RecordEditor::Mode mode) const override;
    void showMode(RecordEditor::Mode mode) override;

private:
    QWidget *createRecordFields();
    QTabWidget *createPriceTabs();
    // The box of a described column, made on first use.
    QWidget *field(const QString &column);
    QWidget *createBox(const SampleField &description);
    QString label(const QString &column) const;
    QToolButton *pickerButton(const char *name, const QString &hint);
    QToolButton *conversionButton(const char *name, NumberBox *price, QComboBox *currency);
    void pickType();
    void pickCatalogueEntry();
    void setTabOrder();
    void setText(const QString &column, const QString &text);
    QString text(const QString &column) const;

    QHash<QString, QWidget *> m_boxes; // column → box
    QTabWidget *PageControl1 = nullptr;
};

// Runs the editor modally in `mode` (0 new, 1 edit, 2 copy) over the sample list.
void runSampleEditor(RecordList &samples, QWidget *parent, int mode);
