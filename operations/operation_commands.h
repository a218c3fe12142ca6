#pragma once
// The four photo commands as the main window runs them: delete and export
// straight through the widget-free operations, copy and move after their
// dialogs.

#include "operations/photo_operations.h"

#include <QDialog>
#include <functional>

class QWidget;

namespace mv {

class OperationCommands {
public:
    OperationCommands(Catalog &catalog, OperationHooks hooks, QWidget *dialogParent = nullptr);

    void AcDelePhotoExecute() { operations_.AcDelePhotoExecute(); }
    void AcCopyPhotoExecute();
    void AcMovePhotoExecute();
    void ActExportPhotoExecute() { operations_.ActExportPhotoExecute(); }

    PhotoOperations &operations() { return operations_; }

    // Shows a dialog modally and returns its result; tests drive the dialog
    // here instead of waiting for a user.
    std::function<int(QDialog &)> showModal = [](QDialog &d) { return d.exec(); };

private:
    Catalog &catalog_;
    PhotoOperations operations_;
    QWidget *parent_;
};

} // namespace mv
