#pragma once

#include <QDialog>
#include <QHash>
#include <QVariantMap>

class EditorBottomBar;
class MemoBox;
class QCheckBox;
class QLineEdit;
class RegisterWindow;
struct RegisterDescription;
struct RegisterField;

// The editor of one register entry, built from the register's description; it works on the
// list window's current row and reopens that list on what it saved.
class RegisterEditor : public QDialog
{
    Q_OBJECT

public:
    enum Mode { New = 0, Change = 1 };

    explicit RegisterEditor(RegisterWindow *list);

    void OpenEditor(int mode);
    bool isChangeMode() const { return m_change; }
    // Column → value as a save writes them.
    QVariantMap values() const;
    bool save();

    void sendMail();
    void openWebSite();

private:
    QWidget *createField(const RegisterField &field);
    void clearFields();
    void loadCurrentRow();
    QLineEdit *box(const QString &column) const { return m_texts.value(column); }

    RegisterWindow *m_list;
    const RegisterDescription &m_description;
    bool m_change = false;
    qint64 m_id = 0;
    QHash<QString, QLineEdit *> m_texts; // column → box (combo boxes by their line edit)
    MemoBox *m_memo = nullptr;
    QCheckBox *m_useFlag = nullptr;
    EditorBottomBar *m_bottom = nullptr;
};
