#include "lunar/FormSetNL.h"

#include "lunar/Calendar.h"
#include "lunar/LunarNames.h"
#include "ui_FormSetNL.h"
#include "widgets/MessageBox.h"
#include "widgets/Placement.h"

#include <QKeyEvent>
#include <QShowEvent>

namespace kelvo {
namespace {

void fillList(QComboBox& list, const std::vector<std::string>& items) {
    list.clear();
    for (const std::string& item : items)
        list.addItem(QString::fromStdString(item));
    list.setCurrentIndex(0);
}

// A printable character typed into a list; the lists change only by
// choosing an item, never by typing.
bool typedCharacter(const QKeyEvent* event) {
    const QString text = event->text();
    return !text.isEmpty() && text.at(0).isPrint();
}

} // namespace

TSetNL::TSetNL(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::TSetNL>()) {
    ui->setupUi(this);
    setFixedSize(285, 91);
    connect(ui->sety, &QComboBox::activated, this, &TSetNL::setyChange);
    connect(ui->setm, &QComboBox::activated, this, &TSetNL::setmChange);
    connect(ui->FlatSpeedButton1, &QPushButton::clicked, this, &TSetNL::FlatSpeedButton1Click);
    connect(ui->FlatSpeedButton2, &QPushButton::clicked, this, &TSetNL::FlatSpeedButton2Click);
    for (QComboBox* list : {ui->sety, ui->setm, ui->setd})
        list->installEventFilter(this);
    FormCreate();
}

TSetNL::~TSetNL() = default;

void TSetNL::FormCreate() {
    std::vector<std::string> years;
    for (int year = kFirstListedLunarYear; year <= kLastListedLunarYear; ++year)
        years.push_back(lunarYearItem(year));
    fillList(*ui->sety, years);
    fillMonths(kFirstListedLunarYear);
    fillDays(LunarMonthDays(kFirstListedLunarYear, 1));
}

void TSetNL::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        centreOnScreen(*this);
    QDialog::showEvent(event);
}

int TSetNL::chosenYear() const {
    return kFirstListedLunarYear + ui->sety->currentIndex();
}

void TSetNL::fillMonths(int year) {
    fillList(*ui->setm, lunarMonthItems(year));
}

void TSetNL::fillDays(int monthDays) {
    fillList(*ui->setd, lunarDayItems(monthDays));
}

void TSetNL::setyChange() {
    const int year = chosenYear();
    fillMonths(year);
    fillDays(LunarMonthDays(year, 1));
}

void TSetNL::setmChange() {
    const int year = chosenYear();
    const LunarMonthChoice month = lunarMonthAt(year, ui->setm->currentIndex());
    fillDays(month.isLeap ? LunarLeapMonthDays(year) : LunarMonthDays(year, month.month));
}

bool TSetNL::chooseDay(const Date& day) {
    const TLunarDate lunar = SolarToLunar(day);
    if (!IsValidLunarDate(lunar) || lunar.Year < kFirstListedLunarYear ||
        lunar.Year > kLastListedLunarYear)
        return false;
    ui->sety->setCurrentIndex(lunar.Year - kFirstListedLunarYear);
    fillMonths(lunar.Year);
    ui->setm->setCurrentIndex(lunarMonthPosition(lunar.Year, {lunar.Month, lunar.IsLeap}));
    fillDays(lunar.IsLeap ? LunarLeapMonthDays(lunar.Year)
                          : LunarMonthDays(lunar.Year, lunar.Month));
    ui->setd->setCurrentIndex(lunar.Day - 1);
    return true;
}

void TSetNL::FlatSpeedButton1Click() {
    const TLunarDate lunar =
        lunarDateAt(ui->sety->currentIndex(), ui->setm->currentIndex(), ui->setd->currentIndex());
    const Date solar = LunarToSolar(lunar);
    SolarYear = static_cast<quint16>(solar.year);
    SolarMonth = static_cast<quint16>(solar.month);
    SolarDay = static_cast<quint16>(solar.day);
    MessageBox::information(this, QStringLiteral("公历日"),
                            QString::fromStdString(solarDateNotice(solar)));
    Accepted = true;
    close();
}

void TSetNL::FlatSpeedButton2Click() {
    Accepted = false;
    close();
}

bool TSetNL::setyKeyPress(QKeyEvent* event) {
    return typedCharacter(event);
}

bool TSetNL::setmKeyPress(QKeyEvent* event) {
    return typedCharacter(event);
}

bool TSetNL::setdKeyPress(QKeyEvent* event) {
    return typedCharacter(event);
}

bool TSetNL::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched == ui->sety)
            return setyKeyPress(key);
        if (watched == ui->setm)
            return setmKeyPress(key);
        if (watched == ui->setd)
            return setdKeyPress(key);
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace kelvo
