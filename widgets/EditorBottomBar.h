#pragma once

#include <QWidget>

class QCheckBox;
class QPushButton;
class QStackedWidget;
class QToolButton;

// The bottom of a record editor: "连续新增" while adding, or the record navigator while
// changing (the two share one place), then "确定" and "取消".
class EditorBottomBar : public QWidget
{
    Q_OBJECT

public:
    enum Move { First, Prior, Next, Last };

    explicit EditorBottomBar(QWidget *parent = nullptr);

    void setChanging(bool changing);
    // First and prior are disabled at the first of `count` rows, next and last at the last.
    void setPosition(int current, int count);
    bool continuousAdd() const;
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }

    // The row a move leads to from `current` among `count` rows; -1 when there is none.
    static int rowAfter(Move move, int current, int count);

signals:
    void moveRequested(EditorBottomBar::Move move);

private:
    QStackedWidget *m_place;
    QCheckBox *m_continuous;
    QWidget *m_navigator;
    QList<QToolButton *> m_moves; // First … Last
    QPushButton *m_ok;
    QPushButton *m_cancel;
};
