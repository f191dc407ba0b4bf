#pragma once

#include <QPlainTextEdit>

// Multi-line remarks that hold no more characters than they are given, so a save is never
// refused for length.
class MemoBox : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit MemoBox(QWidget *parent = nullptr);

    int maxLength() const { return m_maxLength; }
    // A text longer than `maxLength` is cut to it.
    void setMaxLength(int maxLength);

private:
    void cut();

    int m_maxLength;
};
