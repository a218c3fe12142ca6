#pragma once
// Pieces shared by the correction dialogs: the integer spin edit and the
// focus test that decides which control a change came from.

#include <QSpinBox>
#include <functional>

class QDialog;
class QHBoxLayout;
class QPushButton;
class QWidget;

namespace mv::imaging {

// An integer spin edit that, like the dialogs expect, reports every change
// of its text (textChanged()) and reads text that is not an integer as 0;
// when it loses the focus such text is replaced by "0". Integers outside the
// range cannot be typed.
class TSpinEdit : public QSpinBox {
    Q_OBJECT
public:
    TSpinEdit(int minimum, int maximum, int value, QWidget *parent = nullptr);

    // The text as an integer, 0 when it is none.
    int readValue() const;

signals:
    void textChanged(const QString &text);

protected:
    QValidator::State validate(QString &input, int &pos) const override;
    void fixup(QString &input) const override;
};

// True when w or one of its children holds the keyboard focus of the active
// window. The dialogs act on a control's change only when it has the focus,
// so changes that one handler makes to its partner control are not echoed.
bool holdsFocus(const QWidget *w);

// The "OK", "Cancel", "Reset" row at the foot of a dialog, right-aligned.
// None of the buttons is a default button: Enter in a spin edit must not
// close the dialog. Each click runs its handler under the top-level guard.
struct ButtonRow {
    QPushButton *ok = nullptr, *cancel = nullptr, *reset = nullptr;
    QHBoxLayout *layout = nullptr;
};
ButtonRow MakeOkCancelResetRow(QWidget *parent, const std::function<void()> &ok, const std::function<void()> &cancel,
                               const std::function<void()> &reset);

} // namespace mv::imaging
