#include "viewer/formimage.h"

#include "imaging/dialog_style.h"

#include "imaging/primitives.h"
#include "imaging/redeye.h"
#include "import/thumbnail.h"
#include "platform/icons.h"
#include "platform/jpeg.h"
#include "platform/pictures.h"
#include "platform/ui.h"
#include "viewer/formparam.h"
#include "viewer/stretch.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace mv {

namespace {

const QString kLoading = QStringLiteral("Loading picture. Please wait");
const QString kWait = QStringLiteral("Wait please");
const QString kFirstAngle = QStringLiteral("Click to Select first angle picture");
const QString kPlaced = QStringLiteral("Ctrl-Click To Change Size, Shift-Click To Change Position");

bool idle(int state) { return state == -1 || state == 0; }

} // namespace

CorrectionDialogs &correctionDialogs()
{
    static CorrectionDialogs dialogs;
    return dialogs;
}

void styleDialog(QDialog *dialog, bool viewerBorderless) { imaging::StyleCorrectionDialog(dialog, viewerBorderless); }

// ---------------------------------------------------------------------------

PictureSurface::PictureSurface(TFormImage &viewer, QWidget *parent) : QWidget(parent), viewer_(viewer)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
}

void PictureSurface::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    viewer_.Image1Paint(painter, event->rect());
}

void PictureSurface::mousePressEvent(QMouseEvent *event)
{
    ui::guarded([&] { viewer_.Image1MouseDown(event->button(), event->modifiers(), event->position().toPoint()); });
}

void PictureSurface::mouseMoveEvent(QMouseEvent *event)
{
    ui::guarded([&] { viewer_.Image1MouseMove(event->position().toPoint()); });
}

void PictureSurface::mouseReleaseEvent(QMouseEvent *event)
{
    ui::guarded([&] { viewer_.Image1MouseUp(event->button(), event->position().toPoint()); });
}

void PictureSurface::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        ui::guarded([&] { viewer_.Image1DblClick(); });
    else
        mousePressEvent(event);
}

// ---------------------------------------------------------------------------

TFormImage::TFormImage(Catalog &catalog, GridNavigator &grid, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), catalog_(catalog), grid_(grid)
{
    setWindowTitle(QStringLiteral("Marvisto - Edit"));
    setWindowModality(Qt::ApplicationModal);
    setAttribute(Qt::WA_DeleteOnClose, false);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(kBackground));
    setPalette(pal);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);

    Timer1 = new QTimer(this);
    Timer1->setInterval(2500);
    connect(Timer1, &QTimer::timeout, this, ui::guard([this] { ActNextExecute(); }));

    buildActions();
    buildToolBars();

    auto *canvas = new QWidget;
    canvas->setAutoFillBackground(true);
    Image1 = new PictureSurface(*this, canvas);
    ScrollBox1 = new QScrollArea;
    ScrollBox1->setFrameShape(QFrame::NoFrame);
    ScrollBox1->setWidgetResizable(false);
    ScrollBox1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ScrollBox1->setWidget(canvas);
    ScrollBox1->setFocusPolicy(Qt::NoFocus);
    ScrollBox1->horizontalScrollBar()->setSingleStep(24);
    ScrollBox1->verticalScrollBar()->setSingleStep(24);
    ScrollBox1->horizontalScrollBar()->setTracking(true);
    ScrollBox1->verticalScrollBar()->setTracking(true);
    ScrollBox1->installEventFilter(this);

    buildStatusBar();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ToolBar1);
    layout->addWidget(ToolBar2);
    layout->addWidget(ScrollBox1, 1);
    layout->addWidget(StatusBar1);

    fillAttributePanel();

    // FormCreate.
    imageModifiedFlag = attributesModified = false;
    ToolBar1->setFixedHeight(36);
    ToolBar2->setFixedHeight(36);
    mouseState = 0;
    zoomLevel = 0;
    borderless_ = true;
    ToolBar1->hide();
    ToolBar2->hide();
    StatusBar1->hide();

    // The window sees every key before its controls.
    qApp->installEventFilter(this);
}

TFormImage::~TFormImage()
{
    qApp->removeEventFilter(this);
}

void TFormImage::buildActions()
{
    using icons::Command;
    auto make = [this](const QString &hint, Command picture, bool checkable = false) {
        auto *a = new QAction(icons::command(picture), hint, this);
        a->setToolTip(hint);
        a->setCheckable(checkable);
        addAction(a);
        return a;
    };
    ActSlideShow = make(QStringLiteral("Slide Show"), Command::SlideShow);
    ActShowPar = make(QStringLiteral("Show Parameter (P)"), Command::ShowParameter);
    ActRotAngle = make(QStringLiteral("Rotation on two points"), Command::RotateTwoPoints, true);
    ActPrev = make(QStringLiteral("Prev Photo "), Command::Previous);
    ActPrev->setShortcut(Qt::Key_F5);
    ActNext = make(QStringLiteral("Next Photo "), Command::Next);
    ActNext->setShortcut(Qt::Key_F6);
    ActLevels = make(QStringLiteral("Levels (L)"), Command::Levels);
    ActBrigthness = make(QStringLiteral("Brightness, Conrast (B)"), Command::Brightness);
    ActBrigthness->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
    ActSharpen = make(QStringLiteral("Sharpen (S)"), Command::Sharpen);
    ActColors = make(QStringLiteral("Cvetovy tone"), Command::Colours);
    ActKadr = make(QStringLiteral("Size Photo"), Command::Crop, true);
    ActNoRedEyes = make(QStringLiteral("Reduction of the effect red eye"), Command::RedEye, true);
    ActRect = make(QStringLiteral("Borders for testing parameter reduction of the noise"), Command::TestRectangle, true);
    ActNoNoise = make(QStringLiteral("Reduction level noise"), Command::Noise);
    for (QAction *a : actions())
        a->setShortcutContext(Qt::WindowShortcut);

    connect(ActSlideShow, &QAction::triggered, this, ui::guard([this] { ActSlideShowExecute(); }));
    connect(ActShowPar, &QAction::triggered, this, ui::guard([this] { ActShowParExecute(); }));
    connect(ActRotAngle, &QAction::triggered, this, ui::guard([this] { ActRotAngleExecute(); }));
    connect(ActPrev, &QAction::triggered, this, ui::guard([this] { ActPrevExecute(); }));
    connect(ActNext, &QAction::triggered, this, ui::guard([this] { ActNextExecute(); }));
    connect(ActLevels, &QAction::triggered, this, ui::guard([this] { ActLevelsExecute(); }));
    connect(ActBrigthness, &QAction::triggered, this, ui::guard([this] { ActBrigthnessExecute(); }));
    connect(ActSharpen, &QAction::triggered, this, ui::guard([this] { ActSharpenExecute(); }));
    connect(ActColors, &QAction::triggered, this, ui::guard([this] { ActColorsExecute(); }));
    connect(ActKadr, &QAction::triggered, this, ui::guard([this] { ActKadrExecute(); }));
    connect(ActNoRedEyes, &QAction::triggered, this, ui::guard([this] { ActNoRedEyesExecute(); }));
    connect(ActRect, &QAction::triggered, this, ui::guard([this] { ActRectExecute(); }));
    connect(ActNoNoise, &QAction::triggered, this, ui::guard([this] { ActNoNoiseExecute(); }));
}

void TFormImage::buildToolBars()
{
    using icons::Command;
    ToolBar1 = new QToolBar;
    ToolBar1->setAutoFillBackground(true);
    ToolBar1->setIconSize(QSize(24, 24));
    auto place = [this](QToolButton *b) {
        b->setToolButtonStyle(Qt::ToolButtonIconOnly);
        b->setIconSize(QSize(24, 24));
        b->setFixedSize(31, 30);
        ToolBar1->addWidget(b);
        return b;
    };
    auto button = [&place](QAction *a) {
        auto *b = new QToolButton;
        b->setDefaultAction(a);
        return place(b);
    };
    auto plain = [&place](const QString &hint, Command picture, bool checkable) {
        auto *b = new QToolButton;
        b->setIcon(icons::command(picture));
        b->setText(hint);
        b->setToolTip(hint);
        b->setCheckable(checkable);
        return place(b);
    };
    button(ActSlideShow);
    ToolButton1 = plain(QStringLiteral("Zoom (Enter)"), Command::Zoom, false);
    tbPanel2 = plain(QStringLiteral("Panel Attribute"), Command::AttributePanel, true);
    button(ActShowPar);
    ToolBar1->addSeparator();
    ToolButton2 = plain(QStringLiteral("Rotate 90"), Command::Rotate90, false);
    ToolButton4 = plain(QStringLiteral("Rotate -90"), Command::RotateMinus90, false);
    ToolButton22 = button(ActRotAngle);
    ToolBar1->addSeparator();
    button(ActPrev);
    button(ActNext);
    ToolBar1->addSeparator();
    button(ActLevels);
    button(ActBrigthness);
    button(ActSharpen);
    button(ActColors);
    ToolButton13 = button(ActKadr);
    ToolButton14 = button(ActNoRedEyes);
    ToolButton21 = button(ActRect);
    button(ActNoNoise);
    ToolBar1->addSeparator();
    connect(ToolButton1, &QToolButton::clicked, this, ui::guard([this] { ToolButton1Click(); }));
    connect(ToolButton2, &QToolButton::clicked, this, ui::guard([this] { ToolButton2Click(); }));
    connect(ToolButton4, &QToolButton::clicked, this, ui::guard([this] { ToolButton4Click(); }));
    connect(tbPanel2, &QToolButton::clicked, this, ui::guard([this] { tbPanel2Click(); }));

    ToolBar2 = new QToolBar;
    ToolBar2->setAutoFillBackground(true);
    ToolBar2->addWidget(new QLabel(QStringLiteral("Album")));
    DBLookupComboBox1 = new QComboBox;
    DBLookupComboBox1->setFixedWidth(188);
    DBLookupComboBox1->setMaxVisibleItems(21);
    ToolBar2->addWidget(DBLookupComboBox1);
    ToolBar2->addWidget(new QLabel(QStringLiteral("Theme")));
    DBLookupComboBox2 = new QComboBox;
    DBLookupComboBox2->setFixedWidth(167);
    DBLookupComboBox2->setMaxVisibleItems(21);
    ToolBar2->addWidget(DBLookupComboBox2);
    ToolBar2->addWidget(new QLabel(QStringLiteral("Rank")));
    ComboBoxRank = new QComboBox;
    ComboBoxRank->setFixedWidth(86);
    ComboBoxRank->addItems(sql::kRankNames);
    ToolBar2->addWidget(ComboBoxRank);
    ToolBar2->addWidget(new QLabel(QStringLiteral("Text")));
    DBEdit1 = new QLineEdit;
    DBEdit1->setFixedWidth(371);
    ToolBar2->addWidget(DBEdit1);

    // The user's choices only (loading a record sets the controls silently).
    connect(DBLookupComboBox1, &QComboBox::activated, this, [this](int i) {
        album_ = DBLookupComboBox1->itemData(i);
        attributesModified = true;
    });
    connect(DBLookupComboBox2, &QComboBox::activated, this, [this](int i) {
        theme_ = DBLookupComboBox2->itemData(i);
        attributesModified = true;
    });
    connect(ComboBoxRank, &QComboBox::activated, this, [this] { attributesModified = true; });
    connect(DBEdit1, &QLineEdit::textEdited, this, [this] { attributesModified = true; });
}

void TFormImage::buildStatusBar()
{
    StatusBar1 = new QWidget;
    StatusBar1->setAutoFillBackground(true);
    auto *row = new QHBoxLayout(StatusBar1);
    row->setContentsMargins(2, 1, 2, 1);
    row->setSpacing(2);
    const int widths[4] = {180, 100, 115, 200};
    for (int i = 0; i < 4; ++i) {
        panels[i] = new QLabel;
        panels[i]->setFrameShape(QFrame::Panel);
        panels[i]->setFrameShadow(QFrame::Sunken);
        if (i < 3)
            panels[i]->setFixedWidth(widths[i]);
        else
            panels[i]->setMinimumWidth(widths[i]);
        row->addWidget(panels[i], i == 3 ? 1 : 0);
    }
}

void TFormImage::fillAttributePanel()
{
    auto fill = [](QComboBox *box, db::Query &list) {
        if (!list.isOpen())
            return;
        const int id = list.fieldIndex(QStringLiteral("Id"));
        const int name = list.fieldIndex(QStringLiteral("Name"));
        if (id < 0 || name < 0)
            return;
        for (int r = 0; r < list.recordCount(); ++r)
            box->addItem(list.valueAt(r, name).toString(), list.valueAt(r, id));
    };
    fill(DBLookupComboBox1, catalog_.QVListA);
    fill(DBLookupComboBox2, catalog_.QVListT);
}

void TFormImage::setStatus(int panel, const QString &text)
{
    panels[panel]->setText(text);
    panels[panel]->repaint();
}

void TFormImage::showModal()
{
    QEventLoop loop;
    loop_ = &loop;
    // Where no window manager maximises windows, the viewer still fills the screen.
    if (const QScreen *s = screen())
        setGeometry(s->availableGeometry());
    showMaximized();
    if (isVisible())
        loop.exec(QEventLoop::DialogExec);
    loop_ = nullptr;
}

void TFormImage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!activated_) {
        activated_ = true;
        ui::guarded([this] { FormActivate(); });
    }
}

void TFormImage::closeEvent(QCloseEvent *event)
{
    if (!closing_) {
        closing_ = true;
        Timer1->stop();
        // A failing save is reported; the viewer still closes.
        ui::guarded([this] { SaveIfChanged(); });
        working = Bitmap();
        committed = Bitmap();
        QEPhoto.close();
        photoBase_.close();
    }
    event->accept();
    if (loop_)
        loop_->exit();
}

void TFormImage::requestClose()
{
    closeRequested_ = true;
    QMetaObject::invokeMethod(this, [this] { close(); }, Qt::QueuedConnection);
}

// ---------------------------------------------------------------------------
// Loading

void TFormImage::FormActivate()
{
    showWorkingFlag = true;
    setStatus(0, kLoading);
    exifText.clear();
    if (!LoadPhotoRecord(photoId))
        requestClose();
    finishLoad();
}

bool TFormImage::LoadPhotoRecord(qint64 id)
{
    db::Query &q = catalog_.QEListF;
    q.setSql(sql::recordWithFile(id));
    q.open();
    if (q.eof() || q.boolValue(QStringLiteral("Video")))
        return false;
    exifText = q.text(QStringLiteral("Exif"));
    dateText = q.text(QStringLiteral("Date"));

    // The attribute panel shows the record (its pending values start as stored).
    album_ = q.value(QStringLiteral("Albums"));
    theme_ = q.value(QStringLiteral("Themes"));
    DBLookupComboBox1->setCurrentIndex(DBLookupComboBox1->findData(album_));
    DBLookupComboBox2->setCurrentIndex(DBLookupComboBox2->findData(theme_));
    DBEdit1->setText(q.text(QStringLiteral("Text")));

    QEPhoto.close();
    photoBase_.close();
    photoBase_.setConnectionText(db::connectionText(q.text(QStringLiteral("File"))));
    photoBase_.open();
    QEPhoto.setSql(sql::photo(id));
    QEPhoto.open();
    attributesModified = false;
    return !QEPhoto.eof();
}

void TFormImage::finishLoad()
{
    try {
        Bitmap decoded = jpeg::decode(QEPhoto.bytes(QStringLiteral("Photo")));
        if (decoded.isEmpty())
            throw jpeg::Error("empty picture");
        working = std::move(decoded);
        pendingCommitFlag = true;
    } catch (const std::exception &) {
        committed = pictures::noImage();
        working = committed;
    }
    const int rank = int(catalog_.QEListF.isOpen() && !catalog_.QEListF.eof()
                             ? catalog_.QEListF.intValue(QStringLiteral("Rank"))
                             : -1);
    ComboBoxRank->setCurrentIndex(rank >= 0 && rank <= 2 ? rank : -1);
    setStatus(2, dateText);
    setStatus(3, exifText);
    pictureW = working.width();
    pictureH = working.height();
    ActKadr->setEnabled(zoomLevel != 1);
    ArrangePicture();
    feedback_ = Feedback::None;
    setStatus(0, QString());
    StatusBar1->repaint();
    repaint();
}

void TFormImage::ArrangePicture()
{
    layout()->activate();
    const int VW = ScrollBox1->width(), VH = ScrollBox1->height();
    arrangedFor_ = QSize(VW, VH);
    const viewer::Arrangement a = viewer::arrange(zoomLevel, pictureW, pictureH, VW, VH, sel.x1, sel.y1);
    ScrollBox1->horizontalScrollBar()->setValue(0);
    ScrollBox1->verticalScrollBar()->setValue(0);

    QWidget *canvas = ScrollBox1->widget();
    QPalette pal = canvas->palette();
    pal.setColor(QPalette::Window, zoomLevel == 0 ? QColor(Qt::black)
                                                  : QApplication::palette().color(QPalette::HighlightedText));
    canvas->setPalette(pal);

    Image1->resize(a.width, a.height);
    paintRect = QRect(0, 0, a.width, a.height);
    if (zoomLevel == 0) {
        // The canvas fills the viewport, so nothing scrolls and the surface sits centred.
        canvas->resize(VW, VH);
        Image1->move(a.left, a.top);
    } else {
        canvas->resize(a.width, a.height);
        Image1->move(0, 0);
        ScrollBox1->horizontalScrollBar()->setValue(a.scrollX);
        ScrollBox1->verticalScrollBar()->setValue(a.scrollY);
    }
    panels[1]->setText(a.status);
    StatusBar1->repaint();
}

// ---------------------------------------------------------------------------
// Save decision

void TFormImage::SaveIfChanged()
{
    if (!imageModifiedFlag && !attributesModified)
        return;
    const bool image = imageModifiedFlag, attributes = attributesModified;
    imageModifiedFlag = attributesModified = false;
    if (!ui::confirm(QStringLiteral("Save photo?")))
        return;
    setStatus(0, kWait);
    db::Query &q = catalog_.QEListF;
    // The join the record was read through cannot be written; the record is
    // re-read on its own table, then given the panel's values.
    q.setSql(sql::record(photoId));
    q.open();
    auto attributesInto = [&] {
        if (ComboBoxRank->currentIndex() >= 0)
            q.setValue(QStringLiteral("Rank"), ComboBoxRank->currentIndex());
        q.setValue(QStringLiteral("Albums"), album_);
        q.setValue(QStringLiteral("Themes"), theme_);
        q.setValue(QStringLiteral("Text"), DBEdit1->text());
    };
    if (image) {
        const QByteArray bytes = jpeg::encode(working, 90);
        QEPhoto.edit();
        QEPhoto.setValue(QStringLiteral("Photo"), bytes);
        QEPhoto.post();
        const QByteArray thumb = MakeThumbnail(working);
        q.edit();
        q.setValue(QStringLiteral("SmallPhoto"), thumb);
        attributesInto();
        q.post();
    } else {
        q.edit();
        attributesInto();
        q.post();
    }
    if (attributes)
        grid_.runGo();
}

// ---------------------------------------------------------------------------
// Zoom, frame, navigation

void TFormImage::ToolButton1Click()
{
    if (zoomLevel == 1) {
        zoomLevel = 0;
        ActKadr->setEnabled(true);
    } else {
        zoomLevel = 1;
        ActKadr->setEnabled(false);
    }
    ArrangePicture();
}

void TFormImage::zoomIn()
{
    if (zoomLevel < 3) {
        ++zoomLevel;
        ArrangePicture();
    }
}

void TFormImage::zoomOut()
{
    if (zoomLevel > 0) {
        --zoomLevel;
        ArrangePicture();
    }
}

void TFormImage::setBorderless(bool on)
{
    borderless_ = on;
    const bool visible = isVisible();
    const bool maximised = isMaximized();
    const QRect geometry = this->geometry();
    setWindowFlags(on ? (Qt::Window | Qt::FramelessWindowHint)
                      : (Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
                         | Qt::WindowCloseButtonHint));
    if (visible) {
        if (maximised) {
            showMaximized();
        } else {
            setGeometry(geometry);
            show();
        }
        // The new native window must take the keyboard again (the action
        // shortcuts work in the active window only).
        activateWindow();
    }
}

void TFormImage::Image1DblClick()
{
    if (borderless_) {
        setBorderless(false);
        ToolBar1->setFixedHeight(width() >= 1024 ? 36 : 60);
        ToolBar1->show();
        StatusBar1->show();
        ToolBar2->setVisible(tbPanel2->isChecked());
    } else {
        setBorderless(true);
        ToolBar1->hide();
        ToolBar2->hide();
        StatusBar1->hide();
    }
    ArrangePicture();
}

void TFormImage::tbPanel2Click()
{
    ToolBar2->setVisible(tbPanel2->isChecked());
    ArrangePicture();
}

void TFormImage::ActPrevExecute()
{
    SaveIfChanged();
    int c = grid_.selectedColumn() - 1, r = grid_.selectedRow();
    const int cols = grid_.columnCount();
    if (c < 0) {
        r -= 1;
        if (r < 0)
            return;
        c = cols - 1;
    }
    grid_.selectCell(c, r);
    const int index = r * cols + c;
    if (index < grid_.recordCount()) {
        photoId = grid_.idAt(index);
        FormActivate();
        Image1->repaint();
    }
}

void TFormImage::ActNextExecute()
{
    SaveIfChanged();
    int c = grid_.selectedColumn() + 1, r = grid_.selectedRow();
    const int cols = grid_.columnCount();
    if (c >= cols) {
        r += 1;
        if (r >= grid_.rowCount())
            return;
        c = 0;
    }
    const int index = r * cols + c;
    if (index >= grid_.recordCount())
        return;
    grid_.selectCell(c, r);
    photoId = grid_.idAt(index);
    FormActivate();
    Image1->repaint();
}

void TFormImage::ActSlideShowExecute()
{
    if (!borderless_)
        Image1DblClick();
    Timer1->start();
}

// ---------------------------------------------------------------------------
// Keys and wheel

bool TFormImage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ScrollBox1 && event->type() == QEvent::Resize) {
        // The window reached its final size after the picture was arranged.
        if (activated_ && ScrollBox1->size() != arrangedFor_)
            QMetaObject::invokeMethod(this, [this] { if (ScrollBox1->size() != arrangedFor_) ArrangePicture(); },
                                      Qt::QueuedConnection);
        return false;
    }
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::Wheel && event->type() != QEvent::ShortcutOverride)
        return false;
    auto *w = qobject_cast<QWidget *>(watched);
    if (!w || (w != this && !isAncestorOf(w)))
        return false;
    if (event->type() == QEvent::ShortcutOverride) {
        // The text field claims Ctrl+B for its own cursor keys on some
        // platforms; the brightness command takes it first.
        auto *k = static_cast<QKeyEvent *>(event);
        if (QKeySequence(k->keyCombination()) == ActBrigthness->shortcut()) {
            event->ignore();
            return true;
        }
        return false;
    }
    if (event->type() == QEvent::Wheel) {
        auto *e = static_cast<QWheelEvent *>(event);
        const int dy = e->angleDelta().y();
        if (dy != 0)
            ui::guarded([&] { FormMouseWheel(dy < 0, e->globalPosition().toPoint(), e->modifiers(), e->buttons()); });
        e->accept();
        return true;
    }
    // A key travels from the focused control up to the window; it is handled
    // once, at its first receiver, and then goes on to the control.
    QWidget *first = focusWidget() && isAncestorOf(focusWidget()) ? focusWidget() : this;
    if (w != first)
        return false;
    auto *k = static_cast<QKeyEvent *>(event);
    int key = k->key();
    if (k->modifiers() & Qt::KeypadModifier) {
        if (key == Qt::Key_Plus)
            key = Qt::Key_Plus | 0x10000000;
        else if (key == Qt::Key_Minus)
            key = Qt::Key_Minus | 0x10000000;
    }
    ui::guarded([&] { FormKeyDown(key, k->modifiers()); });
    return false;
}

void TFormImage::FormKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    Timer1->stop();
    const bool plain = !(modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    const bool panelHidden = ToolBar2->isHidden();
    QScrollBar *h = ScrollBox1->horizontalScrollBar();
    QScrollBar *v = ScrollBox1->verticalScrollBar();
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F4:
        ToolButton1Click();
        break;
    case Qt::Key_Escape:
        if (ActNoRedEyes->isChecked()) {
            RevertWorking();
            DrawRedEyeEllipse();
        } else {
            close();
        }
        break;
    case Qt::Key_PageUp:
        ActPrevExecute();
        break;
    case Qt::Key_PageDown:
        ActNextExecute();
        break;
    case Qt::Key_Left:
        h->setValue(std::max(0, h->value() - 24));
        break;
    case Qt::Key_Up:
        v->setValue(std::max(0, v->value() - 24));
        break;
    case Qt::Key_Right:
        h->setValue(h->value() + 24);
        break;
    case Qt::Key_Down:
        v->setValue(v->value() + 24);
        break;
    case Qt::Key_Delete:
        if (ActNoRedEyes->isChecked()) {
            const QRect r = selectionInPicture();
            imaging::ReduceRedEye(working, committed, r.left(), r.top(), r.right(), r.bottom());
            DrawRedEyeEllipse();
        }
        break;
    case Qt::Key_B:
        if (panelHidden && plain)
            ActBrigthnessExecute();
        break;
    case Qt::Key_L:
        if (panelHidden && plain)
            ActLevelsExecute();
        break;
    case Qt::Key_P:
        if (panelHidden && plain)
            ActShowParExecute();
        break;
    case Qt::Key_S:
        if (panelHidden && plain)
            ActSharpenExecute();
        break;
    case Qt::Key_Plus | 0x10000000:
        zoomIn();
        break;
    case Qt::Key_Minus | 0x10000000:
        zoomOut();
        break;
    default:
        break;
    }
}

void TFormImage::FormMouseWheel(bool towardsUser, QPoint globalPos, Qt::KeyboardModifiers modifiers,
                                Qt::MouseButtons buttons)
{
    if ((modifiers & Qt::ShiftModifier) || (buttons & Qt::MiddleButton)) {
        const bool change = towardsUser ? zoomLevel < 3 : zoomLevel > 0;
        if (!change)
            return;
        // The anchor is taken from the pointer as it comes with the event, in
        // screen coordinates.
        const float s = float(pictureW) / float(std::max(1, Image1->width()));
        sel.x1 = int(double(globalPos.x() + ScrollBox1->horizontalScrollBar()->value()) * s);
        sel.y1 = int(double(globalPos.y() + ScrollBox1->verticalScrollBar()->value()) * s);
        zoomLevel += towardsUser ? 1 : -1;
        ArrangePicture();
    } else if (towardsUser) {
        ActNextExecute();
    } else {
        ActPrevExecute();
    }
}

// ---------------------------------------------------------------------------
// Images

void TFormImage::settlePendingCommit()
{
    if (!pendingCommitFlag)
        return;
    if (committed.width() != working.width() || committed.height() != working.height())
        committed.resize(working.width(), working.height());
    imaging::CopyPixels(committed, working);
    pendingCommitFlag = false;
}

void TFormImage::RevertWorking()
{
    imaging::CopyPixels(working, committed);
}

void TFormImage::RepaintPicture()
{
    feedback(Feedback::None);
}

void TFormImage::feedback(Feedback f)
{
    feedback_ = f;
    Image1->repaint();
}

int TFormImage::surfaceWidth() const { return Image1->width(); }
int TFormImage::surfaceHeight() const { return Image1->height(); }

float TFormImage::displayScale() const
{
    return viewer::displayScale(pictureW, pictureH, Image1->width(), Image1->height());
}

QRect TFormImage::selectionInPicture() const
{
    return viewer::pictureSelection(sel, displayScale(), pictureW, pictureH);
}

bool TFormImage::testRectActive() const { return ActRect->isChecked(); }

void TFormImage::Image1Paint(QPainter &painter, const QRect &area)
{
    const Bitmap &picture = showWorkingFlag ? working : committed;
    const QRect part = area & paintRect;
    painter.fillRect(area, Qt::black);
    if (!part.isEmpty() && !picture.isEmpty())
        painter.drawImage(part.topLeft(), viewer::stretchPart(picture, paintRect.width(), paintRect.height(), part));
    if (showWorkingFlag)
        drawOverlay(painter);

    painter.setBrush(Qt::NoBrush);
    const viewer::Rect4 &r = sel;
    switch (feedback_) {
    case Feedback::None:
        break;
    case Feedback::Crop: {
        painter.setPen(QPen(Qt::black, 1));
        const int h1 = r.y1 + (r.y2 - r.y1) / 3, h2 = r.y1 + 2 * (r.y2 - r.y1) / 3;
        const int v1 = r.x1 + (r.x2 - r.x1) / 3, v2 = r.x1 + 2 * (r.x2 - r.x1) / 3;
        painter.drawLine(r.x1, h1, r.x2, h1);
        painter.drawLine(r.x1, h2, r.x2, h2);
        painter.drawLine(v1, r.y1, v1, r.y2);
        painter.drawLine(v2, r.y1, v2, r.y2);
        painter.setPen(QPen(Qt::black, 2));
        painter.drawRect(QRect(QPoint(r.x1, r.y1), QPoint(r.x2, r.y2)).normalized());
        break;
    }
    case Feedback::TestRect:
        painter.setPen(QPen(Qt::black, 2));
        painter.drawRect(QRect(QPoint(r.x1, r.y1), QPoint(r.x2, r.y2)).normalized());
        break;
    case Feedback::RedEye:
        painter.setPen(QPen(QColor(255, 0, 0), 1));
        painter.drawEllipse(QRect(QPoint(r.x1, r.y1), QPoint(r.x2, r.y2)).normalized());
        break;
    case Feedback::RotationLine:
        painter.setPen(QPen(Qt::black, 2));
        painter.drawLine(r.x1, r.y1, r.x2, r.y2);
        break;
    }
}

std::vector<TFormImage::OverlayItem> TFormImage::overlayLayout(int *fontPixels) const
{
    std::vector<OverlayItem> items;
    const int SW = Image1->width(), SH = Image1->height();
    const int VW = std::max(1, ScrollBox1->width());
    const double b = SW > SH ? 30 : 45;
    const int pixels = std::max(1, int(double(SW) / double(VW) * b));
    if (fontPixels)
        *fontPixels = pixels;
    const quint8 flags = grid_.overlayFlags();
    if (!flags)
        return items;
    QFont f = font();
    f.setPixelSize(pixels);
    const QFontMetrics fm(f);
    const int th = fm.height();
    auto fits = [&](int tw) { return tw < SW && th < SH; };
    if (flags & 1) {
        const QString t = dateText.left(16);
        const int tw = fm.horizontalAdvance(t);
        if (fits(tw))
            items.push_back({1, t, QRect(QPoint(SW - tw, SH - th), QPoint(SW, SH))});
    }
    if (flags & 2) {
        const QString t = DBEdit1->text().trimmed();
        const int tw = fm.horizontalAdvance(t);
        const int c = (SW - tw) / 2;
        if (c + tw < SW && th < SH)
            items.push_back({2, t, QRect(QPoint(c, SH - 3 * th), QPoint(c + tw, SH - 2 * th))});
        else
            items.push_back({2, t, QRect(QPoint(0, SH - 3 * th), QPoint(tw, SH - 2 * th))});
    }
    if (flags & 16) {
        const int tw = fm.horizontalAdvance(exifText);
        items.push_back({16, exifText, QRect(QPoint(0, SH - th), QPoint(tw, SH))});
    }
    if (flags & 4) {
        const QString t = DBLookupComboBox1->currentText();
        const int tw = fm.horizontalAdvance(t);
        if (fits(tw))
            items.push_back({4, t, QRect(QPoint(0, 0), QPoint(tw, th))});
    }
    if (flags & 8) {
        const QString t = DBLookupComboBox2->currentText();
        const int tw = fm.horizontalAdvance(t);
        if (fits(tw))
            items.push_back({8, t, QRect(QPoint(0, 2 * th), QPoint(tw, 3 * th))});
    }
    return items;
}

void TFormImage::drawOverlay(QPainter &painter)
{
    int pixels = 0;
    const auto items = overlayLayout(&pixels);
    if (items.empty())
        return;
    QFont f = font();
    f.setPixelSize(pixels);
    painter.setFont(f);
    painter.setPen(QColor(255, 255, 0));
    const int ascent = QFontMetrics(f).ascent();
    for (const OverlayItem &item : items) {
        painter.save();
        // The box's corners are (left, top)-(right, bottom) exclusive.
        painter.setClipRect(QRect(item.box.topLeft(), QSize(item.box.width() - 1, item.box.height() - 1)),
                            Qt::IntersectClip);
        painter.drawText(item.box.left(), item.box.top() + ascent, item.text);
        painter.restore();
    }
}

// ---------------------------------------------------------------------------
// Pointer tools

bool TFormImage::panning() const { return Image1->testAttribute(Qt::WA_SetCursor) && Image1->cursor().shape() == Qt::OpenHandCursor; }

void TFormImage::panStep(QPoint p)
{
    const int dx = p.x() - sel.x1, dy = p.y() - sel.y1;
    sel.x1 = p.x();
    sel.y1 = p.y();
    QScrollBar *h = ScrollBox1->horizontalScrollBar();
    QScrollBar *v = ScrollBox1->verticalScrollBar();
    h->setValue(h->value() + dx);
    v->setValue(v->value() + dy);
}

void TFormImage::Image1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint p)
{
    Timer1->stop();
    if (button == Qt::LeftButton) {
        if (mouseState == 1) {
            setStatus(3, QStringLiteral("Click to Select second angle picture"));
            sel.x1 = p.x();
            sel.y1 = p.y();
            mouseState = 2;
        } else if (mouseState == 3) {
            if (modifiers & Qt::ShiftModifier) {
                setStatus(3, QStringLiteral("To best position rectangle"));
                reference = p;
                mouseState = 4;
            } else if (modifiers & Qt::ControlModifier) {
                setStatus(3, QStringLiteral("To  best size rectangle"));
                reference = p;
                mouseState = 5;
            } else {
                setStatus(3, QStringLiteral("To Select Find first point"));
                sel.x1 = p.x();
                sel.y1 = p.y();
                mouseState = 2;
            }
        } else if (idle(mouseState)) {
            sel.x1 = p.x();
            sel.y1 = p.y();
            mouseState = 101;
        }
    } else if (button == Qt::RightButton && idle(mouseState)) {
        showWorkingFlag = false;
        RepaintPicture();
    }
}

void TFormImage::Image1MouseMove(QPoint p)
{
    const int SW = Image1->width(), SH = Image1->height();
    switch (mouseState) {
    case 2:
        sel.x2 = std::min(p.x(), SW - 1);
        sel.y2 = std::min(p.y(), SH - 1);
        toolFeedback();
        if (ActRotAngle->isChecked())
            DrawRotationLine();
        break;
    case 4:
        viewer::MoveSelection(sel, p.x() - reference.x(), p.y() - reference.y(), SW, SH);
        toolFeedback();
        reference = p;
        break;
    case 5:
        viewer::ResizeSelection(sel, p.x() - reference.x(), p.y() - reference.y(), SW, SH);
        toolFeedback();
        reference = p;
        break;
    case 101:
        if (panning())
            panStep(p);
        break;
    default:
        break;
    }
}

void TFormImage::Image1MouseUp(Qt::MouseButton button, QPoint p)
{
    const int SW = Image1->width(), SH = Image1->height();
    if (button == Qt::LeftButton) {
        switch (mouseState) {
        case 2:
            setStatus(3, kPlaced);
            sel.x2 = p.x();
            sel.y2 = p.y();
            toolFeedback();
            mouseState = 3;
            break;
        case 4:
        case 5:
            setStatus(3, kPlaced);
            if (mouseState == 4)
                viewer::MoveSelection(sel, p.x() - reference.x(), p.y() - reference.y(), SW, SH);
            else
                viewer::ResizeSelection(sel, p.x() - reference.x(), p.y() - reference.y(), SW, SH);
            reference = p;
            toolFeedback();
            mouseState = 3;
            break;
        case 101:
            if (panning()) {
                panStep(p);
                mouseState = 0;
                Image1->unsetCursor();
            } else {
                Image1->setCursor(Qt::OpenHandCursor);
            }
            break;
        default:
            break;
        }
    } else if (button == Qt::RightButton && idle(mouseState)) {
        showWorkingFlag = true;
        RepaintPicture();
    }
}

void TFormImage::toolFeedback()
{
    if (ActKadr->isChecked()) {
        viewer::FitCropFrame(sel, Image1->width(), Image1->height());
        DrawCropFrame();
    }
    if (ActNoRedEyes->isChecked())
        DrawRedEyeEllipse();
    if (ActRect->isChecked())
        DrawTestRect();
}

void TFormImage::DrawCropFrame() { feedback(Feedback::Crop); }
void TFormImage::DrawRedEyeEllipse() { feedback(Feedback::RedEye); }
void TFormImage::DrawTestRect() { feedback(Feedback::TestRect); }
void TFormImage::DrawRotationLine() { feedback(Feedback::RotationLine); }

void TFormImage::ActKadrExecute()
{
    settlePendingCommit();
    if (ActKadr->isChecked()) {
        setStatus(3, kFirstAngle);
        mouseState = 1;
        return;
    }
    if (mouseState != 3) {
        // Switching the tool off before a frame was placed returns to idle,
        // so panning and the compare view work again.
        mouseState = 0;
        return;
    }
    mouseState = 0;
    const QRect r = viewer::cropRectangle(sel, displayScale(), pictureW, pictureH);
    Bitmap cut(r.width(), r.height());
    imaging::CopyRegion(working, cut, r.x(), r.y(), r.width(), r.height());
    committed = std::move(cut);
    working.resize(r.width(), r.height());
    imaging::CopyPixels(working, committed);
    pictureW = r.width();
    pictureH = r.height();
    ArrangePicture();
    RepaintPicture();
    imageModifiedFlag = true;
}

void TFormImage::ToolButton2Click() { rotateQuarter(true); }

void TFormImage::ToolButton4Click() { rotateQuarter(false); }

void TFormImage::rotateQuarter(bool clockwise)
{
    settlePendingCommit();
    imaging::RotateQuarter(working, clockwise);
    committed.resize(working.width(), working.height());
    imaging::CopyPixels(committed, working);
    pictureW = working.width();
    pictureH = working.height();
    ArrangePicture();
    RepaintPicture();
    imageModifiedFlag = true;
}

void TFormImage::ActRotAngleExecute()
{
    settlePendingCommit();
    if (ActRotAngle->isChecked()) {
        setStatus(3, QStringLiteral("Click to Select first point"));
        mouseState = 1;
        return;
    }
    mouseState = 0;
    const float angle = viewer::twoPointAngle(sel);
    setStatus(0, kWait);
    imaging::RotateByAngle(working, committed, angle);
    imaging::CopyPixels(committed, working);
    RepaintPicture();
    setStatus(0, QStringLiteral("Ready"));
    imageModifiedFlag = true;
}

void TFormImage::ActNoRedEyesExecute()
{
    settlePendingCommit();
    if (ActNoRedEyes->isChecked()) {
        setStatus(3, QStringLiteral("Select Red Eyes. <Del>-process <Esc>-cancel"));
        mouseState = 1;
        return;
    }
    mouseState = 0;
    imaging::CopyPixels(committed, working);
    RepaintPicture();
    imageModifiedFlag = true;
}

void TFormImage::ActRectExecute()
{
    settlePendingCommit();
    if (ActRect->isChecked()) {
        setStatus(3, kFirstAngle);
        mouseState = 1;
        return;
    }
    mouseState = 0;
    RepaintPicture();
}

// ---------------------------------------------------------------------------
// Dialogs

void TFormImage::launch(const DialogFactory &factory, bool styled, bool useResult)
{
    if (!factory)
        return;
    QDialog *dialog = factory(*this, this);
    if (!dialog)
        return;
    std::unique_ptr<QDialog> owner(dialog);
    settlePendingCommit();
    if (styled)
        styleDialog(dialog, borderless_);
    const int result = dialog->exec();
    owner.reset();
    // Keys go back to the viewer (its action shortcuts need the active window).
    activateWindow();
    if (useResult && result == QDialog::Accepted)
        imageModifiedFlag = true;
}

void TFormImage::ActBrigthnessExecute() { launch(correctionDialogs().brightness, true, true); }
void TFormImage::ActLevelsExecute() { launch(correctionDialogs().levels, true, true); }
void TFormImage::ActColorsExecute() { launch(correctionDialogs().colors, false, true); }

void TFormImage::ActSharpenExecute()
{
    setStatus(0, QStringLiteral("Sharpen picture. Wait please."));
    launch(correctionDialogs().sharpen, true, true);
}

void TFormImage::ActNoNoiseExecute()
{
    setStatus(0, QString());
    launch(correctionDialogs().noise, false, true);
}

void TFormImage::ActShowParExecute()
{
    launch([this](ImageHost &, QWidget *) { return new TFormParam(*this); }, true, false);
}

} // namespace mv
