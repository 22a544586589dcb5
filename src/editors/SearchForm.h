#pragma once

#include <QDialog>
#include <QPointer>
#include <QStringList>

#include <memory>

namespace Ui {
class Tsearch;
}

namespace kelvo {

// The search window: finds the reminders whose message holds a piece of
// text and, on a click on a hit, has the main window select that reminder.
// It is not modal; it sits at the main window's right edge and follows its
// moves. It never reads the data file: the main window hands it the
// messages in list order at each opening.
class Tsearch : public QDialog {
    Q_OBJECT
public:
    explicit Tsearch(QWidget* parent = nullptr);
    ~Tsearch() override;

    // Replaces the messages searched (row i is row i of the main list) and
    // clears the results.
    void setSource(const QStringList& messages);
    // Records the main window's place and the window that receives the
    // selections.
    void setMainWindow(QWidget* mainWindow);

    void searchwordChange();
    void FlatSpeedButton2Click();
    void showresultClick();
    void FlatSpeedButton1Click();

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

private:
    void FormShow();
    void clearResults();

    std::unique_ptr<Ui::Tsearch> ui;
    int m_mainLeft = 0;
    int m_mainTop = 0;
    int m_mainWidth = 0;
    QPointer<QWidget> m_mainWindow;
};

} // namespace kelvo
