#pragma once

#include <QPlainTextEdit>

// Multi-line remarks that hold no more characters than their column does, so a save is never
// refused for length.
class MemoBox : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit MemoBox(int maxLength, QWidget *parent = nullptr);

private:
    void cut();

    int m_maxLength;
};
