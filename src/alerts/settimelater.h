#pragma once

#include <QDialog>

#include <memory>

class QKeyEvent;

namespace Ui {
class TForm9;
}

namespace kelvo {

// The remind-later dialog: asks for a number of minutes. Created once and
// shown modally by the add dialog's "X分钟后" button; the field keeps the
// last value entered from one use to the next.
class TForm9 : public QDialog {
    Q_OBJECT
public:
    explicit TForm9(QWidget* parent = nullptr);
    ~TForm9() override;

    // The result: set by "取消", cleared by "确定"; the close box leaves it as
    // the last use left it.
    bool Cancelled = false;

    // The value of setMinLater as typed: clamped into 1 … 1000 only when the
    // field lost the focus, and 1 when the text is no number.
    int minutesLater() const;

public slots:
    void FlatSpeedButton1Click();
    void FlatSpeedButton2Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void setMinLaterKeyPress(QChar& key);

    std::unique_ptr<Ui::TForm9> ui;
};

} // namespace kelvo
