#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QRadioButton;
class QSpinBox;
class SampleList;

// 打印标签: which samples get labels (those selected in the list, or every sample of its
// filter), on which label template and, on a sheet of several, from which free label on; then
// the labels in the preview.
class TFrmPrintLabels : public QDialog
{
    Q_OBJECT

public:
    // `selectedIds`: the keys of the rows selected in the list, in its order.
    TFrmPrintLabels(SampleList &samples, QList<qint64> selectedIds, QWidget *parent = nullptr);

    // Shows the labels as chosen in the preview; false when there is nothing to print or the
    // template cannot be read (a box says why).
    bool printLabels();

private:
    void templateChosen();

    SampleList &m_samples;
    QList<qint64> m_selectedIds;
    QRadioButton *rbSelected;
    QRadioButton *rbAll;
    QComboBox *cbbTemplate;
    QSpinBox *spnFirstLabel;
    QLabel *m_sheet;
};

// The command: the dialog over the main list, then the preview.
void PrintSampleLabels(QWidget *parent, SampleList &samples, const QList<qint64> &selectedIds);
