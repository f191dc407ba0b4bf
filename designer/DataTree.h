#pragma once

#include <QHash>
#include <QList>
#include <QStringList>
#include <QTreeWidget>

// The fields of one data set the report is given.
struct BoundDataSet
{
    QString dataSet;
    QStringList fields;
};

// The data sets bound to the report and their fields, with the captions the lists give them;
// a field dragged onto the page becomes a text bound to it.
class DataTree : public QTreeWidget
{
    Q_OBJECT

public:
    DataTree(const QList<BoundDataSet> &sets, const QHash<QString, QString> &captions,
             QWidget *parent = nullptr);

protected:
    QMimeData *mimeData(const QList<QTreeWidgetItem *> &items) const override;
};
