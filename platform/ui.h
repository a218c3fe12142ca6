#pragma once
// The one seam through which the program asks the user anything: message
// boxes, file dialogs and the print dialog. The program installs the widget
// implementation; tests install a scripted one that answers and records.

#include <QString>
#include <QStringList>

class QPrinter;

namespace mv::ui {

enum class Icon { Error, Information, Warning, Question };
enum class Buttons { Ok, OkCancel };
enum class Answer { Ok, Cancel };

struct FileRequest {
    enum class Mode { OpenOne, OpenMany, Save };
    Mode mode = Mode::OpenOne;
    QString title;
    // Filter text in "Caption (*.ext)|*.ext|Caption 2|*.x" form, first entry selected.
    QString filter;
    QString directory;
    QString fileName;
    bool confirmOverwrite = true;
    bool confirmCreate = false;
};

class Delegate {
public:
    virtual ~Delegate() = default;
    virtual Answer message(Icon icon, const QString &text, Buttons buttons) = 0;
    // The chosen paths; empty when the user cancels.
    virtual QStringList chooseFiles(const FileRequest &request) = 0;
    // Lets the user set up the printer; false when cancelled.
    virtual bool choosePrinter(QPrinter &printer) = 0;
};

// The installed delegate. Without one, every question is answered Cancel.
Delegate &delegate();
void setDelegate(Delegate *d);

// Shorthands.
void error(const QString &text);
void information(const QString &text);
bool confirm(const QString &text); // OK and Cancel; true for OK
bool confirmError(const QString &text); // error box with OK and Cancel

} // namespace mv::ui

#include <exception>
#include <functional>
#include <type_traits>

namespace mv::ui {

// The top-level handler: runs a command and, if it throws, shows the error's
// own text in an error box; the program then goes back to waiting.
void guarded(const std::function<void()> &command);
// The same as a callable, for signal connections.
template <typename F>
auto guard(F f)
{
    return [f](auto &&...args) {
        guarded([&] {
            if constexpr (std::is_invocable_v<const F &, decltype(args)...>)
                f(args...);
            else
                f();
        });
    };
}

} // namespace mv::ui
