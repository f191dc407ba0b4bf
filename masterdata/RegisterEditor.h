#pragma once

#include "widgets/RecordEditor.h"

#include <QHash>

class MemoBox;
class QCheckBox;
class QLineEdit;
struct RegisterDescription;
struct RegisterField;

// The editor of one register entry, built from the register's description: `TfrmCltEdit`,
// `TfrmSupEdit` and `TfrmGoodEdit` are this class. It works on the register list's current
// entry and reopens that list on what it saved.
class RegisterEditor : public RecordEditor
{
    Q_OBJECT

public:
    enum Mode { New = 0, Change = 1 };

    RegisterEditor(const RegisterDescription &description, RecordList &entries,
                   QWidget *parent = nullptr);

    void OpenEditor(int mode);
    bool isChangeMode() const { return isChanging(); }
    QVariantMap values() const override;

    void sendMail();
    void openWebSite();

protected:
    void clearRecord() override;
    void loadRecord() override;
    Stored store(qint64 id, const QVariantMap &values, const QVariantMap &asRead, qint64 *saved,
                 StaleRecord *stale, QString *error) override;
    QString columnCaption(const QString &column) const override;
    QWidget *firstField(RecordEditor::Mode mode) const override;
    void showMode(RecordEditor::Mode mode) override;

private:
    // `rowCaption` names the row the box stands in.
    QWidget *createField(const RegisterField &field, const QString &rowCaption);
    QLineEdit *box(const QString &column) const { return m_texts.value(column); }

    const RegisterDescription &m_description;
    QHash<QString, QLineEdit *> m_texts; // column → box (combo boxes by their line edit)
    MemoBox *m_memo = nullptr;
    QCheckBox *m_useFlag = nullptr;
};
