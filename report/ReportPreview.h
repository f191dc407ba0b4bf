#pragma once

#include "report/PreparedReport.h"
#include "widgets/ProgressRun.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QScrollArea;
class PageView;

// The print preview of a prepared report: pages at a zoom (fit width, whole page, percentages),
// page moves, find, printing, saving and opening the prepared report, export to PDF, HTML, RTF,
// CSV and plain text, and help.
class ReportPreview : public QDialog
{
    Q_OBJECT

public:
    ReportPreview(Report::Prepared report, const QString &title, QWidget *parent = nullptr);

    const Report::Prepared &report() const { return m_report; }
    bool isComplete() const { return m_report.complete; }
    // While a report is being prepared: the pages finished so far (with the styles and charts
    // they use), then its end; printing, saving and exporting wait for it.
    void showPages(const Report::PageList &finished, const QList<Report::Style> &styles,
                   const QList<Report::Chart> &charts);
    void finish();
    int currentPage() const { return m_page; }
    void showPage(int index);
    // Shows the next page from the current one (the current one included) holding `text`;
    // false when none does (a box says so) or the user stopped the search.
    bool find(const QString &text);
    // Writes the report as the file chooser's answer says, by its extension; false when the
    // user cancelled or writing failed (a box says why).
    bool exportReport();
    // Keeps the prepared report in a file, or shows one kept before instead of this one; false
    // when the user cancelled or the file could not be written or read (a box says why).
    bool savePrepared();
    bool openPrepared();
    // Prints the pages the user chooses in the print dialog; false when cancelled or failed.
    bool print();
    // 帮助: the help file at its part on reports, through the desktop.
    void showHelp();
    double zoom() const;

signals:
    void completed();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void applyZoom();
    void updatePageLabel();
    void enableOutputs();
    WorkResult runOnReport(const QString &label,
                           const std::function<WorkResult(const Report::Prepared &report,
                                                          const WorkProgress &progress)> &work);

    Report::Prepared m_report;
    int m_page = 0;
    PageView *m_view;
    QScrollArea *m_scroll;
    QComboBox *m_zoom;
    QLabel *m_pageLabel;
    QLineEdit *m_find;
    QList<QAction *> m_outputs; // need the whole report
};
