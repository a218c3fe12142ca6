#include "catalog/tableeditor.h"

#include "platform/ui.h"

#include <QAction>
#include <QEvent>
#include <QHeaderView>
#include <QRegularExpression>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>

namespace mv {

namespace {

const QString kId = QStringLiteral("Id");

} // namespace

// ---- model ----

int TableEditorModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !form_.attached_ || !form_.list_.isOpen())
        return 0;
    return form_.list_.recordCount() + (form_.state_ == TFormBase::State::Insert ? 1 : 0);
}

int TableEditorModel::columnCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !form_.attached_ || !form_.list_.isOpen())
        return 0;
    return form_.list_.fieldCount();
}

QVariant TableEditorModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const QString field = form_.list_.fieldName(index.column());
    const QVariant v = form_.shown(index.row(), index.column());
    if (form_.isBoolean(field)) {
        if (role == Qt::CheckStateRole)
            return v.toLongLong() != 0 ? Qt::Checked : Qt::Unchecked;
        return {};
    }
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return v;
    return {};
}

bool TableEditorModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.row() != form_.currentRow())
        return false;
    const QString field = form_.list_.fieldName(index.column());
    if (form_.isBoolean(field)) {
        if (role != Qt::CheckStateRole)
            return false;
        form_.setField(field, value.toInt() == Qt::Checked);
    } else {
        if (role != Qt::EditRole)
            return false;
        form_.setField(field, value);
    }
    emit dataChanged(index, index);
    return true;
}

Qt::ItemFlags TableEditorModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const QString field = form_.list_.fieldName(index.column());
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (field.compare(kId, Qt::CaseInsensitive) == 0)
        return f; // assigned by the engine
    if (form_.isBoolean(field))
        return f | Qt::ItemIsUserCheckable;
    return f | Qt::ItemIsEditable;
}

QVariant TableEditorModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section < columnCount() ? QVariant(form_.list_.fieldName(section)) : QVariant();
    return (form_.state_ != TFormBase::State::Browse && section == form_.currentRow()) ? QVariant(QStringLiteral("*"))
                                                                                       : QVariant(QString());
}

// ---- window ----

TFormBase::TFormBase(Catalog &catalog, db::Query &list, QWidget *parent)
    : QDialog(parent), catalog_(catalog), list_(list), model_(*this)
{
    setObjectName(QStringLiteral("FormBase"));
    setSizeGripEnabled(true);
    resize(465, 466);

    DBNavigator1 = new QToolBar(this);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    auto add = [this](const char *name, const QString &text, void (TFormBase::*handler)()) {
        QAction *a = DBNavigator1->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        a->setToolTip(text);
        connect(a, &QAction::triggered, this, ui::guard([this, handler] { (this->*handler)(); }));
        return a;
    };
    NavFirst = add("NavFirst", QStringLiteral("First"), &TFormBase::First);
    NavPrior = add("NavPrior", QStringLiteral("Prior"), &TFormBase::Prior);
    NavNext = add("NavNext", QStringLiteral("Next"), &TFormBase::Next);
    NavLast = add("NavLast", QStringLiteral("Last"), &TFormBase::Last);
    NavInsert = add("NavInsert", QStringLiteral("Insert"), &TFormBase::Insert);
    NavDelete = add("NavDelete", QStringLiteral("Delete"), &TFormBase::Delete);
    NavEdit = add("NavEdit", QStringLiteral("Edit"), &TFormBase::Edit);
    NavPost = add("NavPost", QStringLiteral("Post"), &TFormBase::Post);
    NavCancel = add("NavCancel", QStringLiteral("Cancel"), &TFormBase::Cancel);
    NavRefresh = add("NavRefresh", QStringLiteral("Refresh"), &TFormBase::Refresh);

    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setModel(&model_);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->horizontalHeader()->setStretchLastSection(true);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(DBNavigator1);
    layout->addWidget(DBGrid1, 1);

    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            ui::guard([this](const QModelIndex &current, const QModelIndex &) {
                if (syncing_ || !current.isValid() || current.row() == currentRow())
                    return;
                moveTo(current.row());
            }));
    // Another window re-read the list: show what it holds now.
    connect(&catalog_, &Catalog::listsChanged, this, [this] {
        if (!attached_ || syncing_)
            return;
        model_.reload();
        syncView();
    });
    updateNavigator();
}

bool TFormBase::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate)
        ui::guarded([this] { FormActivate(); });
    return QDialog::event(e);
}

void TFormBase::FormActivate()
{
    attached_ = true;
    model_.reload();
    syncView();
}

QString TFormBase::table() const
{
    static const QRegularExpression re(QStringLiteral("\\bfrom\\s+([A-Za-z_][A-Za-z0-9_]*)"), QRegularExpression::CaseInsensitiveOption);
    return re.match(list_.sql()).captured(1);
}

int TFormBase::maxLength(const QString &field) const
{
    if (field.compare(QLatin1String("Name"), Qt::CaseInsensitive) == 0)
        return 50;
    if (field.compare(QLatin1String("Label"), Qt::CaseInsensitive) == 0)
        return 25;
    if (field.compare(QLatin1String("File"), Qt::CaseInsensitive) == 0)
        return 255;
    return -1;
}

bool TFormBase::isBoolean(const QString &field) const { return field.compare(QLatin1String("ReadOnly"), Qt::CaseInsensitive) == 0; }

int TFormBase::currentRow() const
{
    if (!list_.isOpen())
        return -1;
    if (state_ == State::Insert)
        return list_.recordCount();
    return list_.eof() ? -1 : list_.recNo();
}

QVariant TFormBase::shown(int row, int column) const
{
    const std::size_t c = std::size_t(column);
    if (state_ != State::Browse && row == currentRow() && c < changed_.size() && changed_[c])
        return buffer_[c];
    if (row >= list_.recordCount())
        return {};
    return list_.valueAt(row, column);
}

void TFormBase::setField(const QString &field, const QVariant &value)
{
    const int col = list_.fieldIndex(field);
    if (col < 0 || field.compare(kId, Qt::CaseInsensitive) == 0)
        return;
    if (state_ == State::Browse) {
        if (list_.isEmpty())
            Insert();
        else
            Edit();
    }
    QVariant v = value;
    if (isBoolean(field)) {
        v = value.toBool();
    } else if (const int n = maxLength(field); n > 0 && value.toString().size() > n) {
        v = value.toString().left(n);
    }
    buffer_[std::size_t(col)] = v;
    changed_[std::size_t(col)] = true;
    model_.headerDataChanged(Qt::Vertical, currentRow(), currentRow());
    updateNavigator();
}

void TFormBase::moveTo(int row)
{
    if (state_ != State::Browse)
        Post();
    if (!list_.isOpen() || list_.isEmpty())
        return;
    list_.moveTo(std::clamp(row, 0, list_.recordCount() - 1));
    catalog_.notifyCurrentRowsChanged();
    syncView();
}

void TFormBase::First() { moveTo(0); }
void TFormBase::Prior() { moveTo(currentRow() - 1); }
void TFormBase::Next() { moveTo(currentRow() + 1); }
void TFormBase::Last() { moveTo(list_.recordCount() - 1); }

void TFormBase::Insert()
{
    if (state_ != State::Browse)
        Post();
    state_ = State::Insert;
    buffer_.assign(std::size_t(list_.fieldCount()), QVariant());
    changed_.assign(std::size_t(list_.fieldCount()), false);
    model_.reload();
    syncView();
}

void TFormBase::Edit()
{
    if (state_ != State::Browse || list_.eof())
        return;
    state_ = State::Edit;
    buffer_.assign(std::size_t(list_.fieldCount()), QVariant());
    changed_.assign(std::size_t(list_.fieldCount()), false);
    model_.headerDataChanged(Qt::Vertical, currentRow(), currentRow());
    updateNavigator();
}

void TFormBase::Cancel()
{
    state_ = State::Browse;
    buffer_.clear();
    changed_.clear();
    model_.reload();
    syncView();
}

void TFormBase::Post()
{
    if (state_ == State::Browse)
        return;
    const int row = currentRow();
    db::Query q(&catalog_.ADOConnection1, db::CursorType::Dynamic);
    qint64 id = 0;
    if (state_ == State::Insert) {
        q.setSql(QStringLiteral("select * from ") + table() + QStringLiteral(" where Id=0"));
        q.open();
        q.append();
    } else {
        id = Catalog::currentId(list_);
        q.setSql(QStringLiteral("select * from ") + table() + QStringLiteral(" where Id=") + QString::number(id));
        q.open();
        if (q.eof())
            throw db::Error(QStringLiteral("Record not found or changed by another user."));
        q.edit();
    }
    for (std::size_t i = 0; i < changed_.size(); ++i)
        if (changed_[i])
            q.setValue(list_.fieldName(int(i)), buffer_[i]);
    q.post();
    if (id == 0)
        id = q.intValue(kId);
    const bool inserted = state_ == State::Insert;
    state_ = State::Browse;
    buffer_.clear();
    changed_.clear();
    afterChange(id, row);
    if (inserted)
        catalog_.notifyCurrentRowsChanged();
}

void TFormBase::Delete()
{
    if (state_ == State::Insert) {
        Cancel();
        return;
    }
    if (list_.eof() || !ui::confirm(QStringLiteral("Delete record?")))
        return;
    const int row = currentRow();
    const qint64 id = Catalog::currentId(list_);
    state_ = State::Browse;
    buffer_.clear();
    changed_.clear();
    db::Query q(&catalog_.ADOConnection1, db::CursorType::Dynamic);
    q.setSql(QStringLiteral("select * from ") + table() + QStringLiteral(" where Id=") + QString::number(id));
    q.open();
    if (!q.eof())
        q.remove();
    afterChange(0, row);
    catalog_.notifyCurrentRowsChanged();
}

void TFormBase::Refresh()
{
    if (state_ != State::Browse)
        return;
    afterChange(Catalog::currentId(list_), currentRow());
}

void TFormBase::afterChange(qint64 currentId, int fallbackRow)
{
    syncing_ = true;
    catalog_.reopenList(list_); // every picker of the list reloads
    syncing_ = false;
    if (!list_.isEmpty() && (currentId == 0 || !list_.locate(kId, currentId)))
        list_.moveTo(std::clamp(fallbackRow, 0, list_.recordCount() - 1));
    model_.reload();
    syncView();
}

void TFormBase::syncView()
{
    syncing_ = true;
    const int row = currentRow();
    if (row >= 0 && model_.columnCount() > 0) {
        const int column = std::max(0, DBGrid1->currentIndex().column());
        DBGrid1->setCurrentIndex(model_.index(row, std::min(column, model_.columnCount() - 1)));
    }
    syncing_ = false;
    updateNavigator();
}

void TFormBase::updateNavigator()
{
    const bool open = attached_ && list_.isOpen();
    const bool browse = state_ == State::Browse;
    const int n = open ? list_.recordCount() : 0;
    const int row = currentRow();
    NavFirst->setEnabled(open && n > 0 && (row > 0 || !browse));
    NavPrior->setEnabled(open && n > 0 && (row > 0 || !browse));
    NavNext->setEnabled(open && n > 0 && row < n - 1 && row >= 0);
    NavLast->setEnabled(open && n > 0 && (row < n - 1 || !browse));
    NavInsert->setEnabled(open);
    NavDelete->setEnabled(open && (n > 0 || !browse));
    NavEdit->setEnabled(open && browse && n > 0);
    NavPost->setEnabled(open && !browse);
    NavCancel->setEnabled(open && !browse);
    NavRefresh->setEnabled(open && browse);
}

} // namespace mv
