#include "platform/ui.h"

namespace mv::ui {

namespace {

class Unattended final : public Delegate {
public:
    Answer message(Icon, const QString &, Buttons) override { return Answer::Cancel; }
    QStringList chooseFiles(const FileRequest &) override { return {}; }
    bool choosePrinter(QPrinter &) override { return false; }
};

Unattended unattended;
Delegate *installed = nullptr;

} // namespace

Delegate &delegate() { return installed ? *installed : unattended; }
void setDelegate(Delegate *d) { installed = d; }

void error(const QString &text) { delegate().message(Icon::Error, text, Buttons::Ok); }
void information(const QString &text) { delegate().message(Icon::Information, text, Buttons::Ok); }
bool confirm(const QString &text) { return delegate().message(Icon::Question, text, Buttons::OkCancel) == Answer::Ok; }
bool confirmError(const QString &text) { return delegate().message(Icon::Error, text, Buttons::OkCancel) == Answer::Ok; }

} // namespace mv::ui

namespace mv::ui {

void guarded(const std::function<void()> &command)
{
    try {
        command();
    } catch (const std::exception &e) {
        error(QString::fromUtf8(e.what()));
    } catch (...) {
        error(QStringLiteral("Unknown error."));
    }
}

} // namespace mv::ui
