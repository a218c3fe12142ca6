#include "operations/operation_commands.h"

#include "operations/formmove.h"
#include "operations/formselbase.h"

namespace mv {

OperationCommands::OperationCommands(Catalog &catalog, OperationHooks hooks, QWidget *dialogParent)
    : catalog_(catalog), operations_(catalog, std::move(hooks)), parent_(dialogParent)
{
}

void OperationCommands::AcCopyPhotoExecute()
{
    QString file;
    qint64 base = 0;
    {
        TFormSelBase chooser(catalog_, parent_);
        if (showModal(chooser) == QDialog::Accepted) {
            file = chooser.destinationFile();
            base = chooser.destinationBase();
        }
    }
    operations_.copyMarked(file, base);
}

void OperationCommands::AcMovePhotoExecute()
{
    MoveValues values;
    bool ticked = false;
    {
        TFormMove dialog(catalog_, parent_);
        if (showModal(dialog) != QDialog::Accepted)
            return;
        values = dialog.values();
        ticked = dialog.anyTicked();
    }
    if (ticked)
        operations_.moveMarked(values);
}

} // namespace mv
