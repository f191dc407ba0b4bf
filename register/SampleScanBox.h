#pragma once

#include <QWidget>

class QLineEdit;
class SampleList;

// The main window's 扫码 box: a scanner types a sample's code (样品编号 or 条型码) and Enter.
// One sample of that code is made current in the list, the list first widened to the whole
// register when its filter hides the sample; several are listed on their own; none is only
// told, without a box, so the next scan can follow at once.
class SampleScanBox : public QWidget
{
    Q_OBJECT

public:
    explicit SampleScanBox(SampleList &samples, QWidget *parent = nullptr);

    QLineEdit *edit() const { return edtScan; }
    // Puts the focus in the box, its text selected, ready for a scan.
    void takeScan();
    // Finds the sample of `code` as a scan does.
    void scan(const QString &code);

signals:
    // What became of a scan, for the status bar.
    void told(const QString &text);
    // The list now shows something other than the search bar's filter: the whole register,
    // or the samples of one code.
    void listReplaced();

private:
    void located(int row);

    SampleList &m_samples;
    QLineEdit *edtScan;
    QString m_code;        // the scan being located
    qint64 m_pending = -1; // its sample's key, until the list finds it
    bool m_widened = false;
};
