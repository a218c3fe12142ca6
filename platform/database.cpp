#include "platform/database.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <sqlite3.h>

namespace mv::db {

namespace {

const QString kSource = QStringLiteral("Data Source=");
const char *const kRowidAlias = "mv_rowid__";

// UCASE(text): the engine's upper-casing, the same rule the program applies
// to search text before it goes into a Like pattern.
void ucaseFunction(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (argc != 1 || sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    const QByteArray upper = QString::fromUtf8(text, sqlite3_value_bytes(argv[0])).toUpper().toUtf8();
    sqlite3_result_text(ctx, upper.constData(), int(upper.size()), SQLITE_TRANSIENT);
}

QVariant columnValue(sqlite3_stmt *stmt, int i)
{
    switch (sqlite3_column_type(stmt, i)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(stmt, i)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt, i));
    case SQLITE_TEXT:
        return QVariant(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, i)),
                                          sqlite3_column_bytes(stmt, i)));
    case SQLITE_BLOB: {
        const void *p = sqlite3_column_blob(stmt, i);
        return QVariant(QByteArray(static_cast<const char *>(p), sqlite3_column_bytes(stmt, i)));
    }
    default:
        return QVariant();
    }
}

// `v` must outlive the statement's last step: a long binary is bound where it
// lies, because copying a photo of several megabytes into SQLite first costs
// as much as a good part of writing it.
void bindValue(sqlite3_stmt *stmt, int index, const QVariant &v)
{
    if (v.isNull() || !v.isValid()) {
        sqlite3_bind_null(stmt, index);
        return;
    }
    switch (v.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::UChar:
        sqlite3_bind_int64(stmt, index, v.toLongLong());
        return;
    case QMetaType::Double:
    case QMetaType::Float:
        sqlite3_bind_double(stmt, index, v.toDouble());
        return;
    case QMetaType::QByteArray: {
        const auto &b = *static_cast<const QByteArray *>(v.constData());
        sqlite3_bind_blob64(stmt, index, b.constData(), sqlite3_uint64(b.size()), SQLITE_STATIC);
        return;
    }
    default: {
        const QByteArray t = v.toString().toUtf8();
        sqlite3_bind_text64(stmt, index, t.constData(), sqlite3_uint64(t.size()), SQLITE_TRANSIENT, SQLITE_UTF8);
        return;
    }
    }
}

QString quoteIdent(const QString &name) { return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"'); }

// A select over one table with a plain column list: the shape that can be
// rewritten to carry rowids (for updates and deferred long binaries).
struct SimpleSelect {
    QStringList columns; // "*" or plain names
    QString table;
    QString rest;
};

bool parseSimpleSelect(const QString &sql, SimpleSelect &out)
{
    static const QRegularExpression re(
        QStringLiteral("^\\s*select\\s+(.+?)\\s+from\\s+([A-Za-z_][A-Za-z0-9_]*)(\\s.*)?$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const auto m = re.match(sql);
    if (!m.hasMatch())
        return false;
    const QString rest = m.captured(3);
    static const QRegularExpression joinish(QStringLiteral("^\\s*,|\\bjoin\\b|\\bunion\\b|\\bgroup\\s+by\\b"),
                                            QRegularExpression::CaseInsensitiveOption);
    if (joinish.match(rest).hasMatch())
        return false;
    static const QRegularExpression ident(QStringLiteral("^(\\*|[A-Za-z_][A-Za-z0-9_]*)$"));
    const QStringList cols = m.captured(1).split(QLatin1Char(','));
    for (const QString &c : cols) {
        const QString t = c.trimmed();
        if (!ident.match(t).hasMatch() || t.compare(QLatin1String("distinct"), Qt::CaseInsensitive) == 0)
            return false;
        out.columns << t;
    }
    out.table = m.captured(2);
    out.rest = rest;
    return true;
}

class Statement {
public:
    Statement(Connection &c, const QString &sql) : c_(c), stmt_(c.prepare(sql)) {}
    ~Statement() { sqlite3_finalize(stmt_); }
    sqlite3_stmt *get() const { return stmt_; }
    // SQLITE_ROW or SQLITE_DONE; anything else throws.
    int step()
    {
        const int rc = sqlite3_step(stmt_);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
            sqlite3_reset(stmt_);
            c_.fail(rc);
        }
        return rc;
    }

private:
    Connection &c_;
    sqlite3_stmt *stmt_;
};

} // namespace

QString connectionText(const QString &path) { return kSource + path; }

QString pathOfConnectionText(const QString &text)
{
    const int at = text.indexOf(kSource, 0, Qt::CaseInsensitive);
    return at < 0 ? QString() : text.mid(at + kSource.size());
}

Connection::~Connection() { close(); }

void Connection::setConnectionText(const QString &text)
{
    close();
    text_ = text;
}

void Connection::open()
{
    close();
    const QString file = path();
    if (file.isEmpty() || !QFileInfo(file).isFile())
        throw Error(QString::fromUtf8(sqlite3_errstr(SQLITE_CANTOPEN)) + QLatin1String(": ") + file);
    const QByteArray name = QFile::encodeName(file);
    readOnly_ = !QFileInfo(file).isWritable();
    int flags = (readOnly_ ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
    int rc = sqlite3_open_v2(name.constData(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg = db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close(db_);
        db_ = nullptr;
        throw Error(msg);
    }
    sqlite3_extended_result_codes(db_, 0);
    sqlite3_busy_timeout(db_, 5000);
    sqlite3_create_function_v2(db_, "UCASE", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, ucaseFunction,
                               nullptr, nullptr, nullptr);
    try {
        // Reading the schema is what tells a database from any other file.
        Statement check(*this, QStringLiteral("select count(*) from sqlite_master"));
        check.step();
    } catch (...) {
        sqlite3_close(db_);
        db_ = nullptr;
        throw;
    }
    // Saving an edited photo replaces a long binary of several megabytes.
    // Some SQLite builds zero every freed page by default, which journals and
    // rewrites the old photo in full before the new one is written; FAST
    // still clears freed content inside table pages but leaves whole free
    // pages as they are. The larger page cache keeps the photo just read, so
    // freeing its pages reads nothing back, and the new photo's pages do not
    // spill (with a journal sync each time) before the commit.
    sqlite3_exec(db_, "pragma secure_delete=FAST; pragma cache_size=-32768", nullptr, nullptr, nullptr);
}

void Connection::close()
{
    for (sqlite3_stmt *st : std::as_const(blobStatements_))
        sqlite3_finalize(st);
    blobStatements_.clear();
    if (db_) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
    tables_.clear();
}

sqlite3 *Connection::handle() const
{
    if (!db_)
        throw Error(QStringLiteral("Connection is not open."));
    return db_;
}

void Connection::fail(int code)
{
    QString msg = db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QString::fromUtf8(sqlite3_errstr(code));
    if (msg.isEmpty() || msg == QLatin1String("not an error"))
        msg = QString::fromUtf8(sqlite3_errstr(code));
    // A failed statement must not leave a transaction open behind it.
    if (db_ && !sqlite3_get_autocommit(db_))
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    throw Error(msg);
}

sqlite3_stmt *Connection::prepare(const QString &sql)
{
    sqlite3 *db = handle();
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt *stmt = nullptr;
    const int rc = sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &stmt, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt);
        fail(rc);
    }
    if (!stmt)
        throw Error(QStringLiteral("Empty statement."));
    return stmt;
}

int Connection::execute(const QString &sql)
{
    Statement st(*this, sql);
    while (st.step() == SQLITE_ROW) {
    }
    return sqlite3_changes(db_);
}

const std::vector<Connection::ColumnInfo> &Connection::tableColumns(const QString &table)
{
    const QString key = table.toLower();
    auto it = tables_.find(key);
    if (it != tables_.end())
        return *it;
    std::vector<ColumnInfo> cols;
    Statement st(*this, QStringLiteral("pragma table_info(%1)").arg(quoteIdent(table)));
    while (st.step() == SQLITE_ROW) {
        ColumnInfo c;
        c.name = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st.get(), 1)));
        const QString type = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st.get(), 2))).toUpper();
        c.longBinary = type.contains(QLatin1String("BLOB")) || type.contains(QLatin1String("BINARY"));
        cols.push_back(c);
    }
    return *tables_.insert(key, cols);
}

QByteArray Connection::readBlob(const QString &table, const QString &column, int64_t rowid)
{
    // Painting a grid reads thousands of these: keep one prepared statement each.
    const QString key = table.toLower() + QLatin1Char('.') + column.toLower();
    sqlite3_stmt *st = blobStatements_.value(key);
    if (!st) {
        st = prepare(QStringLiteral("select %1 from %2 where rowid=?").arg(quoteIdent(column), quoteIdent(table)));
        blobStatements_.insert(key, st);
    }
    sqlite3_bind_int64(st, 1, rowid);
    const int rc = sqlite3_step(st);
    QByteArray out;
    if (rc == SQLITE_ROW && sqlite3_column_type(st, 0) != SQLITE_NULL) {
        const void *p = sqlite3_column_blob(st, 0);
        out = QByteArray(static_cast<const char *>(p), sqlite3_column_bytes(st, 0));
    }
    sqlite3_reset(st);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        fail(rc);
    return out;
}

// ---------------------------------------------------------------------------

Query::Query(Connection *connection, CursorType type) : connection_(connection), type_(type) {}

Query::~Query() = default;

void Query::requireOpen() const
{
    if (!open_)
        throw Error(QStringLiteral("Cursor is not open."));
}

void Query::requireDynamic() const
{
    requireOpen();
    if (type_ != CursorType::Dynamic || table_.isEmpty())
        throw Error(QStringLiteral("Cursor is not updatable."));
}

void Query::close()
{
    open_ = false;
    table_.clear();
    rowids_.clear();
    columns_.clear();
    byName_.clear();
    rowCount_ = 0;
    current_ = 0;
    state_ = State::Browse;
    buffer_.clear();
    changed_.clear();
}

void Query::open()
{
    close();
    if (!connection_ || !connection_->isOpen())
        throw Error(QStringLiteral("Connection is not open."));

    QString sql = sql_;
    SimpleSelect simple;
    std::vector<bool> lazy;
    int offset = 0;
    if (parseSimpleSelect(sql_, simple)) {
        const auto &info = connection_->tableColumns(simple.table);
        if (!info.empty()) {
            QStringList list;
            QStringList names;
            auto addColumn = [&](const QString &name) {
                bool blob = false;
                for (const auto &c : info)
                    if (c.name.compare(name, Qt::CaseInsensitive) == 0)
                        blob = c.longBinary;
                lazy.push_back(blob);
                names << name;
                list << (blob ? QStringLiteral("NULL as %1").arg(quoteIdent(name)) : quoteIdent(name));
            };
            for (const QString &c : simple.columns) {
                if (c == QLatin1String("*")) {
                    for (const auto &ci : info)
                        addColumn(ci.name);
                } else {
                    addColumn(c);
                }
            }
            table_ = simple.table;
            offset = 1;
            sql = QStringLiteral("select rowid as %1, %2 from %3%4")
                      .arg(QLatin1String(kRowidAlias), list.join(QLatin1String(", ")), quoteIdent(table_), simple.rest);
        }
    }

    Statement st(*connection_, sql);
    const int n = sqlite3_column_count(st.get());
    columns_.resize(std::size_t(n - offset));
    for (int i = offset; i < n; ++i) {
        Column &c = columns_[std::size_t(i - offset)];
        c.name = QString::fromUtf8(sqlite3_column_name(st.get(), i));
        c.lazyBlob = !lazy.empty() && lazy[std::size_t(i - offset)];
        if (!byName_.contains(c.name.toLower()))
            byName_.insert(c.name.toLower(), i - offset);
    }
    while (st.step() == SQLITE_ROW) {
        if (offset)
            rowids_.push_back(sqlite3_column_int64(st.get(), 0));
        storeRow(st.get(), offset);
        ++rowCount_;
    }
    open_ = true;
    current_ = 0;
}

void Query::storeRow(sqlite3_stmt *stmt, int offset)
{
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        Column &c = columns_[i];
        if (c.lazyBlob)
            continue;
        const int si = int(i) + offset;
        const int t = sqlite3_column_type(stmt, si);
        if (c.ints && (t == SQLITE_INTEGER || t == SQLITE_NULL)) {
            c.integers.push_back(t == SQLITE_NULL ? 0 : sqlite3_column_int64(stmt, si));
            c.nulls.push_back(t == SQLITE_NULL);
            continue;
        }
        if (c.ints) {
            // The column holds more than integers: keep it as general values.
            c.values.reserve(c.integers.size() + 1);
            for (std::size_t r = 0; r < c.integers.size(); ++r)
                c.values.push_back(c.nulls[r] ? QVariant() : QVariant(qint64(c.integers[r])));
            c.integers.clear();
            c.nulls.clear();
            c.ints = false;
        }
        c.values.push_back(columnValue(stmt, si));
    }
}

QVariant Query::cell(int row, int col) const
{
    const Column &c = columns_[std::size_t(col)];
    if (c.lazyBlob) {
        const QByteArray b = connection_->readBlob(table_, c.name, rowids_[std::size_t(row)]);
        return b.isNull() ? QVariant() : QVariant(b);
    }
    if (c.ints)
        return c.nulls[std::size_t(row)] ? QVariant() : QVariant(qint64(c.integers[std::size_t(row)]));
    return c.values[std::size_t(row)];
}

void Query::setCell(int row, int col, const QVariant &v)
{
    Column &c = columns_[std::size_t(col)];
    if (c.lazyBlob)
        return;
    const bool isInt = v.isNull() || v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int ||
                       v.typeId() == QMetaType::Bool;
    if (c.ints && !isInt) {
        for (std::size_t r = 0; r < c.integers.size(); ++r)
            c.values.push_back(c.nulls[r] ? QVariant() : QVariant(qint64(c.integers[r])));
        c.integers.clear();
        c.nulls.clear();
        c.ints = false;
    }
    if (c.ints) {
        c.integers[std::size_t(row)] = v.isNull() ? 0 : v.toLongLong();
        c.nulls[std::size_t(row)] = v.isNull();
    } else {
        c.values[std::size_t(row)] = v;
    }
}

void Query::dropIndexes()
{
    for (auto &c : columns_) {
        c.index.clear();
        c.indexed = false;
    }
}

void Query::first()
{
    requireOpen();
    current_ = 0;
}

void Query::next()
{
    requireOpen();
    if (current_ < rowCount_)
        ++current_;
}

void Query::prior()
{
    requireOpen();
    if (current_ > 0)
        --current_;
}

void Query::last()
{
    requireOpen();
    current_ = rowCount_ > 0 ? rowCount_ - 1 : 0;
}

void Query::moveTo(int row)
{
    requireOpen();
    current_ = std::clamp(row, 0, rowCount_);
}

int Query::fieldIndex(const QString &name) const { return byName_.value(name.toLower(), -1); }

bool Query::locate(const QString &field, const QVariant &value)
{
    requireOpen();
    const int col = fieldIndex(field);
    if (col < 0)
        throw Error(QStringLiteral("Field '%1' not found.").arg(field));
    Column &c = columns_[std::size_t(col)];
    if (c.ints && !c.lazyBlob) {
        bool ok = false;
        const qint64 key = value.toLongLong(&ok);
        if (!ok)
            return false;
        if (!c.indexed) {
            c.index.reserve(rowCount_);
            for (int r = rowCount_ - 1; r >= 0; --r)
                if (!c.nulls[std::size_t(r)])
                    c.index.insert(c.integers[std::size_t(r)], r);
            c.indexed = true;
        }
        const auto it = c.index.constFind(key);
        if (it == c.index.constEnd())
            return false;
        current_ = *it;
        return true;
    }
    for (int r = 0; r < rowCount_; ++r) {
        if (cell(r, col) == value) {
            current_ = r;
            return true;
        }
    }
    return false;
}

QVariant Query::value(int index) const
{
    requireOpen();
    if (index < 0 || index >= int(columns_.size()))
        throw Error(QStringLiteral("Field index %1 out of range.").arg(index));
    if (state_ != State::Browse) {
        if (changed_[std::size_t(index)] || state_ == State::Insert)
            return buffer_[std::size_t(index)];
    }
    if (current_ < 0 || current_ >= rowCount_)
        throw Error(QStringLiteral("Either BOF or EOF is True, or the current record has been deleted."));
    return cell(current_, index);
}

QVariant Query::value(const QString &field) const
{
    const int i = fieldIndex(field);
    if (i < 0)
        throw Error(QStringLiteral("Field '%1' not found.").arg(field));
    return value(i);
}

QVariant Query::valueAt(int row, int index) const { return cell(row, index); }

qint64 Query::intAt(int row, int index) const
{
    const Column &c = columns_[std::size_t(index)];
    if (c.ints && !c.lazyBlob)
        return c.integers[std::size_t(row)];
    return cell(row, index).toLongLong();
}

void Query::append()
{
    requireDynamic();
    if (state_ != State::Browse)
        post();
    state_ = State::Insert;
    buffer_.assign(columns_.size(), QVariant());
    changed_.assign(columns_.size(), false);
}

void Query::edit()
{
    requireDynamic();
    if (state_ != State::Browse)
        return;
    if (eof())
        throw Error(QStringLiteral("Either BOF or EOF is True, or the current record has been deleted."));
    state_ = State::Edit;
    buffer_.assign(columns_.size(), QVariant());
    changed_.assign(columns_.size(), false);
}

void Query::setValue(const QString &field, const QVariant &v)
{
    requireDynamic();
    const int i = fieldIndex(field);
    if (i < 0)
        throw Error(QStringLiteral("Field '%1' not found.").arg(field));
    if (state_ == State::Browse)
        edit();
    buffer_[std::size_t(i)] = v;
    changed_[std::size_t(i)] = true;
}

void Query::cancel()
{
    state_ = State::Browse;
    buffer_.clear();
    changed_.clear();
}

void Query::readBackRow(int row, int64_t rowid)
{
    QStringList list;
    for (const auto &c : columns_)
        list << (c.lazyBlob ? QStringLiteral("NULL") : quoteIdent(c.name));
    Statement st(*connection_, QStringLiteral("select %1 from %2 where rowid=?").arg(list.join(QLatin1String(", ")), quoteIdent(table_)));
    sqlite3_bind_int64(st.get(), 1, rowid);
    if (st.step() != SQLITE_ROW)
        return;
    for (std::size_t i = 0; i < columns_.size(); ++i)
        if (!columns_[i].lazyBlob)
            setCell(row, int(i), columnValue(st.get(), int(i)));
}

void Query::post()
{
    requireDynamic();
    if (state_ == State::Browse)
        return;
    QStringList names;
    std::vector<QVariant> values;
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        if (changed_[i]) {
            names << quoteIdent(columns_[i].name);
            values.push_back(buffer_[i]);
        }
    }
    if (state_ == State::Insert) {
        QString sql;
        if (names.isEmpty()) {
            sql = QStringLiteral("insert into %1 default values").arg(quoteIdent(table_));
        } else {
            QStringList marks;
            for (int i = 0; i < names.size(); ++i)
                marks << QStringLiteral("?");
            sql = QStringLiteral("insert into %1 (%2) values (%3)")
                      .arg(quoteIdent(table_), names.join(QLatin1String(", ")), marks.join(QLatin1String(", ")));
        }
        Statement st(*connection_, sql);
        for (std::size_t i = 0; i < values.size(); ++i)
            bindValue(st.get(), int(i) + 1, values[i]);
        st.step();
        const int64_t rowid = sqlite3_last_insert_rowid(connection_->handle());
        // The new row joins the cursor at its end, with the values the engine gave it.
        rowids_.push_back(rowid);
        for (auto &c : columns_) {
            if (c.lazyBlob)
                continue;
            if (c.ints) {
                c.integers.push_back(0);
                c.nulls.push_back(true);
            } else {
                c.values.push_back(QVariant());
            }
        }
        ++rowCount_;
        current_ = rowCount_ - 1;
        readBackRow(current_, rowid);
    } else {
        if (!names.isEmpty()) {
            QStringList sets;
            for (const QString &n : names)
                sets << n + QLatin1String(" = ?");
            Statement st(*connection_, QStringLiteral("update %1 set %2 where rowid = ?").arg(quoteIdent(table_), sets.join(QLatin1String(", "))));
            for (std::size_t i = 0; i < values.size(); ++i)
                bindValue(st.get(), int(i) + 1, values[i]);
            sqlite3_bind_int64(st.get(), int(values.size()) + 1, rowids_[std::size_t(current_)]);
            st.step();
            readBackRow(current_, rowids_[std::size_t(current_)]);
        }
    }
    dropIndexes();
    state_ = State::Browse;
    buffer_.clear();
    changed_.clear();
}

void Query::remove()
{
    requireDynamic();
    if (state_ == State::Insert) {
        cancel();
        return;
    }
    cancel();
    if (eof())
        throw Error(QStringLiteral("Either BOF or EOF is True, or the current record has been deleted."));
    Statement st(*connection_, QStringLiteral("delete from %1 where rowid = ?").arg(quoteIdent(table_)));
    sqlite3_bind_int64(st.get(), 1, rowids_[std::size_t(current_)]);
    st.step();
    const std::size_t r = std::size_t(current_);
    rowids_.erase(rowids_.begin() + std::ptrdiff_t(r));
    for (auto &c : columns_) {
        if (c.lazyBlob)
            continue;
        if (c.ints) {
            c.integers.erase(c.integers.begin() + std::ptrdiff_t(r));
            c.nulls.erase(c.nulls.begin() + std::ptrdiff_t(r));
        } else {
            c.values.erase(c.values.begin() + std::ptrdiff_t(r));
        }
    }
    --rowCount_;
    if (current_ > rowCount_)
        current_ = rowCount_;
    dropIndexes();
}

} // namespace mv::db
