#include "checking/ProblemModel.h"

namespace tw::checking {

void ProblemModel::setProblems(const QList<Problem> &problems, Where where)
{
    beginResetModel();
    m_problems = problems;
    m_where = std::move(where);
    endResetModel();
}

void ProblemModel::placesMoved()
{
    if (!m_problems.isEmpty())
        emit dataChanged(index(0, 0), index(int(m_problems.size()) - 1, MessageColumn), {Qt::DisplayRole, Qt::ToolTipRole});
}

int ProblemModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_problems.size());
}

int ProblemModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ProblemModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_problems.size())
        return {};
    const CheckMessage &m = m_problems.at(index.row()).message;
    if (role == Qt::TextAlignmentRole && index.column() <= ColumnColumn)
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    if (index.column() == KindColumn)
        return kindName(m.kind);
    TidyPlace place{m.line, m.column};
    const bool there = m.line <= 0 || !m_where || m_where(index.row(), place);
    switch (index.column()) {
    case LineColumn:
        return m.line > 0 && there ? QVariant(place.line) : QVariant(QString());
    case ColumnColumn:
        return m.line > 0 && there ? QVariant(place.column) : QVariant(QString());
    case MessageColumn:
        return there ? m.text : m.text + QLatin1String(kTextChanged);
    }
    return {};
}

QVariant ProblemModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char *const names[] = {"Line", "Column", "Kind", "Message"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(names[section]) : QVariant();
}

QString problemSummary(const QList<Problem> &problems)
{
    int errors = 0;
    int warnings = 0;
    for (const Problem &p : problems) {
        errors += p.message.kind == Kind::Error;
        warnings += p.message.kind == Kind::Warning;
    }
    const auto count = [](int n, const char *one, const char *many) {
        return QString::number(n) + QLatin1Char(' ') + QLatin1String(n == 1 ? one : many);
    };
    return count(errors, "error", "errors") + QStringLiteral(", ") + count(warnings, "warning", "warnings");
}

} // namespace tw::checking
