#pragma once
// The windows of the other folders register with the main window here; each
// folder has one function, called once by the program entry.

namespace mv {

class TmainForm;

void wireViewer(TmainForm &form);
void wireImport(TmainForm &form);
void wirePrint(TmainForm &form);
void wireOperations(TmainForm &form);

} // namespace mv
