#pragma once
// Drop-down pickers bound to a list cursor of the Catalog (albums, themes,
// PhotoBase files). Picking a row makes it the list cursor's current row;
// when someone else moves that row (the record cursor was pointed at another
// photo, OpenPhotoBase) every picker of the list follows.

#include "catalog/catalog.h"

#include <QAbstractListModel>
#include <QComboBox>

namespace mv {

class CursorListModel : public QAbstractListModel {
    Q_OBJECT
public:
    CursorListModel(db::Query &list, QString displayField, QObject *parent = nullptr);
    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    void reload();

private:
    db::Query &list_;
    QString field_;
    int rows_ = 0;
};

class CursorPicker : public QComboBox {
    Q_OBJECT
public:
    // Blank until it is first told to show a row (blank: as long as the record
    // cursor holds no record).
    CursorPicker(Catalog &catalog, db::Query &list, const QString &displayField, QWidget *parent = nullptr);
    // Shows the list cursor's current row from now on.
    void showCurrentRow();
    qint64 currentId() const { return Catalog::currentId(list_); }

private:
    void sync();
    Catalog &catalog_;
    db::Query &list_;
    CursorListModel model_;
    bool showing_ = false;
};

} // namespace mv
