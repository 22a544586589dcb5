#pragma once

#include <QDialog>

#include <memory>

class QTimer;

namespace Ui {
class TForm7;
}

namespace kelvo {

class Power;

// The automatic shutdown countdown: shown modally by the popup of a shutdown
// reminder, it switches the computer off after 60 seconds unless the user
// cancels and confirms. Created once and reused; every showing starts a full
// countdown.
class TForm7 : public QDialog {
    Q_OBJECT
public:
    explicit TForm7(Power& power, QWidget* parent = nullptr);
    ~TForm7() override;

    // Every way of closing ends here; it resets the window for the next use.
    void done(int result) override;

public slots:
    void closewintimerTimer();
    void Button1Click();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormShow();
    void FormClose();
    void showSecondsLeft(int seconds);

    std::unique_ptr<Ui::TForm7> ui;
    QTimer* closewintimer;
    Power& m_power;
    int m_elapsedSeconds = 0;
};

} // namespace kelvo
