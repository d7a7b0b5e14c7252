#pragma once

#include "sitecheck/SiteCheck.h"

#include <QAbstractItemModel>

namespace tw::sitecheck {

// A site check's findings as a tree: one row per file ("sub/page.html (3)"),
// under it one row per finding with "Line", "Column", "Kind" and "Message".
class SiteProblemModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Column { LineColumn, ColumnColumn, KindColumn, MessageColumn, ColumnCount };
    using QAbstractItemModel::QAbstractItemModel;

    void setReport(const SiteReport &report);
    const SiteReport &report() const { return m_report; }
    // The finding a row shows, or none for a file's row.
    const Finding *finding(const QModelIndex &index) const;
    // The file a row is about (its own, or its finding's), absolute, in bytes.
    QByteArray filePath(const QModelIndex &index) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    struct Group {
        QByteArray file;
        QList<int> findings;
    };
    SiteReport m_report;
    QList<Group> m_groups;
};

// "12 pages, 3 style sheets: 2 errors, 1 warning, 4 notes; 5 web addresses not checked".
QString reportSummary(const SiteReport &report);

} // namespace tw::sitecheck
