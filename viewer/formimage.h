#pragma once
// The viewer: one photo of the catalogue at full resolution, zoom and scroll,
// steps through the main grid, the attribute panel bound to the photo's
// record, the correction dialogs and the pointer tools, the slide show and
// the overlay. It owns the working and the committed image through which
// every edit passes, and on leaving a changed photo writes it back.

#include "catalog/catalog.h"
#include "imaging/image_host.h"
#include "viewer/geometry.h"
#include "viewer/grid_navigator.h"

#include <QDialog>
#include <QWidget>
#include <QPointer>
#include <functional>

class QAction;
class QComboBox;
class QEventLoop;
class QLabel;
class QLineEdit;
class QScrollArea;
class QTimer;
class QToolBar;
class QToolButton;
class QWidget;

namespace mv {

class TFormImage;

// The display surface: paints and forwards the pointer to the viewer.
class PictureSurface : public QWidget {
    Q_OBJECT
public:
    explicit PictureSurface(TFormImage &viewer, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    TFormImage &viewer_;
};

// Builds a correction dialog for the viewer; the viewer shows it modally and
// destroys it. Registered by the program (the dialogs live in imaging/).
using DialogFactory = std::function<QDialog *(ImageHost &host, QWidget *parent)>;
struct CorrectionDialogs {
    DialogFactory brightness, levels, colors, sharpen, noise;
};
// The factories every viewer uses; empty entries leave their command inert.
CorrectionDialogs &correctionDialogs();

// While the viewer is borderless its dialogs are too: 170/255 opaque, white,
// 10 pixels less high than designed; otherwise they keep their dialog frame.
void styleDialog(QDialog *dialog, bool viewerBorderless);

class TFormImage : public QWidget, public ImageHost {
    Q_OBJECT
public:
    TFormImage(Catalog &catalog, GridNavigator &grid, QWidget *parent = nullptr);
    ~TFormImage() override;

    // Set by the opener before the viewer is shown.
    qint64 photoId = 0;
    int listPosition = 0; // handed over, unused: steps start from the grid's selection
    int mouseState = 0;

    // State the tools and the dialogs read (public like a form's fields).
    QString exifText, dateText;
    Bitmap working, committed;
    int pictureW = 0, pictureH = 0;
    int zoomLevel = 0;
    QRect paintRect;
    bool pendingCommitFlag = false;
    bool imageModifiedFlag = false;
    bool attributesModified = false;
    bool showWorkingFlag = true;
    viewer::Rect4 sel;
    QPoint reference;

    // Controls.
    QToolBar *ToolBar1, *ToolBar2;
    QScrollArea *ScrollBox1;
    PictureSurface *Image1;
    QWidget *StatusBar1;
    QLabel *panels[4];
    QTimer *Timer1;
    QAction *ActSlideShow, *ActShowPar, *ActRotAngle, *ActPrev, *ActNext, *ActLevels, *ActBrigthness, *ActSharpen,
        *ActColors, *ActKadr, *ActNoRedEyes, *ActRect, *ActNoNoise;
    QToolButton *ToolButton1, *tbPanel2, *ToolButton2, *ToolButton4, *ToolButton13, *ToolButton14, *ToolButton21,
        *ToolButton22;
    QComboBox *DBLookupComboBox1, *DBLookupComboBox2, *ComboBoxRank;
    QLineEdit *DBEdit1;

    // Shows the viewer as a modal window and returns when it has closed. The
    // loop is our own (not QDialog::exec) because the frame toggle re-creates
    // the native window, which would end a dialog's loop.
    void showModal();

    // Loading.
    void FormActivate();
    bool LoadPhotoRecord(qint64 id);
    void ArrangePicture();
    void SaveIfChanged();
    bool closeRequested() const { return closeRequested_; }

    // Commands.
    void ToolButton1Click();
    void zoomIn();
    void zoomOut();
    void ToolButton2Click();
    void ToolButton4Click();
    void tbPanel2Click();
    void Image1DblClick();
    void ActPrevExecute();
    void ActNextExecute();
    void ActBrigthnessExecute();
    void ActLevelsExecute();
    void ActColorsExecute();
    void ActSharpenExecute();
    void ActNoNoiseExecute();
    void ActShowParExecute();
    void ActKadrExecute();
    void ActNoRedEyesExecute();
    void ActRectExecute();
    void ActRotAngleExecute();
    void ActSlideShowExecute();
    void FormKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void FormMouseWheel(bool towardsUser, QPoint globalPos, Qt::KeyboardModifiers modifiers,
                        Qt::MouseButtons buttons);

    // Pointer tools on the surface (surface coordinates).
    void Image1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint p);
    void Image1MouseMove(QPoint p);
    void Image1MouseUp(Qt::MouseButton button, QPoint p);
    void Image1Paint(QPainter &painter, const QRect &area);

    // Feedback drawings (each repaints the picture first).
    void DrawCropFrame();
    void DrawRedEyeEllipse();
    void DrawTestRect() override;
    void DrawRotationLine();

    bool borderless() const { return borderless_; }
    bool panning() const;
    quint8 overlayFlags() const { return grid_.overlayFlags(); }
    void setOverlayFlags(quint8 f) { grid_.setOverlayFlags(f); }
    // The texts of the overlay items in the order they are drawn, with their
    // boxes on the surface; the font's pixel height. For painting and tests.
    struct OverlayItem {
        int flag;
        QString text;
        QRect box;
    };
    std::vector<OverlayItem> overlayLayout(int *fontPixels = nullptr) const;
    void setStatus(int panel, const QString &text); // sets and repaints at once

    // ImageHost.
    Bitmap &workingImage() override { return working; }
    Bitmap &committedImage() override { return committed; }
    int pictureWidth() const override { return pictureW; }
    int pictureHeight() const override { return pictureH; }
    bool pendingCommit() const override { return pendingCommitFlag; }
    void setPendingCommit(bool on) override { pendingCommitFlag = on; }
    void settlePendingCommit() override;
    bool imageModified() const override { return imageModifiedFlag; }
    void setImageModified(bool on) override { imageModifiedFlag = on; }
    bool showWorking() const override { return showWorkingFlag; }
    void setShowWorking(bool on) override { showWorkingFlag = on; }
    void RepaintPicture() override;
    void RevertWorking() override;
    Selection selection() const override { return {sel.x1, sel.y1, sel.x2, sel.y2}; }
    void setSelection(const Selection &s) override { sel = {s.x1, s.y1, s.x2, s.y2}; }
    QRect selectionInPicture() const override;
    int surfaceWidth() const override;
    int surfaceHeight() const override;
    float displayScale() const override;
    bool testRectActive() const override;
    void setStatusText(const QString &text) override { setStatus(0, text); }
    bool isBorderless() const override { return borderless_; }
    QWidget *hostWidget() override { return this; }

    static constexpr QRgb kBackground = qRgb(247, 239, 195);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // "Rotate 90" (clockwise) and "Rotate -90": both images take the turned picture.
    void rotateQuarter(bool clockwise);
    enum class Feedback { None, Crop, RedEye, TestRect, RotationLine };
    void buildActions();
    void buildToolBars();
    void buildStatusBar();
    void fillAttributePanel();
    void toolFeedback();
    void feedback(Feedback f);
    void launch(const DialogFactory &factory, bool styled, bool useResult);
    void panStep(QPoint p);
    void setBorderless(bool on);
    void finishLoad();
    void requestClose();
    void drawOverlay(QPainter &painter);

    Catalog &catalog_;
    GridNavigator &grid_;
    db::Connection photoBase_;
    db::Query QEPhoto{&photoBase_, db::CursorType::Dynamic};
    QVariant album_, theme_; // the attribute panel's pending choices
    bool borderless_ = true;
    bool activated_ = false;
    bool closeRequested_ = false;
    bool closing_ = false;
    Feedback feedback_ = Feedback::None;
    QSize arrangedFor_;
    QEventLoop *loop_ = nullptr;
};

} // namespace mv
