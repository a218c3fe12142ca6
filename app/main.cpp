#include "app/mainform.h"
#include "app/wiring.h"
#include "platform/files.h"
#include "platform/ui_widgets.h"
#include "viewer/formplayer.h"

#include <QApplication>
#include <QScreen>

namespace {

// The last line of defence: anything a handler let escape is shown, and the
// program goes back to waiting.
class Application : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject *receiver, QEvent *event) override
    {
        bool result = false;
        mv::ui::guarded([&] { result = QApplication::notify(receiver, event); });
        return result;
    }
};

} // namespace

int main(int argc, char **argv)
{
    // The media backend reads its settings when the application starts.
    mv::prepareMediaEnvironment();
    Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Marvisto"));
    mv::ui::WidgetDelegate delegate;
    mv::ui::setDelegate(&delegate);
    int rc = 1;
    mv::ui::guarded([&] {
        mv::TmainForm form(mv::files::programFolder());
        mv::wireImport(form);
        mv::wirePrint(form);
        mv::wireOperations(form);
        mv::wireViewer(form);
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            form.setGeometry(screen->availableGeometry());
        form.showMaximized();
        rc = app.exec();
    });
    return rc;
}
