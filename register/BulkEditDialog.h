#pragma once

#include <QDialog>
#include <QList>

class QComboBox;
class QRadioButton;
class QVBoxLayout;
class SampleList;
struct SampleField;

// 批量修改: one column of the selected samples, or of every sample the list's filter selects,
// set to a value typed into the box the editor gives that column; stored as one change set.
class BulkEditDialog : public QDialog
{
    Q_OBJECT

public:
    BulkEditDialog(SampleList &samples, const QList<qint64> &selected, QWidget *parent = nullptr);

    // The change set stored, 0 until then.
    qint64 changeSet() const { return m_changeSet; }

private:
    void showBox();
    void store();
    const SampleField &chosenField() const;

    SampleList &m_samples;
    QList<qint64> m_selected;
    QComboBox *m_column;
    QVBoxLayout *m_boxPlace;
    QWidget *m_box = nullptr;
    QRadioButton *m_onlySelected;
    QRadioButton *m_wholeList;
    qint64 m_changeSet = 0;
};
