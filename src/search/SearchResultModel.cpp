#include "search/SearchResultModel.h"

#include <QDir>
#include <QPoint>

namespace tw::search {

void SearchResultModel::clear()
{
    beginResetModel();
    m_pages.clear();
    m_rows.clear();
    endResetModel();
}

void SearchResultModel::append(const QVector<PageHits> &pages)
{
    int added = 0;
    for (const PageHits &p : pages)
        added += int(p.hits.size());
    if (added == 0)
        return;
    beginInsertRows({}, int(m_rows.size()), int(m_rows.size()) + added - 1);
    for (const PageHits &p : pages) {
        const int page = int(m_pages.size());
        m_pages.push_back(p);
        for (int i = 0; i < p.hits.size(); ++i)
            m_rows.push_back({page, i});
    }
    endInsertRows();
}

int SearchResultModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int SearchResultModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant SearchResultModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const PageHits &page = pageAt(index.row());
    const SearchHit &hit = hitAt(index.row());
    if (role == MarkRole && index.column() == TextColumn)
        return QPoint(hit.markStart, hit.markLength);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole && role != Qt::AccessibleTextRole)
        return {};
    switch (index.column()) {
    case PageColumn:
        return role == Qt::ToolTipRole ? QDir::toNativeSeparators(page.path) : QDir::toNativeSeparators(page.relative);
    case LineColumn:
        return hit.line;
    case ColumnColumn:
        return hit.column;
    case TextColumn:
        // Tabs shown as blanks keep the marked place where it is drawn.
        return QString(hit.lineText).replace(QLatin1Char('\t'), QLatin1Char(' '));
    }
    return {};
}

QVariant SearchResultModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case PageColumn:
        return QStringLiteral("Page");
    case LineColumn:
        return QStringLiteral("Line");
    case ColumnColumn:
        return QStringLiteral("Column");
    case TextColumn:
        return QStringLiteral("Text");
    }
    return {};
}

} // namespace tw::search
