#pragma once

#include "checking/PageChecker.h"

#include <QAbstractTableModel>

namespace tw::checking {

// The rows of the Problems list: "Line", "Column", "Kind" and "Message" for
// each problem, in listOrder(). A problem about the whole page shows no line
// or column.
class ProblemModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { LineColumn, ColumnColumn, KindColumn, MessageColumn, ColumnCount };
    using QAbstractTableModel::QAbstractTableModel;

    // Shows these problems, which are in list order.
    void setProblems(const QList<Problem> &problems);
    const Problem &problem(int row) const { return m_problems.at(row); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QList<Problem> m_problems;
};

// "N errors, M warnings" for these problems ("1 error" and "1 warning" for one).
QString problemSummary(const QList<Problem> &problems);

} // namespace tw::checking
