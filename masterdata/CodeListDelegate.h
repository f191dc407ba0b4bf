#pragma once

#include <QPointer>
#include <QStyledItemDelegate>

// Cell editors of a code list: names limited to the column's width, numbers (rates) typed
// as plain decimals and kept as numbers, an empty number left without a value.
class CodeListDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    // `numericColumns` flags the columns that hold numbers.
    CodeListDelegate(const QList<bool> &numericColumns, QObject *parent = nullptr);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;
    void destroyEditor(QWidget *editor, const QModelIndex &index) const override;

    // Stores what the open editor holds and closes it; nothing when no editor is open.
    void finishEditing();

private:
    bool isNumeric(const QModelIndex &index) const;

    QList<bool> m_numeric;
    mutable QPointer<QWidget> m_editor;
};
