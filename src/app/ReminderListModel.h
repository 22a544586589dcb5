#pragma once

#include "reminders/ReminderList.h"

#include <QAbstractListModel>
#include <QStringList>

#include <functional>

namespace kelvo {

// The main window's list lines as a model over the packed lines of the
// core: a line becomes a QString only while a view shows it, so ten
// thousand reminders cost their text once rather than an item object each.
// (No Q_OBJECT: it declares no signals or slots.)
class ReminderListModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    void setLines(PackedLines lines);
    QString line(int row) const;
    QStringList allLines() const;
    // What a line's tool tip says below the whole line (the next firing).
    void setToolTipNote(std::function<QString(int row)> note) { m_note = std::move(note); }
    // What a line shows after its text (a skip or a pause).
    void setLineNote(std::function<QString(int row)> note) { m_lineNote = std::move(note); }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    PackedLines m_lines;
    std::function<QString(int row)> m_note;
    std::function<QString(int row)> m_lineNote;
};

} // namespace kelvo
