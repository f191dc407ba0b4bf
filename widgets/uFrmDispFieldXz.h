#pragma once

#include <QDialog>

class QListWidget;

// "字段列表": ticks the columns a grid shows. result() holds "1" or "0" per column.
class TFrmDispFieldXZ : public QDialog
{
    Q_OBJECT

public:
    TFrmDispFieldXZ(const QStringList &captions, const QList<bool> &visible,
                    QWidget *parent = nullptr);

    QStringList result() const { return m_result; }
    void accept() override;

private:
    QListWidget *m_list;
    QStringList m_result;
};
