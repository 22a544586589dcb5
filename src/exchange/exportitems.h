#pragma once

#include <QDialog>
#include <QStringList>

#include <memory>
#include <vector>

namespace Ui {
class TForm10;
}

namespace kelvo {

// The export window: the user picks the reminders to export from a copy of
// the main list. Created once and reused; the caller fills it before each
// modal show and reads ExportConfirmed and the selection afterwards.
class TForm10 : public QDialog {
    Q_OBJECT
public:
    explicit TForm10(QWidget* parent = nullptr);
    ~TForm10() override;

    // Replaces the lines of lstIT; OK is enabled only when there are lines.
    void setLines(const QStringList& lines);
    // The selected line positions (from 0), in list order.
    std::vector<int> selectedLines() const;

    // True only after the OK button closed the window.
    bool ExportConfirmed = false;

public slots:
    void Button1Click();
    void Button2Click();
    void lstITClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();

    std::unique_ptr<Ui::TForm10> ui;
};

} // namespace kelvo
