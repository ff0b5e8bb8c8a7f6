#pragma once

#include "model/AllTablesFind.h"

#include <QAbstractTableModel>

#include <vector>

// The matches of a find in every table as the rows of a list: table, row, column and cell. The
// list reads the matches in place, so that a find that hits every cell of the game still shows
// at once.
class CFindResultsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void SetMatches(std::vector<TableMatch> matches);
    const std::vector<TableMatch>& Matches() const { return m_matches; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QString Text(const TableMatch& match, int column) const;

    std::vector<TableMatch> m_matches;
};
