#pragma once

#include "search/SiteSearch.h"

#include <QAbstractTableModel>
#include <QVector>

namespace tw::search {

// The rows of the Search Results dock: one for each match listed, with its
// page (relative to the folder searched), line, column and the line itself;
// MarkRole gives the match's place in that line as QPoint(start, length).
class SearchResultModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { PageColumn, LineColumn, ColumnColumn, TextColumn, ColumnCount };
    static constexpr int MarkRole = Qt::UserRole + 1;

    using QAbstractTableModel::QAbstractTableModel;

    void clear();
    void append(const QVector<PageHits> &pages);

    const QVector<PageHits> &pages() const { return m_pages; }
    const PageHits &pageAt(int row) const { return m_pages[m_rows[row].first]; }
    const SearchHit &hitAt(int row) const { return pageAt(row).hits[m_rows[row].second]; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QVector<PageHits> m_pages;
    QVector<QPair<int, int>> m_rows; // (page, hit)
};

} // namespace tw::search
