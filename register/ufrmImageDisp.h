#pragma once

#include "register/PictureReader.h"

#include <QByteArray>
#include <QDialog>
#include <QSize>

class PictureCanvas;
class QLabel;
class QMenuBar;
class QScrollArea;
class QStatusBar;
class QToolBar;

// The picture viewer: one picture file large, in fifteen zoom steps, full screen and
// scrolled by keys; another file can be loaded in its place and the picture exported as
// JPEG, GIF or bitmap. Leaving with 保存 hands the file shown back to the caller.
class TfrmImageDisp : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmImageDisp(QWidget *parent = nullptr);

    // Shows `path` modally; returns the file shown when the window was left with 保存,
    // otherwise `path`. An empty result means the picture was cleared and saved.
    static QString openForEdit(QWidget *parent, const QString &path);

    // Makes `path` the current file and shows it at original size.
    void setFile(const QString &path);
    QString currentFile() const { return m_file; }
    QSize pictureSize() const { return m_size; }
    // 1 to 15 into the zoom table; 9 is 100 %.
    int zoomIndex() const { return m_zoom; }
    bool isFullScreenMode() const { return m_fullScreen; }
    QString statusPanel(int panel) const;

    static constexpr int kOriginalZoom = 9;
    static constexpr int kZoomSteps = 15;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void createActions();
    void addKey(int key, void (TfrmImageDisp::*slot)());
    void loadFile();
    // Shows the current file; m_size is its size when it was read or too large.
    PictureReader::Picture::Outcome loadPicture();
    void showOriginal();
    void showAt(double factor);
    void zoomIn();
    void zoomOut();
    void enterFullScreen();
    void leaveFullScreen();
    void loadAnother();
    void exportPicture();
    void clearPicture();
    void refreshStatus();
    void updateActions();
    void scrollLeft();
    void scrollRight();
    void scrollUp();
    void scrollDown();
    void pageUp();
    void pageDown();

    QAction *ActMax = nullptr;
    QAction *ActMin = nullptr;
    QMenuBar *m_menu = nullptr;
    QToolBar *ToolBar1 = nullptr;
    QScrollArea *ScrollBox1 = nullptr;
    QWidget *Panel1 = nullptr;
    PictureCanvas *Image1 = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    QList<QLabel *> m_panels;
    QString m_file;
    QSize m_size;
    QByteArray m_gif; // a GIF as read, exported unchanged so an animation stays one
    int m_zoom = kOriginalZoom;
    bool m_fullScreen = false;
};
