#include "operations/formselbase.h"

#include <QLabel>
#include <QPushButton>

namespace mv {

TFormSelBase::TFormSelBase(Catalog &catalog, QWidget *parent)
    : QDialog(parent), QLBaseW(&catalog.ADOConnection1, db::CursorType::Static)
{
    setObjectName(QStringLiteral("FormSelBase"));
    setWindowTitle(QStringLiteral("Select Destination Media File"));
    setFixedSize(300, 132);

    Label1 = new QLabel(QStringLiteral("Label PhotoBase File (ReadOnly=false)"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(16, 12, 268, 18);

    QLBaseW.setSql(sql::kWritableBases);
    QLBaseW.open();
    DBLookupComboBox1 = new ListPicker(QLBaseW, QStringLiteral("Label"), this);
    DBLookupComboBox1->setObjectName(QStringLiteral("DBLookupComboBox1"));
    DBLookupComboBox1->setGeometry(16, 34, 268, 24);
    DBLookupComboBox1->reload();

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(60, 88, 84, 28);
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("Cancel"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(156, 88, 84, 28);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

QString TFormSelBase::destinationFile() const
{
    return QLBaseW.isOpen() && !QLBaseW.eof() ? QLBaseW.text(QStringLiteral("File")) : QString();
}

qint64 TFormSelBase::destinationBase() const { return Catalog::currentId(QLBaseW); }

} // namespace mv
