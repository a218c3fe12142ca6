#pragma once
// A small database layer over SQLite that offers what the catalogue needs of
// its engine: connections opened by a connection text whose only variable part
// is the file's path, static cursors (a snapshot taken at opening), dynamic
// updatable cursors (append, edit, post, cancel, delete), fields by name
// without regard to case, long binaries as raw bytes, and executed statements.
// Every engine failure is thrown as db::Error carrying SQLite's own message.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVariant>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace mv::db {

class Error : public std::runtime_error {
public:
    explicit Error(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

// The connection text for a database file; the path is its only variable part.
QString connectionText(const QString &path);
// The path a connection text names (the inverse of connectionText).
QString pathOfConnectionText(const QString &text);

class Connection {
public:
    Connection() = default;
    explicit Connection(const QString &connectionText) : text_(connectionText) {}
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    void setConnectionText(const QString &text);
    QString connectionText() const { return text_; }
    QString path() const { return pathOfConnectionText(text_); }

    // Opens an existing database file (never creates one). A file that is
    // not a database fails here, not at the first statement.
    void open();
    void close();
    bool isOpen() const { return db_ != nullptr; }
    bool isReadOnly() const { return readOnly_; }

    // Runs one statement that returns no rows; returns the number of rows changed.
    int execute(const QString &sql);

    sqlite3 *handle() const;

    struct ColumnInfo {
        QString name;
        bool longBinary = false;
    };
    // The columns of a table in their stored order (cached for the connection).
    const std::vector<ColumnInfo> &tableColumns(const QString &table);

    // Prepares a statement; throws Error with SQLite's message on failure.
    sqlite3_stmt *prepare(const QString &sql);
    [[noreturn]] void fail(int code = 0);
    // Reads one long binary by rowid without loading anything else.
    QByteArray readBlob(const QString &table, const QString &column, int64_t rowid);

private:
    QString text_;
    sqlite3 *db_ = nullptr;
    bool readOnly_ = false;
    QHash<QString, std::vector<ColumnInfo>> tables_;
    QHash<QString, sqlite3_stmt *> blobStatements_;
};

enum class CursorType { Static, Dynamic };

// A cursor over the rows of one statement. Static cursors are read-only
// snapshots; dynamic cursors on a single-table select can insert, edit and
// delete rows of that table. Long binaries of single-table selects are read
// from the file when asked for, so a snapshot of thousands of thumbnails
// holds only their row numbers.
class Query {
public:
    explicit Query(Connection *connection = nullptr, CursorType type = CursorType::Static);
    ~Query();
    Query(const Query &) = delete;
    Query &operator=(const Query &) = delete;

    void setConnection(Connection *connection) { connection_ = connection; }
    Connection *connection() const { return connection_; }
    CursorType type() const { return type_; }

    void setSql(const QString &sql) { sql_ = sql; }
    QString sql() const { return sql_; }

    void open();
    void close();
    bool isOpen() const { return open_; }

    int recordCount() const { return rowCount_; }
    int recNo() const { return current_; } // 0-based; == recordCount() at eof
    bool eof() const { return !open_ || current_ >= rowCount_; }
    bool bof() const { return !open_ || current_ < 0 || rowCount_ == 0; }
    bool isEmpty() const { return rowCount_ == 0; }
    void first();
    void next();
    void prior();
    void last();
    void moveTo(int row);
    // Makes the first row whose field equals value current; false leaves the
    // position unchanged. Integer fields are found through a hash index.
    bool locate(const QString &field, const QVariant &value);

    int fieldCount() const { return int(columns_.size()); }
    QString fieldName(int index) const { return columns_[std::size_t(index)].name; }
    int fieldIndex(const QString &name) const; // -1 if none
    bool hasField(const QString &name) const { return fieldIndex(name) >= 0; }

    // Values of the current row (or of the edit buffer while editing).
    QVariant value(const QString &field) const;
    QVariant value(int index) const;
    bool isNull(const QString &field) const { return value(field).isNull(); }
    qint64 intValue(const QString &field) const { return value(field).toLongLong(); }
    QString text(const QString &field) const { return value(field).toString(); }
    bool boolValue(const QString &field) const { return value(field).toLongLong() != 0; }
    QByteArray bytes(const QString &field) const { return value(field).toByteArray(); }
    // Values of any row, without moving; for painting many rows.
    QVariant valueAt(int row, int index) const;
    qint64 intAt(int row, int index) const;

    // Dynamic cursors only.
    enum class State { Browse, Edit, Insert };
    State state() const { return state_; }
    void append();              // start a new row (placed at the end)
    void insert() { append(); } // rows have no order of their own here
    void edit();
    void setValue(const QString &field, const QVariant &value);
    void post();
    void cancel();
    void remove(); // delete the current row from the table

private:
    struct Column {
        QString name;
        bool lazyBlob = false;       // read from the table by rowid
        bool ints = true;            // stored in `integers` (with `nulls`)
        std::vector<int64_t> integers;
        std::vector<bool> nulls;
        std::vector<QVariant> values;
        QHash<int64_t, int> index;   // value -> first row, built on demand
        bool indexed = false;
    };
    void requireOpen() const;
    void requireDynamic() const;
    void storeRow(sqlite3_stmt *stmt, int columnOffset);
    void setCell(int row, int col, const QVariant &v);
    QVariant cell(int row, int col) const;
    void readBackRow(int row, int64_t rowid);
    void dropIndexes();

    Connection *connection_ = nullptr;
    CursorType type_;
    QString sql_;
    bool open_ = false;
    QString table_;                 // single-table selects only
    std::vector<int64_t> rowids_;   // parallel to the rows when table_ is set
    std::vector<Column> columns_;
    QHash<QString, int> byName_;
    int rowCount_ = 0;
    int current_ = 0;
    State state_ = State::Browse;
    std::vector<QVariant> buffer_;
    std::vector<bool> changed_;
};

} // namespace mv::db
