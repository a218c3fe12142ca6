#include "tools/cli/cli.h"

#include "catalog/catalog.h"

#include <cstdio>

namespace mv::cli {

Context::Context() = default;
Context::~Context() = default;

Catalog &Context::catalog()
{
    if (!catalog_) {
        catalog_ = std::make_unique<Catalog>(folder);
        catalog_->openAtStartup();
    }
    return *catalog_;
}

const std::vector<Command> &commands()
{
    static const std::vector<Command> all = [] {
        std::vector<Command> v;
        for (auto part : {catalogueCommands(), importCommands(), fileCommands(), imageCommands()})
            v.insert(v.end(), part.begin(), part.end());
        return v;
    }();
    return all;
}

int toInt(const QString &text, const char *what)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok)
        throw usage(QStringLiteral("%1 must be a whole number, not '%2'").arg(QLatin1String(what), text));
    return v;
}

int toIntIn(const QString &text, const char *what, int low, int high)
{
    const int v = toInt(text, what);
    if (v < low || v > high)
        throw usage(QStringLiteral("%1 must lie in %2..%3, not %4").arg(QLatin1String(what)).arg(low).arg(high).arg(v));
    return v;
}

double toDouble(const QString &text, const char *what)
{
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok)
        throw usage(QStringLiteral("%1 must be a number, not '%2'").arg(QLatin1String(what), text));
    return v;
}

std::optional<QString> takeOption(QStringList &args, const QString &name)
{
    const int at = args.indexOf(name);
    if (at < 0)
        return std::nullopt;
    if (at + 1 >= args.size())
        throw usage(QStringLiteral("%1 needs a value").arg(name));
    const QString value = args.at(at + 1);
    args.remove(at, 2);
    return value;
}

bool takeFlag(QStringList &args, const QString &name) { return args.removeAll(name) > 0; }

void expectCount(const QStringList &args, int count, const char *what)
{
    if (args.size() != count)
        throw usage(QStringLiteral("expected %1").arg(QLatin1String(what)));
}

void rejectOptions(const QStringList &args)
{
    for (const QString &a : args)
        if (a.startsWith(QLatin1String("--")))
            throw usage(QStringLiteral("unknown option %1").arg(a));
}

void out(const QString &line)
{
    const QByteArray b = line.toUtf8() + '\n';
    std::fwrite(b.constData(), 1, std::size_t(b.size()), stdout);
}

void err(const QString &line)
{
    const QByteArray b = line.toUtf8() + '\n';
    std::fwrite(b.constData(), 1, std::size_t(b.size()), stderr);
}

} // namespace mv::cli
