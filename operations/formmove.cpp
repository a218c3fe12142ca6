#include "operations/formmove.h"

#include "platform/ui.h"

#include <QCheckBox>
#include <QPushButton>

namespace mv {

TFormMove::TFormMove(Catalog &catalog, QWidget *parent)
    : QDialog(parent), QLBaseW(&catalog.ADOConnection1, db::CursorType::Static),
      QLAlbums(&catalog.ADOConnection1, db::CursorType::Static), QLThemes(&catalog.ADOConnection1, db::CursorType::Static)
{
    setObjectName(QStringLiteral("FormMove"));
    setWindowTitle(QStringLiteral("Move (Change Attribute) Photo"));
    setFixedSize(400, 196);

    QLBaseW.setSql(sql::kAllBases);
    QLAlbums.setSql(sql::kMoveAlbums);
    QLThemes.setSql(sql::kMoveThemes);

    int y = 14;
    auto box = [this, &y](const QString &caption, const char *name) {
        auto *b = new QCheckBox(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(16, y, 180, 22);
        return b;
    };
    auto picker = [this, &y](db::Query &list, const char *field, const char *name) {
        auto *p = new ListPicker(list, QString::fromLatin1(field), this);
        p->setObjectName(QString::fromLatin1(name));
        p->setGeometry(204, y, 180, 24);
        p->setEnabled(false);
        y += 32;
        return p;
    };
    CheckBase = box(QStringLiteral("PhotoBase File Change "), "CheckBase");
    DBLookupBase = picker(QLBaseW, "Label", "DBLookupBase");
    CheckAlbum = box(QStringLiteral("Album Change "), "CheckAlbum");
    DBLookupAlbum = picker(QLAlbums, "Name", "DBLookupAlbum");
    CheckTheme = box(QStringLiteral("Theme Change "), "CheckTheme");
    DBLookupTheme = picker(QLThemes, "Name", "DBLookupTheme");
    CBRank = box(QStringLiteral("Rank Change "), "CBRank");
    ComboBoxRank = new QComboBox(this);
    ComboBoxRank->setObjectName(QStringLiteral("ComboBoxRank"));
    ComboBoxRank->setGeometry(204, y, 180, 24);
    // The item index is the rank code.
    ComboBoxRank->addItems({QStringLiteral("Normal"), QStringLiteral("Good  "), QStringLiteral("Fine")});
    ComboBoxRank->setCurrentIndex(-1);
    ComboBoxRank->setEnabled(false);

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(108, 154, 84, 28);
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("Cancel"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(208, 154, 84, 28);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    connect(CheckBase, &QCheckBox::clicked, this, ui::guard([this] { CheckBaseClick(); }));
    connect(CheckAlbum, &QCheckBox::clicked, this, ui::guard([this] { CheckAlbumClick(); }));
    connect(CheckTheme, &QCheckBox::clicked, this, ui::guard([this] { CheckThemeClick(); }));
    connect(CBRank, &QCheckBox::clicked, this, ui::guard([this] { CBRankClick(); }));
}

void TFormMove::tick(QCheckBox *box, QWidget *control, db::Query *list, ListPicker *picker)
{
    if (box->isChecked() && list && !list->isOpen()) {
        list->open();
        picker->reload();
    }
    control->setEnabled(box->isChecked());
}

void TFormMove::CheckBaseClick() { tick(CheckBase, DBLookupBase, &QLBaseW, DBLookupBase); }
void TFormMove::CheckAlbumClick() { tick(CheckAlbum, DBLookupAlbum, &QLAlbums, DBLookupAlbum); }
void TFormMove::CheckThemeClick() { tick(CheckTheme, DBLookupTheme, &QLThemes, DBLookupTheme); }
void TFormMove::CBRankClick() { tick(CBRank, ComboBoxRank, nullptr, nullptr); }

bool TFormMove::anyTicked() const
{
    return CheckBase->isChecked() || CheckAlbum->isChecked() || CheckTheme->isChecked() || CBRank->isChecked();
}

MoveValues TFormMove::values() const
{
    MoveValues v;
    if (CheckBase->isChecked() && QLBaseW.isOpen() && !QLBaseW.eof()) {
        v.newBase = Catalog::currentId(QLBaseW);
        v.destinationFile = QLBaseW.text(QStringLiteral("File"));
    }
    if (CheckAlbum->isChecked() && QLAlbums.isOpen() && !QLAlbums.eof())
        v.album = Catalog::currentId(QLAlbums);
    if (CheckTheme->isChecked() && QLThemes.isOpen() && !QLThemes.eof())
        v.theme = Catalog::currentId(QLThemes);
    if (CBRank->isChecked())
        v.rank = ComboBoxRank->currentIndex();
    return v;
}

} // namespace mv
