#include "imaging/formcommon.h"

#include "platform/ui.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QLineEdit>

#include <algorithm>

namespace mv::imaging {

namespace {

bool parseInt(const QString &text, int &value)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (ok)
        value = v;
    return ok;
}

} // namespace

TSpinEdit::TSpinEdit(int minimum, int maximum, int value, QWidget *parent) : QSpinBox(parent)
{
    setRange(minimum, maximum);
    setValue(value);
    setKeyboardTracking(true);
    connect(lineEdit(), &QLineEdit::textChanged, this, &TSpinEdit::textChanged);
}

int TSpinEdit::readValue() const
{
    int v = 0;
    if (!parseInt(lineEdit()->text(), v))
        return 0;
    return std::clamp(v, minimum(), maximum());
}

QValidator::State TSpinEdit::validate(QString &input, int &) const
{
    int v = 0;
    if (!parseInt(input, v))
        return QValidator::Intermediate; // typed, read as 0
    return v >= minimum() && v <= maximum() ? QValidator::Acceptable : QValidator::Invalid;
}

void TSpinEdit::fixup(QString &input) const
{
    int v = 0;
    if (!parseInt(input, v))
        input = QStringLiteral("0");
}

bool holdsFocus(const QWidget *w)
{
    const QWidget *focus = QApplication::focusWidget();
    return focus && (focus == w || w->isAncestorOf(focus));
}

ButtonRow MakeOkCancelResetRow(QWidget *parent, const std::function<void()> &ok, const std::function<void()> &cancel,
                               const std::function<void()> &reset)
{
    ButtonRow row;
    row.ok = new QPushButton(QStringLiteral("OK"), parent);
    row.cancel = new QPushButton(QStringLiteral("Cancel"), parent);
    row.reset = new QPushButton(QStringLiteral("Reset"), parent);
    const std::pair<QPushButton *, std::function<void()>> pairs[] = {{row.ok, ok}, {row.cancel, cancel}, {row.reset, reset}};
    for (const auto &[button, handler] : pairs) {
        button->setAutoDefault(false);
        QObject::connect(button, &QPushButton::clicked, parent, ui::guard([handler] { handler(); }));
    }
    row.layout = new QHBoxLayout;
    row.layout->addStretch(1);
    row.layout->addWidget(row.ok);
    row.layout->addWidget(row.cancel);
    row.layout->addWidget(row.reset);
    return row;
}

} // namespace mv::imaging
