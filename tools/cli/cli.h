#pragma once
// marvisto-cli: the catalogue from scripts and machines without a display.
// Each command is an entry in one table (name, synopsis, help, handler), so
// batch commands can be added beside the others without reshaping anything.
// The commands do what the program's own commands do, through the same
// libraries; no widget code is linked.

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

namespace mv {
class Catalog;
}

namespace mv::cli {

// A failure reported on stderr as "marvisto-cli: message"; exit code 1, or 2
// for a command line that cannot be understood.
class Failure : public std::runtime_error {
public:
    explicit Failure(const QString &message, int code = 1) : std::runtime_error(message.toStdString()), exitCode(code) {}
    int exitCode;
};
inline Failure usage(const QString &message) { return Failure(message, 2); }

struct Context {
    QString folder; // the program folder, with a trailing separator
    // The catalogue opened as the program's first start opens it.
    Catalog &catalog();
    Context();
    ~Context();

private:
    std::unique_ptr<Catalog> catalog_;
};

struct Command {
    const char *name;
    const char *synopsis; // after the command name
    const char *help;
    std::function<int(Context &, QStringList args)> run;
};

// Every command, in the order --help lists them.
const std::vector<Command> &commands();

// Argument helpers: all throw usage errors naming what is wrong.
int toInt(const QString &text, const char *what);
int toIntIn(const QString &text, const char *what, int low, int high);
double toDouble(const QString &text, const char *what);
// Takes "--name VALUE" out of args; empty when absent.
std::optional<QString> takeOption(QStringList &args, const QString &name);
bool takeFlag(QStringList &args, const QString &name);
void expectCount(const QStringList &args, int count, const char *what);
void rejectOptions(const QStringList &args);

void out(const QString &line); // a line on stdout
void err(const QString &line); // a line on stderr

// Registration from the command files.
std::vector<Command> catalogueCommands();
std::vector<Command> fileCommands();
std::vector<Command> imageCommands();
std::vector<Command> importCommands();

} // namespace mv::cli
