#include "app/ReminderListModel.h"
#include "widgets/QtText.h"

namespace kelvo {

void ReminderListModel::setLines(PackedLines lines) {
    beginResetModel();
    m_lines = std::move(lines);
    endResetModel();
}

QString ReminderListModel::line(int row) const {
    return toQString(m_lines[static_cast<size_t>(row)]);
}

QStringList ReminderListModel::allLines() const {
    QStringList lines;
    lines.reserve(rowCount());
    for (int row = 0; row < rowCount(); ++row)
        lines << line(row);
    return lines;
}

int ReminderListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_lines.size());
}

QVariant ReminderListModel::data(const QModelIndex& index, int role) const {
    // The tool tip shows the whole line, also where the list cuts it off.
    if ((role != Qt::DisplayRole && role != Qt::ToolTipRole) || !index.isValid() ||
        index.row() >= rowCount())
        return {};
    const QString shown =
        m_lineNote ? line(index.row()) + m_lineNote(index.row()) : line(index.row());
    if (role == Qt::ToolTipRole && m_note) {
        if (const QString note = m_note(index.row()); !note.isEmpty())
            return shown + u'\n' + note;
    }
    return shown;
}

} // namespace kelvo
