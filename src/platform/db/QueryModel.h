#pragma once

#include <QAbstractTableModel>
#include <QPointer>

namespace tipdesk::db {

class Query;

// A read-only table model over a query's result set, for grids. It follows the query:
// opening resets it, closing empties it. Rows are fetched from the result in pages as the
// view scrolls, so a large result opens without a pause.
class QueryModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit QueryModel(Query *query, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

    Query *query() const { return m_query; }

private:
    void reload();

    QPointer<Query> m_query;
    int m_loaded = 0;
};

} // namespace tipdesk::db
