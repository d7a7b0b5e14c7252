#include "sitecheck/SiteProblemModel.h"

namespace tw::sitecheck {

namespace {

QString count(qsizetype n, const char *one, const char *many)
{
    return QString::number(n) + QLatin1Char(' ') + QLatin1String(n == 1 ? one : many);
}

} // namespace

void SiteProblemModel::setReport(const SiteReport &report)
{
    beginResetModel();
    m_report = report;
    m_groups.clear();
    for (int i = 0; i < m_report.findings.size(); ++i) {
        const QByteArray &file = m_report.findings[i].file;
        if (m_groups.isEmpty() || m_groups.last().file != file)
            m_groups << Group{file, {}};
        m_groups.last().findings << i;
    }
    endResetModel();
}

const Finding *SiteProblemModel::finding(const QModelIndex &index) const
{
    if (!index.isValid() || index.internalId() == 0)
        return nullptr;
    const Group &g = m_groups.at(int(index.internalId() - 1));
    return &m_report.findings.at(g.findings.at(index.row()));
}

QByteArray SiteProblemModel::filePath(const QModelIndex &index) const
{
    if (!index.isValid())
        return {};
    const int group = index.internalId() == 0 ? index.row() : int(index.internalId() - 1);
    const QByteArray &file = m_groups.at(group).file;
    return file.isEmpty() ? m_report.root : m_report.root + '/' + file;
}

QModelIndex SiteProblemModel::index(int row, int column, const QModelIndex &parent) const
{
    if (row < 0 || column < 0 || column >= ColumnCount)
        return {};
    if (!parent.isValid())
        return row < m_groups.size() ? createIndex(row, column, quintptr(0)) : QModelIndex();
    if (parent.internalId() != 0 || row >= m_groups.at(parent.row()).findings.size())
        return {};
    return createIndex(row, column, quintptr(parent.row() + 1));
}

QModelIndex SiteProblemModel::parent(const QModelIndex &child) const
{
    if (!child.isValid() || child.internalId() == 0)
        return {};
    return createIndex(int(child.internalId() - 1), 0, quintptr(0));
}

int SiteProblemModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return int(m_groups.size());
    if (parent.internalId() != 0 || parent.column() != 0)
        return 0;
    return int(m_groups.at(parent.row()).findings.size());
}

int SiteProblemModel::columnCount(const QModelIndex &) const
{
    return ColumnCount;
}

QVariant SiteProblemModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    if (index.internalId() == 0) {
        if (index.column() != 0)
            return {};
        const Group &g = m_groups.at(index.row());
        const QString name = g.file.isEmpty() ? QStringLiteral("(the folder)") : QString::fromUtf8(g.file);
        return QStringLiteral("%1 (%2)").arg(name).arg(g.findings.size());
    }
    const Finding &f = *finding(index);
    switch (index.column()) {
    case LineColumn:
        return f.line > 0 ? QVariant(f.line) : QVariant(QString());
    case ColumnColumn:
        return f.line > 0 ? QVariant(f.column) : QVariant(QString());
    case KindColumn:
        return kindName(f.kind);
    case MessageColumn:
        return f.message;
    }
    return {};
}

QVariant SiteProblemModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractItemModel::headerData(section, orientation, role);
    static const char *const names[] = {"Line", "Column", "Kind", "Message"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(names[section]) : QVariant();
}

QString reportSummary(const SiteReport &report)
{
    if (report.cancelled)
        return QStringLiteral("The site check was stopped");
    qsizetype errors = 0, warnings = 0, notes = 0;
    for (const Finding &f : report.findings)
        (f.kind == Kind::Error ? errors : f.kind == Kind::Warning ? warnings : notes) += 1;
    return QStringLiteral("%1, %2: %3, %4, %5; %6 not checked")
        .arg(count(report.pages, "page", "pages"), count(report.styleSheets, "style sheet", "style sheets"),
             count(errors, "error", "errors"), count(warnings, "warning", "warnings"), count(notes, "note", "notes"),
             count(report.webAddresses, "web address", "web addresses"));
}

} // namespace tw::sitecheck
