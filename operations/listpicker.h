#pragma once
// A drop-down that picks a row of a dialog's own list cursor: choosing an
// item makes that row the list's current row. It shows nothing until the
// user picks, and it is tied to no record, unlike the catalogue's pickers.

#include "platform/database.h"

#include <QComboBox>

namespace mv {

class ListPicker : public QComboBox {
    Q_OBJECT
public:
    ListPicker(db::Query &list, const QString &displayField, QWidget *parent = nullptr);
    // Fills the items from the list's rows (after the list was opened).
    void reload();
    // What a click on an item does.
    void pick(int row);

private:
    db::Query &list_;
    QString field_;
};

} // namespace mv
