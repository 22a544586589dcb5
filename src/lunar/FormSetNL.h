#pragma once

#include <QDialog>

#include <memory>

class QKeyEvent;

namespace Ui {
class TSetNL;
}

namespace kelvo {

struct Date;

// The lunar date dialog: the user picks a lunar year, month (leap month
// included) and day from three lists; OK converts it to the Gregorian
// date, tells the user and leaves it in the result fields. The results stay
// as they are between showings; the lists open at the date the caller gives.
class TSetNL : public QDialog {
    Q_OBJECT
public:
    explicit TSetNL(QWidget* parent = nullptr);
    ~TSetNL() override;

    // Set by "确定[&O]", cleared by "取消[&C]"; the close box touches neither
    // these nor the date of the last conversion.
    bool Accepted = false;
    quint16 SolarYear = 0;
    quint16 SolarMonth = 0;
    quint16 SolarDay = 0;

    // Chooses the lunar date of `day` in the lists; false (nothing changed)
    // when they do not offer it.
    bool chooseDay(const Date& day);

public slots:
    void setyChange();
    void setmChange();
    void FlatSpeedButton1Click();
    void FlatSpeedButton2Click();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    bool setyKeyPress(QKeyEvent* event);
    bool setmKeyPress(QKeyEvent* event);
    bool setdKeyPress(QKeyEvent* event);

    int chosenYear() const;
    void fillMonths(int year);
    void fillDays(int monthDays);

    std::unique_ptr<Ui::TSetNL> ui;
};

} // namespace kelvo
