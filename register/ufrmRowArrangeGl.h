#pragma once

#include <QDialog>
#include <QList>
#include <QPair>
#include <QString>

class QPushButton;
class QTableWidget;

// "排序对话框": the operator gives columns of a list a direction and an order of priority;
// the answer is a sort text such as "f_goodcode ASC,f_spec DESC,".
class TfrmRowArrangeGl : public QDialog
{
    Q_OBJECT

public:
    // `columns`: (field name, title caption) of each grid column, in grid order.
    explicit TfrmRowArrangeGl(const QList<QPair<QString, QString>> &columns,
                              QWidget *parent = nullptr);

    // Shows the dialog modally; the sort text on 确定, empty otherwise.
    static QString ask(QWidget *parent, const QList<QPair<QString, QString>> &columns);

    // The rows from top to bottom with a direction, each "field ASC," or "field DESC,".
    QString sortText() const;

    // Empty → 升序 → 降序 → empty.
    void cycleRow(int row);
    void moveUp();
    void moveDown();

private:
    void swapRows(int row, int other);

    QTableWidget *m_rows;
    QPushButton *m_btnUp;
    QPushButton *m_btnDown;
    QPushButton *m_btnOK;
    QPushButton *m_btnCancel;
};
