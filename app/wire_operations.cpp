// Connects the photo operations to the main window: the commands reach the
// status bar, the repaint and Go! through OperationHooks, set up here. One
// set of commands lives as long as the window, so the export dialog keeps
// the name chosen last.

#include "app/mainform.h"
#include "app/wiring.h"
#include "operations/operation_commands.h"

#include <memory>

namespace mv {

void wireOperations(TmainForm &form)
{
    OperationHooks hooks;
    hooks.status = [&form](const QString &text) { form.setStatusText(0, text); };
    hooks.repaint = [&form] { form.repaint(); };
    hooks.selectList = [&form] { form.ActSelectListExecute(); };
    auto commands = std::make_shared<OperationCommands>(form.catalog(), std::move(hooks), &form);
    form.deletePhotos = [commands] { commands->AcDelePhotoExecute(); };
    form.copyPhotos = [commands] { commands->AcCopyPhotoExecute(); };
    form.movePhotos = [commands] { commands->AcMovePhotoExecute(); };
    form.exportPhotos = [commands] { commands->ActExportPhotoExecute(); };
}

} // namespace mv
