#pragma once

#include <QHash>
#include <QTabWidget>

class QLineEdit;
class QPlainTextEdit;
class SqlListModel;

// The read-only detail of the current sample below the main grid: sample information,
// pictures, purchase and sales quotations, remarks.
class SampleDetailTabs : public QTabWidget
{
    Q_OBJECT

public:
    explicit SampleDetailTabs(QWidget *parent = nullptr);

    // Shows `row` of the list; -1 empties every box.
    void showRecord(const SqlListModel *list, int row);
    // The page the picture list lives on.
    QWidget *picturePage() const { return m_picturePage; }
    QString text(const QString &field) const;

private:
    // A page of read-only boxes for the described `columns`, three to a row.
    QWidget *page(std::initializer_list<const char *> columns);

    struct Box
    {
        QLineEdit *box;
        QString format;
    };
    QHash<QString, Box> m_boxes; // field (lower case) → box
    QPlainTextEdit *m_memo;
    QWidget *m_picturePage;
};
