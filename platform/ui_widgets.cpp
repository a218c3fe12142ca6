#include "platform/ui_widgets.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

namespace mv::ui {

Answer WidgetDelegate::message(Icon icon, const QString &text, Buttons buttons)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(QApplication::applicationName());
    box.setText(text);
    switch (icon) {
    case Icon::Error: box.setIcon(QMessageBox::Critical); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Warning: box.setIcon(QMessageBox::Warning); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    }
    if (buttons == Buttons::OkCancel) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    return box.exec() == QMessageBox::Ok ? Answer::Ok : Answer::Cancel;
}

QString WidgetDelegate::qtFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString caption = parts[i];
        QStringList patterns;
        for (const QString &p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            patterns << p.trimmed();
            if (p.trimmed().toUpper() != p.trimmed())
                patterns << p.trimmed().toUpper();
        }
        const int open = caption.indexOf(QLatin1Char('('));
        if (open >= 0)
            caption = caption.left(open).trimmed();
        out << QStringLiteral("%1 (%2)").arg(caption, patterns.join(QLatin1Char(' ')));
    }
    return out.join(QLatin1String(";;"));
}

QStringList WidgetDelegate::chooseFiles(const FileRequest &request)
{
    QFileDialog dialog(QApplication::activeWindow(), request.title, request.directory, qtFilter(request.filter));
    switch (request.mode) {
    case FileRequest::Mode::OpenOne: dialog.setFileMode(QFileDialog::ExistingFile); break;
    case FileRequest::Mode::OpenMany: dialog.setFileMode(QFileDialog::ExistingFiles); break;
    case FileRequest::Mode::Save:
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        if (!request.confirmOverwrite)
            dialog.setOption(QFileDialog::DontConfirmOverwrite);
        break;
    }
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    QStringList files = dialog.selectedFiles();
    if (request.mode == FileRequest::Mode::Save && request.confirmCreate && !files.isEmpty() &&
        !QFileInfo::exists(files.first())) {
        if (message(Icon::Question, QStringLiteral("%1\nThis file does not exist.\nDo you want to create it?").arg(files.first()),
                    Buttons::OkCancel) != Answer::Ok)
            return {};
    }
    return files;
}

bool WidgetDelegate::choosePrinter(QPrinter &printer)
{
    QPrintDialog dialog(&printer, QApplication::activeWindow());
    return dialog.exec() == QDialog::Accepted;
}

} // namespace mv::ui
