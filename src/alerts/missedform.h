#pragma once

#include "storage/Paths.h"
#include "storage/ReminderFile.h"

#include <QDialog>

#include <memory>
#include <vector>

namespace Ui {
class TMissedForm;
}

namespace kelvo {

struct MissedRow;

// The list of reminders that fell due while no check could run (suspend,
// the program not running): shown, not fired. Not modal; reminders missed
// again while it is open are added to it. Its check box switches the list
// off (Sys/ShowMissed).
class TMissedForm : public QDialog {
    Q_OBJECT
public:
    explicit TMissedForm(const DataPaths& paths, QWidget* parent = nullptr);
    ~TMissedForm() override;

    // Adds the rows and shows the window; a window that was closed starts
    // with an empty list.
    void addRows(const std::vector<MissedRow>& rows);

public slots:
    void nomoreClick();

private:
    std::unique_ptr<Ui::TMissedForm> ui;
    const DataPaths m_paths;
};

} // namespace kelvo
