#pragma once
// The move dialog: which of PhotoBase file, album, theme and rank the marked
// photos change to. Each row's control stays disabled until its box is
// ticked; a picker's list is opened at the first tick.

#include "catalog/catalog.h"
#include "operations/listpicker.h"
#include "operations/photo_operations.h"

#include <QDialog>

class QCheckBox;
class QPushButton;

namespace mv {

class TFormMove : public QDialog {
    Q_OBJECT
public:
    explicit TFormMove(Catalog &catalog, QWidget *parent = nullptr);

    void CheckBaseClick();
    void CheckAlbumClick();
    void CheckThemeClick();
    void CBRankClick();

    // -1 for every item whose box is not ticked.
    MoveValues values() const;
    bool anyTicked() const;

    db::Query QLBaseW, QLAlbums, QLThemes;
    QCheckBox *CheckBase, *CheckAlbum, *CheckTheme, *CBRank;
    ListPicker *DBLookupBase, *DBLookupAlbum, *DBLookupTheme;
    QComboBox *ComboBoxRank;
    QPushButton *Button1, *Button2; // OK, Cancel

private:
    void tick(QCheckBox *box, QWidget *control, db::Query *list, ListPicker *picker);
};

} // namespace mv
