#include "editors/newitem.h"

#include "alerts/settimelater.h"
#include "core/Clock.h"
#include "editors/ItemInput.h"
#include "editors/QuickPhrases.h"
#include "lunar/FormSetNL.h"
#include "storage/ConfigFile.h"
#include "storage/DataFile.h"
#include "storage/IniFile.h"
#include "ui_newitem.h"
#include "widgets/MessageBox.h"
#include "widgets/Placement.h"
#include "widgets/QtText.h"
#include "widgets/ValueLength.h"

#include <QShowEvent>

namespace kelvo {
namespace {

const QString kShutdownText = toQString(kShutdownMarker);

DateTime nextFullHour(DateTime now) {
    now.minute = 0;
    now.second = 0;
    return addMinutes(now, 60);
}

} // namespace

TForm2::TForm2(const DataPaths& paths, const Clock& clock, TForm9& remindLater, TSetNL& lunarDate,
               QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      // The shared controls are taken from the form once it is set up.
      ui(std::make_unique<Ui::TForm2>()), m_controls((ui->setupUi(this), *ui)), m_paths(paths),
      m_clock(clock), m_remindLater(remindLater), m_lunarDate(lunarDate) {
    setFixedSize(345, 399);
    m_controls.setLimits(30);
    m_rules = new RuleControls(*ui->sethour, *ui->setmin, this);
    m_rules->insertInto(*this, 350);
    ui->setmsg->setValidator(new ValueLengthValidator(ui->setmsg));
    connectHandlers();
    // After the week box's own handler, whose enabling of the weekdays it follows.
    m_official = new OfficialDayChoice(m_controls, this, QRect(196, 42, 136, 22));
    FormCreate();
}

TForm2::~TForm2() = default;

void TForm2::connectHandlers() {
    m_controls.connectHandlers(this);
    connect(ui->AutoClose, &QCheckBox::toggled, this, &TForm2::AutoCloseClick);
    connect(ui->FlatSpeedButton3, &QPushButton::clicked, this, &TForm2::FlatSpeedButton3Click);
    connect(ui->FlatSpeedButton4, &QPushButton::clicked, this, &TForm2::FlatSpeedButton4Click);
    connect(ui->FlatSpeedButton5, &QPushButton::clicked, this, &TForm2::FlatSpeedButton5Click);
    connect(ui->FlatSpeedButton1, &QPushButton::clicked, this, &TForm2::FlatSpeedButton1Click);
    connect(ui->FlatSpeedButton2, &QPushButton::clicked, this, &TForm2::FlatSpeedButton2Click);
}

void TForm2::FormCreate() {
    m_controls.setWeekBoxesEnabled(false);
    ui->everyday->setFocus();
}

void TForm2::showEvent(QShowEvent* event) {
    // Only the program's own show, not a window system's re-show.
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

// A new reminder starts today at the next full hour, without repetition,
// sound or advance warning.
void TForm2::FormShow() {
    m_controls.clearRepetition();
    m_official->reset();
    setDateTime(nextFullHour(m_clock.now()));
    m_controls.clearSound();
    restoreWindowPos(*this, TIniFile(m_paths.config()), positions::NewItem);
    ui->mind0->setChecked(true);
    ui->rdbf->setValue(0);
    m_rules->clear();
    ui->setmsg->setEditText(QString());
    ui->setmsg->setEnabled(true);
    ui->AutoClose->setChecked(false);
    ui->setmsg->clear();
    loadQuickPhrases();
}

// Every line of the phrase file becomes an entry of the message list, empty
// lines too; the message itself stays empty. A missing file offers none.
void TForm2::loadQuickPhrases() {
    for (const std::string& phrase : kelvo::loadQuickPhrases(m_paths.fastFinish()))
        ui->setmsg->addItem(QString::fromStdString(phrase));
    ui->setmsg->setCurrentIndex(-1);
    ui->setmsg->setEditText(QString());
}

void TForm2::done(int result) {
    FormClose();
    QDialog::done(result);
}

void TForm2::FormClose() {
    MessageBox::reportingErrors(
        this, [this] { storeWindowPos(*this, m_paths.config(), positions::NewItem); });
}

void TForm2::everyyearClick() {
    m_controls.everyyearClick();
}

void TForm2::everymonthClick() {
    m_controls.everymonthClick();
}

void TForm2::everydayClick() {
    m_controls.everydayClick();
}

void TForm2::everyweekClick() {
    m_controls.everyweekClick();
}

void TForm2::lunarrepeatClick() {
    m_controls.lunarrepeatClick();
}

void TForm2::issetmusicClick() {
    m_controls.issetmusicClick();
}

void TForm2::selectfileClick() {
    m_controls.selectfileClick(this);
}

void TForm2::AutoCloseClick() {
    const bool shutdown = ui->AutoClose->isChecked();
    ui->setmsg->setEditText(shutdown ? kShutdownText : QString());
    ui->setmsg->setEnabled(!shutdown);
}

void TForm2::setDateTime(const DateTime& moment) {
    m_controls.setDate(moment.date.year, moment.date.month, moment.date.day);
    m_controls.setTime(moment.hour, moment.minute);
}

void TForm2::FlatSpeedButton3Click() {
    setDateTime(m_clock.now());
}

void TForm2::FlatSpeedButton4Click() {
    m_remindLater.exec();
    if (m_remindLater.Cancelled)
        return;
    DateTime now = m_clock.now();
    now.second = 0;
    setDateTime(addMinutes(now, m_remindLater.minutesLater()));
}

// The lunar dialog opens at the lunar date of the date shown, or of today.
void TForm2::FlatSpeedButton5Click() {
    const ItemInput in = m_controls.input();
    const bool shown =
        in.month >= 1 && in.month <= 12 && in.day >= 1 && in.day <= daysInMonth(in.year, in.month);
    if (!shown || !m_lunarDate.chooseDay(Date{in.year, in.month, in.day}))
        m_lunarDate.chooseDay(m_clock.now().date);
    m_lunarDate.exec();
    if (m_lunarDate.Accepted)
        m_controls.setDate(m_lunarDate.SolarYear, m_lunarDate.SolarMonth, m_lunarDate.SolarDay);
}

ItemInput TForm2::input() const {
    ItemInput in = m_controls.input();
    m_official->addTo(in);
    m_rules->readInto(in);
    in.message = ui->setmsg->currentText().toStdString();
    return in;
}

void TForm2::FlatSpeedButton1Click() {
    const ItemInput in = input();
    if (!confirmedInput(this, in, m_clock.now(), kStoreAnywayQuestion))
        return;
    tellMissingHolidayYears(this, in, m_clock.now().date);
    MessageBox::reportingErrors(this, [this, &in] { store(in); });
}

// Appends the item; the dialog closes only when the file took it.
void TForm2::store(const ItemInput& in) {
    TIniFile data(m_paths.dataFile());
    appendItem(data, itemFromInput(in), in.withMusic);
    close();
}

void TForm2::FlatSpeedButton2Click() {
    close();
}

void TForm2::setyearKeyPress(QChar& key) {
    dropSignOrPoint(key);
}

void TForm2::setmonthKeyPress(QChar& key) {
    dropSignOrPoint(key);
}

void TForm2::setdayKeyPress(QChar& key) {
    dropSignOrPoint(key);
}

void TForm2::sethourKeyPress(QChar& key) {
    dropSignOrPoint(key);
}

void TForm2::setminKeyPress(QChar& key) {
    dropSignOrPoint(key);
}

void TForm2::rdbfKeyPress(QChar& key) {
    dropSignOrPoint(key);
}

} // namespace kelvo
