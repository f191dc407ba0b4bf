#pragma once

#include "spreadsheet/WorkbookReader.h"

#include <QDialog>
#include <memory>

class ImportPreviewModel;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QStandardItemModel;
class QTableView;
class SheetTableModel;

// The import wizard: the workbook, its sheet, which sheet column feeds which register column,
// the corrected preview, and the store of every previewed row or none.
class TfrmExcelImport : public QDialog
{
    Q_OBJECT

public:
    // `table` is the register the rows go into: "T_goods", "T_client" or "T_suppler".
    explicit TfrmExcelImport(const QString &table, QWidget *parent = nullptr);
    ~TfrmExcelImport() override;

    int step() const { return m_step; }
    ImportPreviewModel *previewModel() const { return m_preview; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void createPages();
    void runStep();
    void showPage(int page);
    WorkResult openWorkbook(const QString &path);
    WorkResult readSheet(int index);
    void sheetChosen(int index);
    void loadMapping();
    void buildPreview();
    void storePreview();
    void openSample();
    void chooseSource();
    void showPreviewMenu(const QPoint &pos);
    void changeSelectedColumn();
    void deleteSelectedRows();
    void showDuplicates();
    QList<int> selectedPreviewRows() const;

    QString m_table;
    int m_step = 0;
    std::unique_ptr<WorkbookReader> m_workbook;

    QStackedWidget *m_pages;
    QLineEdit *edtSamplePath;
    QLineEdit *edtXlsFileName;
    QComboBox *ComboBox1;
    QComboBox *cbbEncoding;
    QLabel *lblEncoding;
    QLabel *lblSheetNotes;
    QTableView *DBGridEh1;
    QTableView *DBGrid2;
    QTableView *DBGridEh3;
    // What a row whose code the register holds does: skipped, or it updates that entry.
    QRadioButton *rbSkipExisting;
    QRadioButton *rbUpdateExisting;
    QLabel *lblDuplicates;
    QPushButton *Button3;
    QPushButton *Button4;
    QPushButton *Button5;
    QProgressBar *ProgressBar1;
    // The preview's pop-up: change the current column of the selected rows, delete them.
    QAction *N1;
    QAction *N2;
    SheetTableModel *m_sheet;
    QStandardItemModel *m_mapping;
    ImportPreviewModel *m_preview;
};
