#pragma once

#include "report/Labels.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QRadioButton;
class QSpinBox;
class SqlListModel;

// 打印标签: which entries of a list get labels (those selected in its grid, or every entry of
// its filter), on which label template and, on a sheet of several, from which free label on;
// then the labels in the preview.
class TFrmPrintLabels : public QDialog
{
    Q_OBJECT

public:
    // `selectedIds`: the keys of the rows selected in the list, in its order.
    TFrmPrintLabels(const Labels::Kind &kind, const SqlListModel &list, QList<qint64> selectedIds,
                    QWidget *parent = nullptr);

    // Shows the labels as chosen in the preview; false when there is nothing to print or the
    // template cannot be read (a box says why).
    bool printLabels();

private:
    void templateChosen();

    const Labels::Kind &m_kind;
    const SqlListModel &m_list;
    QList<qint64> m_selectedIds;
    QRadioButton *rbSelected;
    QRadioButton *rbAll;
    QComboBox *cbbTemplate;
    QSpinBox *spnFirstLabel;
    QLabel *m_sheet;
};

// The command 打印标签 over `list`: the dialog, then the preview.
void PrintLabels(QWidget *parent, const Labels::Kind &kind, const SqlListModel &list,
                 const QList<qint64> &selectedIds);
