#include "editor/levelmap/findingsmodel.h"

#include "widgets/qtpath.h"

#include <QApplication>
#include <QStyle>

#include <algorithm>

namespace editor {

FindingsModel::FindingsModel(QObject* parent)
    : QAbstractTableModel(parent)
    , m_error(QApplication::style()->standardIcon(QStyle::SP_MessageBoxCritical))
    , m_warning(QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning))
    , m_note(QApplication::style()->standardIcon(QStyle::SP_MessageBoxInformation)) {}

int FindingsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_findings.size());
}

int FindingsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

const level::Finding* FindingsModel::finding(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this || index.row() >= rowCount())
        return nullptr;
    return &m_findings[static_cast<std::size_t>(index.row())];
}

QVariant FindingsModel::data(const QModelIndex& index, int role) const {
    const level::Finding* shown = finding(index);
    if (!shown)
        return {};
    using Severity = level::Finding::Severity;
    const Severity severity = shown->severity;
    const auto pick = [severity](auto error, auto warning, auto note) {
        return severity == Severity::Error ? error : severity == Severity::Warning ? warning : note;
    };
    switch (role) {
    case Qt::DisplayRole:
        if (index.column() == RowColumn)
            return shown->row > 0 ? QString::number(shown->row) : QStringLiteral("\u2013");
        return widgets::toQString(shown->message);
    case Qt::DecorationRole:
        if (index.column() == RowColumn)
            return pick(m_error, m_warning, m_note);
        return {};
    case Qt::ToolTipRole:
        return pick(QStringLiteral("Error: "), QStringLiteral("Warning: "),
                    QStringLiteral("Note: ")) +
               widgets::toQString(shown->message);
    case Qt::AccessibleTextRole:
        return pick(QStringLiteral("error, "), QStringLiteral("warning, "),
                    QStringLiteral("note, ")) +
               (shown->row > 0 ? QStringLiteral("row %1, ").arg(shown->row) : QString()) +
               widgets::toQString(shown->message);
    default:
        return {};
    }
}

QVariant FindingsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == RowColumn ? QStringLiteral("Row") : QStringLiteral("Finding");
}

// The same findings again leave the view as it is: its selection and scroll position stay.
void FindingsModel::setFindings(std::vector<level::Finding> findings) {
    const auto same = [](const level::Finding& a, const level::Finding& b) {
        return a.row == b.row && a.severity == b.severity && a.message == b.message;
    };
    if (std::equal(findings.begin(), findings.end(), m_findings.begin(), m_findings.end(), same))
        return;
    beginResetModel();
    m_findings = std::move(findings);
    endResetModel();
}

} // namespace editor
