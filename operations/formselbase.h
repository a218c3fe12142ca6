#pragma once
// The destination chooser of Copy: one picker over the writable PhotoBase
// files. Its answer is the current row of its list, the first row until the
// user picks another.

#include "catalog/catalog.h"
#include "operations/listpicker.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace mv {

class TFormSelBase : public QDialog {
    Q_OBJECT
public:
    explicit TFormSelBase(Catalog &catalog, QWidget *parent = nullptr);

    // The File and Id of the current row; empty and 0 when the list is empty.
    QString destinationFile() const;
    qint64 destinationBase() const;

    db::Query QLBaseW;
    QLabel *Label1;
    ListPicker *DBLookupComboBox1;
    QPushButton *Button1, *Button2; // OK, Cancel
};

} // namespace mv
