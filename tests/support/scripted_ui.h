#pragma once
// A UI delegate for tests: answers message boxes and file dialogs from a
// script and records every text it was shown.

#include "platform/ui.h"

#include <QStringList>
#include <deque>
#include <vector>

namespace mv::test {

class ScriptedUi final : public ui::Delegate {
public:
    struct Shown {
        ui::Icon icon;
        QString text;
        ui::Buttons buttons;
    };

    ScriptedUi() { ui::setDelegate(this); }
    ~ScriptedUi() override { ui::setDelegate(nullptr); }

    // Answers for the next questions, in order; once used up, every
    // question is answered with `fallback`.
    std::deque<ui::Answer> answers;
    ui::Answer fallback = ui::Answer::Ok;
    // Results of the next file dialogs, in order (an empty list cancels).
    std::deque<QStringList> files;
    // Called when a message is shown, before it is answered.
    std::function<void(const Shown &)> onMessage;

    std::vector<Shown> shown;
    std::vector<ui::FileRequest> fileRequests;
    int printerRequests = 0;
    bool printerAnswer = false;

    QStringList texts() const
    {
        QStringList out;
        for (const auto &s : shown)
            out << s.text;
        return out;
    }
    void clear() { shown.clear(); }

    ui::Answer message(ui::Icon icon, const QString &text, ui::Buttons buttons) override
    {
        shown.push_back({icon, text, buttons});
        if (onMessage)
            onMessage(shown.back());
        if (answers.empty())
            return fallback;
        const ui::Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    QStringList chooseFiles(const ui::FileRequest &request) override
    {
        fileRequests.push_back(request);
        if (files.empty())
            return {};
        QStringList f = files.front();
        files.pop_front();
        return f;
    }
    bool choosePrinter(QPrinter &) override
    {
        ++printerRequests;
        return printerAnswer;
    }
};

} // namespace mv::test
