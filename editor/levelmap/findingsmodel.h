#pragma once

#include "core/levelcheck.h"

#include <QAbstractTableModel>
#include <QIcon>

#include <vector>

namespace editor {

// The findings of the level check as a table: the row (with the severity's icon) and the
// message. Row 0, the level as a whole, shows a dash.
class FindingsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { RowColumn, MessageColumn, ColumnCount };

    explicit FindingsModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    void setFindings(std::vector<level::Finding> findings);
    const std::vector<level::Finding>& findings() const { return m_findings; }
    // The finding of an index of this model, or nothing.
    const level::Finding* finding(const QModelIndex& index) const;

private:
    std::vector<level::Finding> m_findings;
    QIcon m_error;
    QIcon m_warning;
    QIcon m_note;
};

} // namespace editor
