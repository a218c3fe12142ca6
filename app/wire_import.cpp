// Connects the import dialog and the table editor to the main window: the
// dialog reaches the status bar and Go! through ImportHooks, set up here.

#include "app/mainform.h"
#include "app/wiring.h"
#include "catalog/tableeditor.h"
#include "import/formimport.h"

namespace mv {

void wireImport(TmainForm &form)
{
    form.importPhotos = [&form] {
        ImportHooks hooks;
        hooks.status = [&form](const QString &text) { form.setStatusText(0, text); };
        hooks.repaintMain = [&form] { form.repaint(); };
        hooks.selectList = [&form] { form.ActSelectListExecute(); };
        TFormImport dialog(form.catalog(), hooks, &form);
        dialog.exec();
    };
    form.editTable = [&form](db::Query &list, const QString &caption) {
        TFormBase editor(form.catalog(), list, &form);
        editor.setWindowTitle(caption);
        editor.exec();
    };
}

} // namespace mv
