#pragma once
// The main window: the catalogue browser with its commands, filters, grid and
// status bar. It owns the Catalog and hands it to every dialog it opens.

#include "catalog/catalog.h"
#include "catalog/picker.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <functional>
#include <memory>

namespace mv {

class ThumbGrid;

class TmainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TmainForm(const QString &programFolder, QWidget *parent = nullptr);
    ~TmainForm() override;

    Catalog &catalog() { return *catalog_; }
    ThumbGrid *DrawGrid1 = nullptr;

    // The hand-over points of Edit: the viewer (list position, photo id,
    // started as a slide show) and the video player (file path). Filled by
    // the windows that show photos and videos.
    std::function<void(int position, qint64 id, bool slideShow)> showPhoto;
    std::function<void(const QString &path)> playVideo;
    // Commands whose windows live in other folders register here.
    std::function<void()> importPhotos, deletePhotos, copyPhotos, movePhotos, exportPhotos, printPhotos;
    std::function<void(db::Query &list, const QString &caption)> editTable;

    // Opens the catalogue (run once, at the first activation).
    void openCatalogue();

    // Commands.
    void ActSelectListExecute();
    void ActRefreshListExecute();
    void AccEditPhotoExecute(bool slideShow = false);
    void ActSlideShowExecute() { AccEditPhotoExecute(true); }
    void AcCreMediaExecute();
    void DrawGrid1SelectCell(int column, int row);
    void N15Click(); // Small
    void N16Click(); // Medium
    void N17Click(); // Big
    void setPictureSize(int size);
    int pictureSize() const;
    void showAbout();

    QAction *AccEditPhoto, *ActImportPhoto, *AcDelePhoto, *AcCopyPhoto, *AcMovePhoto, *ActExportPhoto, *ActPrint,
        *ActSlideShow, *ActSelectList, *ActRefreshList, *ActAlbum, *ActThemes, *ActBase, *AcCreMedia, *ActExit, *ActAbout;
    QAction *N15, *N16, *N17;
    QCheckBox *CBAlbum, *CBTheme, *CBMedia, *CBRank, *CBText;
    CursorPicker *DBLookupAlbum, *DBLookupTheme, *DBLookupBase;
    QComboBox *ComboBoxRank;
    QLineEdit *Edit1;
    QLabel *panels[6];

    // The current filters as the catalogue query takes them.
    sql::CatalogueFilter currentFilter() const;
    void setStatusText(int panel, const QString &text);
    quint8 overlayFlags = 0;

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildActions();
    void buildToolBars();
    void buildMenus();
    void buildStatusBar();
    void setPhotoCommandsEnabled(bool on);

    std::unique_ptr<Catalog> catalog_;
    bool opened_ = false;
};

} // namespace mv
