#pragma once

#include <QDialog>
#include <QHash>
#include <QVariantMap>

class DateBox;
class EditorBottomBar;
class MemoBox;
class NumberBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QTabWidget;
class QToolButton;
class TFrmMain;

// The sample editor: one record of the register typed in (new, copy) or changed (edit).
// It reads the record from the main window's list and reopens that list on what it saved.
class TfrmRevaZezEdit : public QDialog
{
    Q_OBJECT

public:
    enum Mode { New = 0, Edit = 1, Copy = 2 };

    explicit TfrmRevaZezEdit(TFrmMain *main);

    // Prepares the window for `mode`: cleared, or loaded from the main list's current record.
    void OpenMode(int mode);
    bool isEditMode() const { return m_edit; }
    // The record an edit saves into; 0 while a new record is typed.
    qint64 targetRecord() const { return m_target; }

    // Column → value, as a save would write them.
    QVariantMap values() const;
    bool save();

private:
    QWidget *createRecordFields();
    QTabWidget *createPriceTabs();
    QLineEdit *addText(const char *name, const char *column);
    QComboBox *addCode(const char *name, const char *column, const char *kind);
    NumberBox *addNumber(const char *name, const char *column);
    QToolButton *pickerButton(const char *name, const QString &hint);
    QToolButton *conversionButton(const char *name, NumberBox *price, QComboBox *currency);
    void setMode(bool edit);
    void clearFields();
    void loadCurrentRecord();
    void moveTo(int row);
    void pickType();
    void pickCatalogueEntry();
    void setTabOrder();

    TFrmMain *m_main;
    bool m_edit = false;
    qint64 m_target = 0;
    QHash<QString, QLineEdit *> m_texts;   // column → box
    QHash<QString, QComboBox *> m_combos;  // column → box
    QHash<QString, NumberBox *> m_numbers; // column → box
    DateBox *dtpCGdate = nullptr;
    DateBox *dtpXsDate = nullptr;
    QDateEdit *dtpeditdate = nullptr;
    MemoBox *Memo1 = nullptr;
    QTabWidget *PageControl1 = nullptr;
    EditorBottomBar *m_bottom = nullptr;
};

// Runs the editor modally in `mode` (0 new, 1 edit, 2 copy) over the main list.
void RunSampleEditor(TFrmMain *main, int mode);
