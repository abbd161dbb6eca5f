#include "ChangedLinesModel.h"

void ChangedLinesModel::setLines(const QList<ChangedLine>& lines)
{
    beginResetModel();
    m_lines = lines;
    m_shown = std::min<qsizetype>(Step, lines.size());
    endResetModel();
}

QVariant ChangedLinesModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_shown)
        return {};
    const ChangedLine& line = m_lines[index.row()];
    if (index.column() == 0)
        return role == Qt::DisplayRole ? QVariant(QString::number(line.number)) : QVariant();
    // The cell elides a long line of references; its tip shows it whole.
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return index.column() == 1 ? line.before : line.after;
    return {};
}

QVariant ChangedLinesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return m_headers.value(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool ChangedLinesModel::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && m_shown < m_lines.size();
}

void ChangedLinesModel::fetchMore(const QModelIndex& parent)
{
    if (!canFetchMore(parent))
        return;
    const qsizetype more = std::min<qsizetype>(Step, m_lines.size() - m_shown);
    beginInsertRows({}, int(m_shown), int(m_shown + more - 1));
    m_shown += more;
    endInsertRows();
}
