#pragma once

#include "widgets/TextWidths.h"

#include <QDialog>
#include <QHash>
#include <QVariantMap>

class MemoBox;
class QLineEdit;

// "公司信息": the user's company, its home page and e-mail address, and the backup folder
// (kept here hidden, set in the backup window).
class TFrmUserInfo : public QDialog
{
    Q_OBJECT

public:
    explicit TFrmUserInfo(QWidget *parent = nullptr);

    // 修改: the boxes as the database holds them, unsaved changes dropped.
    void loadInfo();
    // 重填: every box the user sees empty.
    void clearInfo();
    // 保存: false when nothing was saved (the reason has been shown).
    bool saveInfo();
    void openHomePage();
    void sendMail();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *addBox(const QString &column, const char *objectName, const QString &label);
    QVariantMap typedValues() const;

    QHash<QString, QLineEdit *> m_boxes; // column → box
    MemoBox *Mem;
    QLineEdit *edtHomepage;
    QLineEdit *edtEmail;
    QLineEdit *edtBakPath;
    TextWidths m_widths;
    QVariantMap m_loaded;
    bool m_shownOnce = false;
};

void showUserInfo(QWidget *owner);
