#include "widgets/MessageBoxPrompt.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

int MessageBoxPrompt::show(const QString &text, int kind, int defaultAnswer)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(QStringLiteral("系统提示"));
    box.setText(text);
    switch (kind) {
    case Prompt::Question: {
        box.setIcon(QMessageBox::Question);
        QPushButton *yes = box.addButton(QStringLiteral("是(&Y)"), QMessageBox::YesRole);
        QPushButton *no = box.addButton(QStringLiteral("否(&N)"), QMessageBox::NoRole);
        box.setDefaultButton(defaultAnswer == Prompt::No ? no : yes);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? Prompt::Yes : Prompt::No;
    }
    case Prompt::QuestionCancel:
    case Prompt::Overwrite: {
        const bool overwrite = kind == Prompt::Overwrite;
        box.setIcon(overwrite ? QMessageBox::Warning : QMessageBox::Question);
        QPushButton *yes = box.addButton(
            overwrite ? QStringLiteral("覆盖") : QStringLiteral("是(&Y)"), QMessageBox::YesRole);
        QPushButton *no = box.addButton(
            overwrite ? QStringLiteral("重新读取") : QStringLiteral("否(&N)"), QMessageBox::NoRole);
        QPushButton *cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
        box.setDefaultButton(defaultAnswer == Prompt::No       ? no
                             : defaultAnswer == Prompt::Cancel ? cancel
                                                               : yes);
        box.setEscapeButton(cancel);
        box.exec();
        return box.clickedButton() == yes  ? Prompt::Yes
               : box.clickedButton() == no ? Prompt::No
                                           : Prompt::Cancel;
    }
    case Prompt::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case Prompt::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    default:
        box.setIcon(QMessageBox::Information);
        break;
    }
    box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    box.exec();
    return Prompt::Yes;
}
