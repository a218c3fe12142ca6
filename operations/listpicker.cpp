#include "operations/listpicker.h"

namespace mv {

ListPicker::ListPicker(db::Query &list, const QString &displayField, QWidget *parent)
    : QComboBox(parent), list_(list), field_(displayField)
{
    setMaxVisibleItems(21);
    connect(this, &QComboBox::activated, this, &ListPicker::pick);
}

void ListPicker::reload()
{
    clear();
    if (list_.isOpen()) {
        const int col = list_.fieldIndex(field_);
        for (int r = 0; r < list_.recordCount(); ++r)
            addItem(col < 0 ? QString() : list_.valueAt(r, col).toString());
    }
    setCurrentIndex(-1);
}

void ListPicker::pick(int row)
{
    if (!list_.isOpen() || row < 0 || row >= list_.recordCount())
        return;
    list_.moveTo(row);
    setCurrentIndex(row);
}

} // namespace mv
