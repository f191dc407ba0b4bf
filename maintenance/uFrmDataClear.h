#pragma once

#include <QDialog>
#include <QList>

class QCheckBox;

// "数据清理": empties the ticked tables of the register in one step, after a question.
class TFrmDataClear : public QDialog
{
    Q_OBJECT

public:
    explicit TFrmDataClear(QWidget *parent = nullptr);

    // Whether a clearing succeeded while the window was open.
    bool clearedAnything() const { return m_cleared; }

private:
    void setAll(bool checked);
    void clearChosen();

    QList<QCheckBox *> m_boxes;
    bool m_cleared = false;
};
