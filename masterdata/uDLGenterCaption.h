#pragma once

#include <QDialog>

class QLineEdit;

// Asks for the name of a type-tree node.
class TDLGenterCaption : public QDialog
{
    Q_OBJECT

public:
    explicit TDLGenterCaption(QWidget *parent = nullptr);

    // Shows the dialog modally under `title`: the edit box's text on OK (untrimmed), else empty.
    QString AskNodeName(const QString &title);
    // Presets the edit box.
    void setNodeName(const QString &name);

    void accept() override;

private:
    QLineEdit *m_edtCaption;
};
