#include "platform/db/QueryModel.h"

#include "platform/db/Query.h"

namespace tipdesk::db {

namespace {
constexpr int kFetchPage = 256;
}

QueryModel::QueryModel(Query *query, QObject *parent) : QAbstractTableModel(parent), m_query(query)
{
    connect(query, &Query::opened, this, &QueryModel::reload);
    connect(query, &Query::closed, this, &QueryModel::reload);
    reload();
}

void QueryModel::reload()
{
    beginResetModel();
    m_loaded = (m_query && m_query->active()) ? std::min(kFetchPage, m_query->recordCount()) : 0;
    endResetModel();
}

int QueryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_loaded;
}

int QueryModel::columnCount(const QModelIndex &parent) const
{
    return (parent.isValid() || !m_query || !m_query->active()) ? 0 : m_query->fieldCount();
}

QVariant QueryModel::data(const QModelIndex &index, int role) const
{
    if (!m_query || !index.isValid() || index.row() >= m_loaded)
        return {};
    if (role == Qt::DisplayRole)
        return Field::displayText(m_query->value(index.row(), index.column()));
    if (role == Qt::EditRole)
        return m_query->value(index.row(), index.column());
    return {};
}

QVariant QueryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || !m_query || section >= m_query->fieldCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    return m_query->result().columns.value(section);
}

bool QueryModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && m_query && m_query->active() && m_loaded < m_query->recordCount();
}

void QueryModel::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    const int more = std::min(kFetchPage, m_query->recordCount() - m_loaded);
    beginInsertRows(QModelIndex(), m_loaded, m_loaded + more - 1);
    m_loaded += more;
    endInsertRows();
}

} // namespace tipdesk::db
