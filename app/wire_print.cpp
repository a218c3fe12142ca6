// Connects the print dialog to the main window: the dialog writes its
// progress into the first status panel through PrintHooks.

#include "app/mainform.h"
#include "app/wiring.h"
#include "print/formprint.h"

namespace mv {

void wirePrint(TmainForm &form)
{
    form.printPhotos = [&form] {
        PrintHooks hooks;
        hooks.status = [&form](const QString &text) { form.setStatusText(0, text); };
        ActPrintExecute(form.catalog(), hooks, &form);
    };
}

} // namespace mv
