#pragma once
// The widget implementation of the UI seam: real message boxes and dialogs.

#include "platform/ui.h"

namespace mv::ui {

class WidgetDelegate final : public Delegate {
public:
    Answer message(Icon icon, const QString &text, Buttons buttons) override;
    QStringList chooseFiles(const FileRequest &request) override;
    bool choosePrinter(QPrinter &printer) override;

    // "Caption (*.jpg)|*.jpg|..." to Qt's "Caption (*.jpg *.JPG);;..." form.
    static QString qtFilter(const QString &filter);
};

} // namespace mv::ui
