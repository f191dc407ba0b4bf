#pragma once

#include "output/MainReports.h"

#include <QDialog>

class QListWidget;
class QPushButton;
class SampleList;

// 报表管理器: the main list's five reports, designed and previewed from here.
class TFrmReportGl : public QDialog
{
    Q_OBJECT

public:
    TFrmReportGl(SampleList &samples, QWidget *parent = nullptr);

    QListWidget *reports() const { return ListBox1; }
    // 预览 of the selected report; nothing without a selection or with an empty list.
    void preview();
    // 设计 of the selected report, bound to the list's statements even while it is empty;
    // nothing without a selection.
    void design();

private:
    int selectedRow() const; // -1 when none
    SampleList &m_samples;
    QListWidget *ListBox1;
};

// The main list's report `kind` over what the list shows; nothing while it is empty.
void showMainReport(QWidget *parent, SampleList &samples, MainReports::Kind kind);
