#pragma once

#include "widgets/TextWidths.h"

#include <QDialog>
#include <QVariantMap>

class CodeCombo;
class MemoBox;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class RecordList;

// "操作员": adds operators one after another, or changes the current one of the operator list,
// with his password and the rights he holds. A change of the password is optional: both boxes
// left empty keep the stored one.
class TFrmLimitGl : public QDialog
{
    Q_OBJECT

public:
    enum Mode { Add = 0, Edit = 1 };

    TFrmLimitGl(RecordList &operators, QWidget *parent = nullptr);

    // Empty for Add; the list's current operator for Edit.
    void OpenEditor(Mode mode);
    Mode mode() const { return m_mode; }

    // 保存: false when nothing was saved (the reason has been shown).
    bool save();
    void tickAll(bool ticked);

private:
    void clearForm();
    void loadCurrent();
    QStringList tickedRights() const;

    RecordList &m_operators;
    Mode m_mode = Add;
    qint64 m_id = 0;
    QString m_loadedName;
    QVariantMap m_loaded;
    TextWidths m_widths;
    CodeCombo *cbbName;
    QLineEdit *edtPassWord;
    QLineEdit *edtRepPass;
    QLabel *m_passwordHint;
    MemoBox *Mem1;
    QListWidget *clbOperLimt;
    QCheckBox *CheckBox1;
    QCheckBox *cbXtFlag;
};
