#pragma once

#include "checking/PageChecker.h"

#include <QAbstractTableModel>

#include <functional>

namespace tw::checking {

// The rows of the Problems list: "Line", "Column", "Kind" and "Message" for
// each problem, in listOrder(). A problem about the whole page shows no line
// or column. Where the text has been edited since the check, each row shows
// where its problem lies now, or says that the text changed there.
class ProblemModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { LineColumn, ColumnColumn, KindColumn, MessageColumn, ColumnCount };
    using QAbstractTableModel::QAbstractTableModel;

    // Where the problem of a row lies now: given tidy's place, it moves it
    // to where that text is now, or returns false when the text is gone.
    using Where = std::function<bool(int row, TidyPlace &place)>;

    // Shows these problems, which are in list order.
    void setProblems(const QList<Problem> &problems, Where where = {});
    // The text has been edited: the rows show their places anew.
    void placesMoved();
    const Problem &problem(int row) const { return m_problems.at(row); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QList<Problem> m_problems;
    Where m_where;
};

// "N errors, M warnings" for these problems ("1 error" and "1 warning" for one).
// What a row's message says after its own when the text it was about has gone.
inline constexpr const char *kTextChanged = " (the text here has changed since the check)";

QString problemSummary(const QList<Problem> &problems);

} // namespace tw::checking
