#include "editors/edititem.h"

#include "core/Clock.h"
#include "editors/ItemInput.h"
#include "reminders/Schedule.h"
#include "storage/ConfigFile.h"
#include "storage/DataFile.h"
#include "storage/DataKeys.h"
#include "storage/HandOff.h"
#include "storage/IniFile.h"
#include "ui_edititem.h"
#include "widgets/MessageBox.h"
#include "widgets/Placement.h"
#include "widgets/QtText.h"
#include "widgets/ValueLength.h"

#include <QShowEvent>

namespace kelvo {
TForm6::TForm6(const DataPaths& paths, const Clock& clock, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      // The shared controls are taken from the form once it is set up.
      ui(std::make_unique<Ui::TForm6>()), m_controls((ui->setupUi(this), *ui)), m_paths(paths),
      m_clock(clock) {
    setFixedSize(326, 388);
    // Equal limits: a stored or typed advance time is never brought into a
    // range; only the store check enforces 0 … 30.
    m_controls.setLimits(0);
    m_rules = new RuleControls(*ui->sethour, *ui->setmin, this);
    m_rules->insertInto(*this, 334);
    ui->setmsg->setValidator(new ValueLengthValidator(ui->setmsg));
    m_controls.connectHandlers(this);
    // After the week box's own handler, whose enabling of the weekdays it follows.
    m_official = new OfficialDayChoice(m_controls, this, QRect(206, 42, 100, 21));
    connect(ui->FlatSpeedButton1, &QPushButton::clicked, this, &TForm6::FlatSpeedButton1Click);
    connect(ui->FlatSpeedButton2, &QPushButton::clicked, this, &TForm6::FlatSpeedButton2Click);
}

TForm6::~TForm6() = default;

// --- showing -------------------------------------------------------------

void TForm6::showEvent(QShowEvent* event) {
    // Only the program's own show, not a window system's re-show.
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TForm6::FormShow() {
    resetControls();
    restoreWindowPos(*this, TIniFile(m_paths.config()), positions::Edit);
    m_item = readHandOffItem(m_paths.handOff(), handoff::Edit);
    loadItem(readItem(TIniFile(m_paths.dataFile()), m_item, kEditDefaults));
}

// What a showing clears before the item is loaded: the sound, the lunar box
// and the three date repetitions. The week box and its days keep the previous showing's
// state until the item's day settles them.
void TForm6::resetControls() {
    m_controls.clearSound();
    m_controls.setLunar(LunarRepeat{});
    ui->setyear->setEnabled(true);
    ui->setmonth->setEnabled(true);
    ui->setday->setEnabled(true);
    ui->everyyear->setChecked(false);
    ui->everymonth->setChecked(false);
    ui->everyday->setChecked(false);
}

void TForm6::loadItem(const ReminderItem& item) {
    if (item.year != 0)
        ui->setyear->setValue(item.year);
    else
        ui->everyyear->setChecked(true);
    if (item.month != 0)
        ui->setmonth->setValue(item.month);
    else
        ui->everymonth->setChecked(true);
    loadDay(item.day);
    m_official->show(isWeekly(item.day) ? item.official : OfficialRule::None);
    m_controls.setTime(item.hour, item.min);
    m_rules->load(inputFromItem(item));
    ui->rdbf->setValue(item.rdBefore);
    const auto& mindButtons = m_controls.mindButtons;
    if (item.mindMethod >= 0 && item.mindMethod < static_cast<int32_t>(mindButtons.size()))
        mindButtons[static_cast<size_t>(item.mindMethod)]->setChecked(true);
    // Long texts open at their beginning.
    ui->setmsg->setText(toQString(item.message));
    ui->setmsg->setCursorPosition(0);
    if (!item.music.empty()) {
        ui->issetmusic->setChecked(true);
        ui->setmusic->setText(toQString(item.music));
        ui->setmusic->setCursorPosition(0);
    }
    // A lunar reminder stays one: its date fields hold the first occurrence.
    m_controls.setLunar(item.lunar);
}

void TForm6::loadDay(int32_t day) {
    if (day == 0) {
        ui->everyday->setChecked(true);
    } else if (day <= 31) {
        ui->setday->setValue(day);
        ui->everyweek->setChecked(false);
        ui->everyday->setChecked(false);
        m_controls.setWeekBoxesEnabled(false);
    } else {
        // A week box still ticked from the previous showing must run its
        // handler again: the reset above enabled setday.
        ui->everyweek->setChecked(false);
        ui->everyweek->setChecked(true);
        const auto& weekBoxes = m_controls.weekBoxes;
        for (size_t i = 0; i < weekBoxes.size(); ++i)
            weekBoxes[i]->setChecked(weekdayChosen(day, i));
    }
}

// --- the repetition and sound boxes ----------------------------------------

void TForm6::everyyearClick() {
    m_controls.everyyearClick();
}

void TForm6::everymonthClick() {
    m_controls.everymonthClick();
}

void TForm6::everydayClick() {
    m_controls.everydayClick();
}

void TForm6::everyweekClick() {
    m_controls.everyweekClick();
}

void TForm6::lunarrepeatClick() {
    m_controls.lunarrepeatClick();
}

void TForm6::issetmusicClick() {
    m_controls.issetmusicClick();
}

void TForm6::selectfileClick() {
    m_controls.selectfileClick(this);
}

void TForm6::setyearKeyPress(QChar& key) {
    dropSignOrPoint(key);
}

void TForm6::setmonthKeyPress(QChar& key) {
    dropSignOrPoint(key);
}

void TForm6::setdayKeyPress(QChar& key) {
    dropSignOrPoint(key);
}

void TForm6::sethourKeyPress(QChar& key) {
    dropSignOrPoint(key);
}

void TForm6::setminKeyPress(QChar& key) {
    dropSignOrPoint(key);
}

void TForm6::rdbfKeyPress(QChar& key) {
    dropSignOrPoint(key);
}

// --- storing and closing -------------------------------------------------------

void TForm6::FlatSpeedButton1Click() {
    const ItemInput input = readInput();
    if (!confirmedInput(this, input, m_clock.now(), kStoreEditedQuestion))
        return;
    tellMissingHolidayYears(this, input, m_clock.now().date);
    MessageBox::reportingErrors(this, [&] {
        store(input);
        accept();
    });
}

ItemInput TForm6::readInput() const {
    ItemInput in = m_controls.input();
    m_official->addTo(in);
    m_rules->readInto(in);
    in.message = ui->setmsg->text().toStdString();
    return in;
}

void TForm6::store(ItemInput input) {
    TIniFile data(m_paths.dataFile());
    // The stored lunar repetition keeps its day 30 while its date stays.
    input.keptLunar = readLunarRepeat(data.section(itemSection(m_item)));
    // No mode button ticked (the item held an unknown mode): the stored
    // mode stays as it is.
    const int32_t storedMode = data.ReadInteger(itemSection(m_item), datakeys::MindMethod, 0);
    storeEditedItem(data, m_item, editedItem(input, storedMode));
}

void TForm6::FlatSpeedButton2Click() {
    close();
}

void TForm6::done(int result) {
    FormClose();
    QDialog::done(result);
}

void TForm6::FormClose() {
    MessageBox::reportingErrors(
        this, [this] { storeWindowPos(*this, m_paths.config(), positions::Edit); });
}

} // namespace kelvo
