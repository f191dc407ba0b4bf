#pragma once

#include "output/StatisticsAnalysis.h"

#include <QDialog>
#include <QList>
#include <QThreadPool>

class QChart;
class QChartView;
class QLabel;
class QListWidget;
class QPieSeries;
class QPushButton;
class QTabWidget;
class QTableView;
class AnalysisRowsModel;

// 样品统计分析: the analyses of cfg_stat on the left; the chosen one as a pie and as a list.
// An analysis runs off the window's thread; a newer choice voids an older one still running.
class TfrmYanpinStatCX : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmYanpinStatCX(QWidget *parent = nullptr);
    ~TfrmYanpinStatCX() override;

    // Runs the analysis `name` as a click on it does.
    void showAnalysis(const QString &name);

    QListWidget *analyses() const { return ListBox1; }
    QChart *chart() const { return m_chart; }
    QPieSeries *series() const { return m_series; }
    QTableView *grid() const { return DBGridEh1; }
    QString statusPanel(int panel) const;

signals:
    // The analysis asked for last has been shown, or reported as failed.
    void analysisFinished();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void loadAnalyses();
    void present(const QString &name, const QString &sql, const WorkResult &result,
                 const QList<StatisticsAnalysis::Row> &rows);
    // 打印: the analysis shown, its chart and its list; nothing while its list is empty.
    void print();

    QListWidget *ListBox1;
    QTabWidget *m_pages;
    QChart *m_chart;
    QChartView *DBChart1;
    QPieSeries *m_series;
    QTableView *DBGridEh1;
    AnalysisRowsModel *m_rows;
    QPushButton *Button1;
    QList<QLabel *> m_panels;
    bool m_shownOnce = false;
    quint64 m_generation = 0;
    QString m_shownName; // the analysis on the list page, and its statement
    QString m_shownSql;
    QThreadPool m_pool; // its own, so the window's painting never waits behind an analysis
};

// Runs the analysis window modally over the window it belongs to.
void showStatisticsAnalysis(QWidget *owner);
