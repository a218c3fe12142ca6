#include "catalog/picker.h"

namespace mv {

CursorListModel::CursorListModel(db::Query &list, QString displayField, QObject *parent)
    : QAbstractListModel(parent), list_(list), field_(std::move(displayField))
{
    reload();
}

void CursorListModel::reload()
{
    beginResetModel();
    rows_ = list_.isOpen() ? list_.recordCount() : 0;
    endResetModel();
}

int CursorListModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : rows_; }

QVariant CursorListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rows_ || !list_.isOpen() || index.row() >= list_.recordCount())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        const int col = list_.fieldIndex(field_);
        return col < 0 ? QVariant() : list_.valueAt(index.row(), col);
    }
    return {};
}

CursorPicker::CursorPicker(Catalog &catalog, db::Query &list, const QString &displayField, QWidget *parent)
    : QComboBox(parent), catalog_(catalog), list_(list), model_(list, displayField)
{
    setModel(&model_);
    setCurrentIndex(-1);
    connect(this, &QComboBox::activated, this, [this](int row) {
        if (!list_.isOpen() || row < 0 || row >= list_.recordCount())
            return;
        list_.moveTo(row);
        showing_ = true;
        catalog_.notifyCurrentRowsChanged();
    });
    connect(&catalog_, &Catalog::listsChanged, this, [this] {
        model_.reload();
        sync();
    });
    connect(&catalog_, &Catalog::currentRowsChanged, this, &CursorPicker::showCurrentRow);
}

void CursorPicker::showCurrentRow()
{
    showing_ = true;
    sync();
}

void CursorPicker::sync()
{
    if (!showing_ || !list_.isOpen() || list_.eof())
        setCurrentIndex(-1);
    else
        setCurrentIndex(list_.recNo());
}

} // namespace mv
