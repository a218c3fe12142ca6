#pragma once
// The editor of the reference tables (albums, themes, the PhotoBase
// register): a navigator bar over a grid of the rows of one list cursor of
// the Catalog. Changes go straight to the table through an updatable cursor
// of the editor's own; after each one the list cursor is read anew, so every
// picker of that list shows the change at once.

#include "catalog/catalog.h"

#include <QAbstractTableModel>
#include <QDialog>
#include <vector>

class QAction;
class QTableView;
class QToolBar;

namespace mv {

class TFormBase;

// The grid's view of the list cursor, with the row being edited or inserted
// shown from the editor's buffer.
class TableEditorModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TableEditorModel(TFormBase &form) : form_(form) {}
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void reload()
    {
        beginResetModel();
        endResetModel();
    }

private:
    TFormBase &form_;
};

class TFormBase : public QDialog {
    Q_OBJECT
public:
    enum class State { Browse, Edit, Insert };

    // `list` is the list cursor of the table to edit (QVListA, QVListT or QVListB).
    TFormBase(Catalog &catalog, db::Query &list, QWidget *parent = nullptr);

    void FormActivate();

    // The navigator.
    void First();
    void Prior();
    void Next();
    void Last();
    void Insert();
    void Delete();
    void Edit();
    void Post();
    void Cancel();
    void Refresh();

    State state() const { return state_; }
    // The grid row of the current record (the inserted row while inserting).
    int currentRow() const;
    // Sets a field of the current record as typing in the grid does; starts
    // editing when browsing.
    void setField(const QString &field, const QVariant &value);

    QToolBar *DBNavigator1;
    QTableView *DBGrid1;
    QAction *NavFirst, *NavPrior, *NavNext, *NavLast, *NavInsert, *NavDelete, *NavEdit, *NavPost, *NavCancel, *NavRefresh;

protected:
    bool event(QEvent *event) override;

private:
    friend class TableEditorModel;
    QString table() const;
    int maxLength(const QString &field) const;
    bool isBoolean(const QString &field) const;
    QVariant shown(int row, int column) const;
    void moveTo(int row);
    void afterChange(qint64 currentId, int fallbackRow);
    void syncView();
    void updateNavigator();

    Catalog &catalog_;
    db::Query &list_;
    TableEditorModel model_;
    bool attached_ = false;
    State state_ = State::Browse;
    std::vector<QVariant> buffer_;
    std::vector<bool> changed_;
    bool syncing_ = false;
};

} // namespace mv
