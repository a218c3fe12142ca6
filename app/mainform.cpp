#include "app/mainform.h"

#include "app/aboutbox.h"
#include "app/thumbgrid.h"
#include "platform/files.h"
#include "platform/icons.h"
#include "platform/settings.h"
#include "platform/ui.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QTimer>
#include <QToolButton>

namespace mv {

namespace {
const QString kPanelColour = QStringLiteral("rgb(247, 239, 195)");
const QString kSettingName = QStringLiteral("Show");
} // namespace

TmainForm::TmainForm(const QString &programFolder, QWidget *parent)
    : QMainWindow(parent), catalog_(std::make_unique<Catalog>(programFolder))
{
    setWindowTitle(QStringLiteral("Marvisto"));
    setObjectName(QStringLiteral("mainForm"));
    resize(1009, 620);
    setStyleSheet(QStringLiteral("QMainWindow#mainForm, QToolBar, QStatusBar { background-color: %1; }").arg(kPanelColour));

    buildActions();
    buildToolBars();
    buildMenus();
    buildStatusBar();

    DrawGrid1 = new ThumbGrid(*catalog_, this);
    DrawGrid1->setObjectName(QStringLiteral("DrawGrid1"));
    DrawGrid1->setEnabled(false);
    setCentralWidget(DrawGrid1);
    connect(DrawGrid1, &ThumbGrid::cellSelected, this, ui::guard([this](int c, int r) { DrawGrid1SelectCell(c, r); }));
    connect(DrawGrid1, &ThumbGrid::editRequested, this, ui::guard([this] { AccEditPhotoExecute(false); }));

    if (width() < 1024)
        findChild<QToolBar *>(QStringLiteral("ToolBar1"))->setMinimumHeight(55);

    setPictureSize(60);
    if (const auto stored = settings::readInt(kSettingName)) {
        if (*stored == 40 || *stored == 60 || *stored == 100)
            setPictureSize(*stored);
    }
    qApp->installEventFilter(this);
}

TmainForm::~TmainForm()
{
    qApp->removeEventFilter(this);
    // The pickers and the grid read the catalogue's cursors: they go first.
    qDeleteAll(findChildren<QWidget *>(Qt::FindDirectChildrenOnly));
}

void TmainForm::buildActions()
{
    auto make = [this](const char *name, const QString &menuCaption, const QString &caption, const QKeySequence &key = {}) {
        auto *a = new QAction(menuCaption, this);
        a->setObjectName(QLatin1String(name));
        a->setToolTip(caption);
        a->setStatusTip(caption);
        if (!key.isEmpty())
            a->setShortcut(key);
        return a;
    };
    AccEditPhoto = make("AccEditPhoto", QStringLiteral("Edit"), QStringLiteral("Edit"), Qt::Key_F4);
    ActImportPhoto = make("ActImportPhoto", QStringLiteral("Import Photo to Base"), QStringLiteral("Import Foto to Base"));
    AcDelePhoto = make("AcDelePhoto", QStringLiteral("Delete"), QStringLiteral("Delete Foto"), Qt::Key_F8);
    AcCopyPhoto = make("AcCopyPhoto", QStringLiteral("Copy"), QStringLiteral("Copy Foto"), Qt::Key_F5);
    AcMovePhoto = make("AcMovePhoto", QStringLiteral("Move "), QStringLiteral("Move Foto "), Qt::Key_F6);
    ActExportPhoto = make("ActExportPhoto", QStringLiteral("Export Photo to File"), QStringLiteral("Export Foto to File"));
    ActPrint = make("ActPrint", QStringLiteral("Print"), QStringLiteral("Print"));
    ActSlideShow = make("ActSlideShow", QStringLiteral("Slide Show"), QStringLiteral("Slide Show"), Qt::Key_F9);
    ActSelectList = make("ActSelectList", QStringLiteral("Go!"), QStringLiteral("Go!"), Qt::Key_F12);
    ActRefreshList = make("ActRefreshList", QString(), QString());
    ActAlbum = make("ActAlbum", QStringLiteral("Albums"), QStringLiteral("Albums"));
    ActThemes = make("ActThemes", QStringLiteral("Themes"), QStringLiteral("Themes"));
    ActBase = make("ActBase", QStringLiteral("PhotoBase Files"), QStringLiteral("Media Files"));
    AcCreMedia = make("AcCreMedia", QStringLiteral("New PhotoBase File"), QStringLiteral("New Media File"));
    ActExit = make("ActExit", QStringLiteral("Exit"), QStringLiteral("Exit"), QKeySequence(Qt::CTRL | Qt::Key_Q));
    ActAbout = make("ActAbout", QStringLiteral("About"), QStringLiteral("About"));

    AccEditPhoto->setIcon(icons::command(icons::Command::Edit));
    ActImportPhoto->setIcon(icons::command(icons::Command::Import));
    AcDelePhoto->setIcon(icons::command(icons::Command::Delete));
    ActSlideShow->setIcon(icons::command(icons::Command::SlideShow));
    setPhotoCommandsEnabled(false);

    auto hook = [](std::function<void()> &f) { return ui::guard([&f] { if (f) f(); }); };
    connect(AccEditPhoto, &QAction::triggered, this, ui::guard([this] { AccEditPhotoExecute(false); }));
    connect(ActSlideShow, &QAction::triggered, this, ui::guard([this] { ActSlideShowExecute(); }));
    connect(ActSelectList, &QAction::triggered, this, ui::guard([this] { ActSelectListExecute(); }));
    connect(ActRefreshList, &QAction::triggered, this, ui::guard([this] { ActRefreshListExecute(); }));
    connect(ActImportPhoto, &QAction::triggered, this, hook(importPhotos));
    connect(AcDelePhoto, &QAction::triggered, this, hook(deletePhotos));
    connect(AcCopyPhoto, &QAction::triggered, this, hook(copyPhotos));
    connect(AcMovePhoto, &QAction::triggered, this, hook(movePhotos));
    connect(ActExportPhoto, &QAction::triggered, this, hook(exportPhotos));
    connect(ActPrint, &QAction::triggered, this, hook(printPhotos));
    connect(AcCreMedia, &QAction::triggered, this, ui::guard([this] { AcCreMediaExecute(); }));
    auto table = [this](db::Query *list, QString caption) {
        return ui::guard([this, list, caption] {
            if (editTable)
                editTable(*list, caption);
        });
    };
    connect(ActAlbum, &QAction::triggered, this, table(&catalog_->QVListA, QStringLiteral("Albums")));
    connect(ActThemes, &QAction::triggered, this, table(&catalog_->QVListT, QStringLiteral("Themes")));
    connect(ActBase, &QAction::triggered, this, table(&catalog_->QVListB, QStringLiteral("Photo Files")));
    connect(ActExit, &QAction::triggered, this, &QWidget::close);
    connect(ActAbout, &QAction::triggered, this, ui::guard([this] { showAbout(); }));
}

void TmainForm::buildToolBars()
{
    auto *tb1 = new QToolBar(QStringLiteral("ToolBar1"), this);
    tb1->setObjectName(QStringLiteral("ToolBar1"));
    tb1->setMovable(false);
    tb1->setIconSize(QSize(24, 24));
    tb1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (QAction *a : {ActImportPhoto, AccEditPhoto, AcDelePhoto, ActSlideShow}) {
        tb1->addAction(a);
        if (auto *b = qobject_cast<QToolButton *>(tb1->widgetForAction(a))) {
            b->setFixedSize(31, 30);
            b->setAutoRaise(true);
        }
    }
    tb1->addSeparator();

    auto check = [this](const char *name, const QString &caption) {
        auto *c = new QCheckBox(caption, this);
        c->setObjectName(QLatin1String(name));
        return c;
    };
    CBAlbum = check("CBAlbum", QStringLiteral("Album"));
    CBTheme = check("CBTheme", QStringLiteral("Theme"));
    CBMedia = check("CBMedia", QStringLiteral("Base"));
    CBRank = check("CBRank", QStringLiteral("Rank"));
    DBLookupAlbum = new CursorPicker(*catalog_, catalog_->QVListA, QStringLiteral("Name"), this);
    DBLookupAlbum->setObjectName(QStringLiteral("DBLookupAlbum"));
    DBLookupAlbum->setFixedWidth(197);
    DBLookupAlbum->setMaxVisibleItems(25);
    DBLookupTheme = new CursorPicker(*catalog_, catalog_->QVListT, QStringLiteral("Name"), this);
    DBLookupTheme->setObjectName(QStringLiteral("DBLookupTheme"));
    DBLookupTheme->setFixedWidth(184);
    DBLookupTheme->setMaxVisibleItems(25);
    DBLookupBase = new CursorPicker(*catalog_, catalog_->QVListB, QStringLiteral("Label"), this);
    DBLookupBase->setObjectName(QStringLiteral("DBLookupBase"));
    DBLookupBase->setFixedWidth(152);
    ComboBoxRank = new QComboBox(this);
    ComboBoxRank->setObjectName(QStringLiteral("ComboBoxRank"));
    ComboBoxRank->setFixedWidth(112);
    for (const auto &item : sql::kRankItems)
        ComboBoxRank->addItem(QLatin1String(item.text));
    ComboBoxRank->setCurrentIndex(-1);

    const std::pair<QCheckBox *, QWidget *> pairs[] = {
        {CBAlbum, DBLookupAlbum}, {CBTheme, DBLookupTheme}, {CBMedia, DBLookupBase}, {CBRank, ComboBoxRank}};
    for (const auto &[box, control] : pairs) {
        tb1->addWidget(box);
        tb1->addWidget(control);
        control->setEnabled(false);
        connect(box, &QCheckBox::toggled, control, &QWidget::setEnabled);
    }

    auto *tb2 = new QToolBar(QStringLiteral("ToolBar2"), this);
    tb2->setObjectName(QStringLiteral("ToolBar2"));
    tb2->setMovable(false);
    tb2->setFixedHeight(40);
    CBText = check("CBText", QStringLiteral("Text"));
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setFixedWidth(292);
    Edit1->setEnabled(false);
    connect(CBText, &QCheckBox::toggled, Edit1, &QWidget::setEnabled);
    auto *go = new QToolButton(this);
    go->setObjectName(QStringLiteral("GoButton"));
    go->setDefaultAction(ActSelectList);
    go->setToolButtonStyle(Qt::ToolButtonTextOnly);
    tb2->addWidget(CBText);
    tb2->addWidget(Edit1);
    tb2->addWidget(go);
    addToolBar(Qt::TopToolBarArea, tb1);
    addToolBarBreak(Qt::TopToolBarArea);
    addToolBar(Qt::TopToolBarArea, tb2);
}

void TmainForm::buildMenus()
{
    QMenu *op = menuBar()->addMenu(QStringLiteral("Operation"));
    op->addAction(AcCreMedia);
    op->addSeparator();
    op->addAction(ActImportPhoto);
    op->addAction(ActExportPhoto);
    op->addSeparator();
    op->addAction(ActSelectList);
    op->addSeparator();
    op->addAction(ActPrint);
    op->addSeparator();
    op->addAction(ActSlideShow);
    op->addSeparator();
    op->addAction(ActExit);

    QMenu *photo = menuBar()->addMenu(QStringLiteral("Photo"));
    photo->addAction(AccEditPhoto);
    photo->addAction(AcCopyPhoto);
    photo->addAction(AcMovePhoto);
    photo->addAction(AcDelePhoto);

    QMenu *table = menuBar()->addMenu(QStringLiteral("Table"));
    table->addAction(ActAlbum);
    table->addAction(ActThemes);
    table->addAction(ActBase);

    QMenu *service = menuBar()->addMenu(QStringLiteral("Service"));
    QMenu *size = service->addMenu(QStringLiteral("Picture size"));
    auto *group = new QActionGroup(this);
    auto item = [&](const char *name, const QString &caption) {
        auto *a = size->addAction(caption);
        a->setObjectName(QLatin1String(name));
        a->setCheckable(true);
        group->addAction(a);
        return a;
    };
    N15 = item("N15", QStringLiteral("Small"));
    N16 = item("N16", QStringLiteral("Medium"));
    N17 = item("N17", QStringLiteral("Big"));
    N16->setChecked(true);
    connect(N15, &QAction::triggered, this, ui::guard([this] { N15Click(); }));
    connect(N16, &QAction::triggered, this, ui::guard([this] { N16Click(); }));
    connect(N17, &QAction::triggered, this, ui::guard([this] { N17Click(); }));

    menuBar()->addAction(ActAbout);
    // Shortcuts of actions reached only through menus work window-wide.
    addActions({AccEditPhoto, AcCopyPhoto, AcMovePhoto, AcDelePhoto, ActSelectList, ActSlideShow, ActExit});
}

void TmainForm::buildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    const int widths[6] = {180, 120, 40, 40, 110, 200};
    for (int i = 0; i < 6; ++i) {
        panels[i] = new QLabel(bar);
        panels[i]->setObjectName(QStringLiteral("Panel%1").arg(i));
        panels[i]->setFixedWidth(widths[i]);
        panels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        bar->addWidget(panels[i]);
    }
}

void TmainForm::setStatusText(int panel, const QString &text)
{
    panels[panel]->setText(text);
    panels[panel]->repaint();
}

void TmainForm::setPhotoCommandsEnabled(bool on)
{
    for (QAction *a : {AccEditPhoto, AcDelePhoto, AcMovePhoto, AcCopyPhoto, ActSlideShow, ActPrint, ActExportPhoto})
        a->setEnabled(on);
}

bool TmainForm::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate && !opened_)
        ui::guarded([this] { openCatalogue(); });
    else if (e->type() == QEvent::Show && !opened_)
        // Without a window manager the window may never be activated.
        QTimer::singleShot(0, this, [this] {
            if (!opened_)
                ui::guarded([this] { openCatalogue(); });
        });
    return QMainWindow::event(e);
}

void TmainForm::openCatalogue()
{
    opened_ = true;
    catalog_->openAtStartup();
}

sql::CatalogueFilter TmainForm::currentFilter() const
{
    sql::CatalogueFilter f;
    // A ticked filter whose list is empty has no value to compare with.
    if (CBAlbum->isChecked() && !catalog_->QVListA.eof())
        f.album = Catalog::currentId(catalog_->QVListA);
    if (CBTheme->isChecked() && !catalog_->QVListT.eof())
        f.theme = Catalog::currentId(catalog_->QVListT);
    if (CBMedia->isChecked() && !catalog_->QVListB.eof())
        f.base = Catalog::currentId(catalog_->QVListB);
    if (CBRank->isChecked() && ComboBoxRank->currentIndex() >= 0)
        f.rankItem = ComboBoxRank->currentIndex();
    if (CBText->isChecked())
        f.text = Edit1->text();
    return f;
}

void TmainForm::ActSelectListExecute()
{
    try {
        catalog_->runCatalogueQuery(currentFilter());
    } catch (...) {
        setPhotoCommandsEnabled(false);
        DrawGrid1->clearCache();
        DrawGrid1->viewport()->update();
        throw;
    }
    setPhotoCommandsEnabled(!catalog_->thumbs().empty());
    DrawGrid1->clearCache();
    DrawGrid1->setEnabled(false);
    ActRefreshListExecute();
    DrawGrid1->setEnabled(true);
}

void TmainForm::ActRefreshListExecute()
{
    if (!catalog_->QVListF.isOpen())
        return;
    panels[3]->setText(QString::number(catalog_->QVListF.recordCount()));
    DrawGrid1->relayout();
}

void TmainForm::DrawGrid1SelectCell(int column, int row)
{
    const int k = column + row * DrawGrid1->columnCount();
    if (k >= int(catalog_->thumbs().size()) || !catalog_->ADOConnection1.isOpen())
        return;
    db::Query q(&catalog_->ADOConnection1, db::CursorType::Static);
    q.setSql(sql::statusOf(catalog_->thumbs()[std::size_t(k)].id));
    q.open();
    if (q.eof()) {
        for (int i : {1, 2, 4, 5})
            panels[i]->clear();
        return;
    }
    panels[1]->setText(q.text(QStringLiteral("Label")));
    panels[2]->setText(q.boolValue(QStringLiteral("ReadOnly")) ? QStringLiteral("Read") : QString());
    panels[4]->setText(q.text(QStringLiteral("Date")));
    panels[5]->setText(q.text(QStringLiteral("Text")));
}

void TmainForm::AccEditPhotoExecute(bool slideShow)
{
    if (!catalog_->QVListF.isOpen())
        return;
    const int k = DrawGrid1->selectedPosition();
    if (k < 0 || k >= int(catalog_->thumbs().size()))
        return;
    const qint64 id = catalog_->thumbs()[std::size_t(k)].id;
    if (!catalog_->pointRecordAt(id))
        return;
    if (catalog_->QEListF.boolValue(QStringLiteral("Video"))) {
        const QString path = catalog_->QEListF.text(QStringLiteral("Exif"));
        if (files::exists(path)) {
            if (playVideo)
                playVideo(path);
        } else {
            ui::error(QStringLiteral("File ") + path + QStringLiteral(" not found."));
        }
        return;
    }
    if (showPhoto)
        showPhoto(k, id, slideShow);
    catalog_->reopenCatalogueQuery();
    DrawGrid1->clearCache();
    DrawGrid1->viewport()->update();
}

void TmainForm::AcCreMediaExecute()
{
    ui::FileRequest request;
    request.mode = ui::FileRequest::Mode::Save;
    request.title = QStringLiteral("Enter Name PhotoBase File");
    request.filter = QStringLiteral("Access files (*.mdb)|*.mdb");
    request.confirmOverwrite = true;
    request.confirmCreate = true;
    const QStringList chosen = ui::delegate().chooseFiles(request);
    if (chosen.isEmpty())
        return;
    const QString fileName = chosen.first() + QStringLiteral(".mdb");
    // The dialog confirmed the name as typed; the suffix may name another file.
    if (files::exists(fileName) && !ui::confirm(fileName + QStringLiteral(" already exists.\nDo you want to replace it?")))
        return;
    catalog_->createPhotoBaseFile(fileName);
}

void TmainForm::setPictureSize(int size)
{
    N15->setChecked(size == 40);
    N16->setChecked(size == 60);
    N17->setChecked(size == 100);
    DrawGrid1->setCellSize(size);
}

int TmainForm::pictureSize() const
{
    if (N15->isChecked())
        return 40;
    if (N17->isChecked())
        return 100;
    return 60;
}

void TmainForm::N15Click()
{
    setPictureSize(40);
    ActRefreshListExecute();
}

void TmainForm::N16Click()
{
    setPictureSize(60);
    ActRefreshListExecute();
}

void TmainForm::N17Click()
{
    setPictureSize(100);
    ActRefreshListExecute();
}

void TmainForm::showAbout()
{
    TAboutBox box(catalog_->programFolder(), this);
    box.exec();
}

void TmainForm::closeEvent(QCloseEvent *event)
{
    catalog_->thumbs().clear();
    settings::writeInt(kSettingName, pictureSize()); // the window closes even if this fails
    event->accept();
}

bool TmainForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        auto *w = qobject_cast<QWidget *>(watched);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && w && w->window() == this &&
            !QApplication::activeModalWidget() && !QApplication::activePopupWidget()) {
            ui::guarded([this] { AccEditPhotoExecute(false); });
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace mv
