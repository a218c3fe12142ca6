// marvisto-cli [--folder DIR] COMMAND ...
#include "tools/cli/cli.h"

#include "platform/files.h"
#include "platform/ui.h"

#include <QCoreApplication>
#include <QDir>

namespace {

using namespace mv;

// Without a person to ask: the command itself is the user's OK to its
// questions; refusals and the prompt for a missing disc become errors.
class BatchUi final : public ui::Delegate {
public:
    QStringList errors;
    ui::Answer message(ui::Icon icon, const QString &text, ui::Buttons buttons) override
    {
        if (icon == ui::Icon::Question && buttons == ui::Buttons::OkCancel)
            return ui::Answer::Ok;
        errors << text;
        return ui::Answer::Cancel;
    }
    QStringList chooseFiles(const ui::FileRequest &) override { return {}; }
    bool choosePrinter(QPrinter &) override { return false; }
};

void printHelp()
{
    cli::out(QStringLiteral("usage: marvisto-cli [--folder DIR] COMMAND [ARGS...]\n\n"
                            "DIR is the program folder (default: the folder of marvisto-cli).\n"
                            "Every command takes --help.\n\nCommands:"));
    for (const auto &c : cli::commands())
        cli::out(QStringLiteral("  %1 %2").arg(QLatin1String(c.name), QLatin1String(c.synopsis)));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Marvisto"));
    QStringList args = QCoreApplication::arguments().mid(1);
    BatchUi batch;
    ui::setDelegate(&batch);
    try {
        cli::Context context;
        context.folder = files::programFolder();
        if (!args.isEmpty() && args.first() == QLatin1String("--folder")) {
            if (args.size() < 2)
                throw cli::usage(QStringLiteral("--folder needs a value"));
            context.folder = QDir(args.at(1)).absolutePath() + QLatin1Char('/');
            args.remove(0, 2);
        }
        if (args.isEmpty() || args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")) {
            printHelp();
            return args.isEmpty() ? 2 : 0;
        }
        const QString name = args.takeFirst();
        for (const auto &c : cli::commands()) {
            if (name != QLatin1String(c.name))
                continue;
            if (args.contains(QLatin1String("--help"))) {
                cli::out(QStringLiteral("usage: marvisto-cli [--folder DIR] %1 %2\n\n%3")
                             .arg(QLatin1String(c.name), QLatin1String(c.synopsis), QLatin1String(c.help)));
                return 0;
            }
            int rc = c.run(context, args);
            for (const QString &e : batch.errors)
                cli::err(QStringLiteral("marvisto-cli: %1").arg(e));
            if (!batch.errors.isEmpty() && rc == 0)
                rc = 1;
            return rc;
        }
        throw cli::usage(QStringLiteral("unknown command '%1' (see marvisto-cli --help)").arg(name));
    } catch (const cli::Failure &f) {
        for (const QString &e : batch.errors)
            cli::err(QStringLiteral("marvisto-cli: %1").arg(e));
        cli::err(QStringLiteral("marvisto-cli: %1").arg(QString::fromStdString(f.what())));
        return f.exitCode;
    } catch (const std::exception &e) {
        for (const QString &m : batch.errors)
            cli::err(QStringLiteral("marvisto-cli: %1").arg(m));
        cli::err(QStringLiteral("marvisto-cli: %1").arg(QString::fromUtf8(e.what())));
        return 1;
    }
}
