#include "editors/edititem.h"

#include "editors/ItemInput.h"
#include "storage/ConfigFile.h"
#include "storage/DataFile.h"
#include "storage/IniFile.h"
#include "ui_edititem.h"
#include "widgets/FileDialog.h"
#include "widgets/MessageBox.h"

#include <QShowEvent>

namespace kelvo {
namespace {

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The dialog's key handlers keep signs and decimal points out of the
// numeric fields, silently; the field itself beeps at anything else.
void dropSignAndPoint(QChar& key) {
    if (key == u'+' || key == u'-' || key == u'.')
        key = QChar();
}

} // namespace

TForm6::TForm6(const DataPaths& paths, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      ui(std::make_unique<Ui::TForm6>()), m_paths(paths) {
    ui->setupUi(this);
    setFixedSize(326, 360);
    m_weekBoxes = {ui->week1, ui->week2, ui->week3, ui->week4, ui->week5, ui->week6, ui->week7};
    m_mindButtons = {ui->mind0, ui->mind1, ui->mind2, ui->mind3};
    setLimits();
    connectHandlers();
}

TForm6::~TForm6() = default;

void TForm6::setLimits() {
    ui->setyear->setRange(2000, 3000);
    ui->setyear->setValue(2000);
    ui->setmonth->setRange(1, 12);
    ui->setmonth->setValue(1);
    ui->setday->setRange(1, 31);
    ui->setday->setValue(1);
    ui->sethour->setRange(0, 23);
    ui->sethour->setValue(0);
    ui->setmin->setRange(0, 59);
    ui->setmin->setValue(0);
    // Equal limits: a stored or typed advance time is never brought into a
    // range; only the store check enforces 0 … 30.
    ui->rdbf->setRange(0, 0);
    ui->rdbf->setValue(0);
}

void TForm6::connectHandlers() {
    connect(ui->FlatSpeedButton1, &QPushButton::clicked, this, &TForm6::FlatSpeedButton1Click);
    connect(ui->FlatSpeedButton2, &QPushButton::clicked, this, &TForm6::FlatSpeedButton2Click);
    connect(ui->everyyear, &QCheckBox::toggled, this, &TForm6::everyyearClick);
    connect(ui->everymonth, &QCheckBox::toggled, this, &TForm6::everymonthClick);
    connect(ui->everyday, &QCheckBox::toggled, this, &TForm6::everydayClick);
    connect(ui->everyweek, &QCheckBox::toggled, this, &TForm6::everyweekClick);
    connect(ui->issetmusic, &QCheckBox::toggled, this, &TForm6::issetmusicClick);
    connect(ui->selectfile, &QPushButton::clicked, this, &TForm6::selectfileClick);
    connect(ui->setyear, &NumericField::keyPress, this, &TForm6::setyearKeyPress);
    connect(ui->setmonth, &NumericField::keyPress, this, &TForm6::setmonthKeyPress);
    connect(ui->setday, &NumericField::keyPress, this, &TForm6::setdayKeyPress);
    connect(ui->sethour, &NumericField::keyPress, this, &TForm6::sethourKeyPress);
    connect(ui->setmin, &NumericField::keyPress, this, &TForm6::setminKeyPress);
    connect(ui->rdbf, &NumericField::keyPress, this, &TForm6::rdbfKeyPress);
}

// --- showing -------------------------------------------------------------

void TForm6::showEvent(QShowEvent* event) {
    // Only the program's own show, not a window system's re-show.
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TForm6::FormShow() {
    resetControls();
    const WindowPos pos = readWindowPos(TIniFile(m_paths.config()), positions::Edit);
    move(pos.left, pos.top);
    m_item = readHandOffItem(m_paths.handOff(), positions::Edit);
    loadItem(readItem(TIniFile(m_paths.dataFile()), m_item, kEditDefaults));
}

// What a showing clears before the item is loaded: the sound and the three
// date repetitions. The week box and its days keep the previous showing's
// state until the item's day settles them.
void TForm6::resetControls() {
    ui->issetmusic->setChecked(false);
    ui->setmusic->clear();
    ui->setmusic->setEnabled(false);
    ui->selectfile->setEnabled(false);
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
    ui->sethour->setValue(item.hour);
    ui->setmin->setValue(item.min);
    ui->rdbf->setValue(item.rdBefore);
    if (item.mindMethod >= 0 && item.mindMethod < static_cast<int32_t>(m_mindButtons.size()))
        m_mindButtons[static_cast<size_t>(item.mindMethod)]->setChecked(true);
    ui->setmsg->setText(fromUtf8(item.message));
    if (!item.music.empty()) {
        ui->issetmusic->setChecked(true);
        ui->setmusic->setText(fromUtf8(item.music));
    }
}

void TForm6::loadDay(int32_t day) {
    if (day == 0) {
        ui->everyday->setChecked(true);
    } else if (day <= 31) {
        ui->setday->setValue(day);
        ui->everyweek->setChecked(false);
        ui->everyday->setChecked(false);
        setWeekBoxesEnabled(false);
    } else {
        // A week box still ticked from the previous showing must run its
        // handler again: the reset above enabled setday.
        ui->everyweek->setChecked(false);
        ui->everyweek->setChecked(true);
        for (size_t i = 0; i < m_weekBoxes.size(); ++i)
            m_weekBoxes[i]->setChecked((day & (256 << i)) != 0);
    }
}

void TForm6::setWeekBoxesEnabled(bool enabled) {
    for (QCheckBox* box : m_weekBoxes)
        box->setEnabled(enabled);
}

// --- the repetition and sound boxes ----------------------------------------

void TForm6::everyyearClick() {
    ui->setyear->setEnabled(!ui->everyyear->isChecked());
}

void TForm6::everymonthClick() {
    ui->setmonth->setEnabled(!ui->everymonth->isChecked());
}

void TForm6::everydayClick() {
    if (ui->everyday->isChecked()) {
        ui->everyweek->setChecked(false);
        ui->setday->setEnabled(false);
    } else {
        ui->setday->setEnabled(true);
    }
    setWeekBoxesEnabled(false);
}

void TForm6::everyweekClick() {
    const bool weekly = ui->everyweek->isChecked();
    if (weekly)
        ui->everyday->setChecked(false);
    ui->setday->setEnabled(!weekly);
    setWeekBoxesEnabled(weekly);
}

void TForm6::issetmusicClick() {
    const bool withMusic = ui->issetmusic->isChecked();
    ui->setmusic->setEnabled(withMusic);
    ui->selectfile->setEnabled(withMusic);
}

void TForm6::selectfileClick() {
    const FileDialog openfile(FileDialog::Open, QStringLiteral("音乐文件"),
                              QStringLiteral("*.mp3 *.mid *.avi *.wav"), QString());
    if (const std::optional<QString> file = openfile.execute(this))
        ui->setmusic->setText(*file);
}

void TForm6::setyearKeyPress(QChar& key) {
    dropSignAndPoint(key);
}

void TForm6::setmonthKeyPress(QChar& key) {
    dropSignAndPoint(key);
}

void TForm6::setdayKeyPress(QChar& key) {
    dropSignAndPoint(key);
}

void TForm6::sethourKeyPress(QChar& key) {
    dropSignAndPoint(key);
}

void TForm6::setminKeyPress(QChar& key) {
    dropSignAndPoint(key);
}

void TForm6::rdbfKeyPress(QChar& key) {
    dropSignAndPoint(key);
}

// --- storing and closing -------------------------------------------------------

void TForm6::FlatSpeedButton1Click() {
    const ItemInput input = readInput();
    const std::string_view error = inputError(input);
    if (!error.empty()) {
        MessageBox::warning(this, fromUtf8(kInputErrorCaption), fromUtf8(error));
        return;
    }
    MessageBox::reportingErrors(this, [&] {
        store(input);
        accept();
    });
}

ItemInput TForm6::readInput() const {
    ItemInput in;
    in.everyYear = ui->everyyear->isChecked();
    in.everyMonth = ui->everymonth->isChecked();
    in.everyDay = ui->everyday->isChecked();
    in.everyWeek = ui->everyweek->isChecked();
    for (size_t i = 0; i < m_weekBoxes.size(); ++i)
        in.weekdays[i] = m_weekBoxes[i]->isChecked();
    in.year = ui->setyear->value();
    in.month = ui->setmonth->value();
    in.day = ui->setday->value();
    in.hour = ui->sethour->value();
    in.min = ui->setmin->value();
    in.rdBefore = ui->rdbf->value();
    for (size_t i = 0; i < m_mindButtons.size(); ++i) {
        if (m_mindButtons[i]->isChecked())
            in.mindMethod = static_cast<int32_t>(i);
    }
    in.message = ui->setmsg->text().toStdString();
    in.withMusic = ui->issetmusic->isChecked();
    in.music = ui->setmusic->text().toStdString();
    return in;
}

void TForm6::store(const ItemInput& input) {
    TIniFile data(m_paths.dataFile());
    ReminderItem item = itemFromInput(input);
    // No mode button ticked (the item held an unknown mode): the stored
    // mode stays as it is.
    if (item.mindMethod == ItemInput::kNoMindMethod)
        item.mindMethod = data.ReadInteger(itemSection(m_item), "MindMethod", 0);
    storeEditedItem(data, m_item, item);
}

void TForm6::FlatSpeedButton2Click() {
    close();
}

void TForm6::done(int result) {
    FormClose();
    QDialog::done(result);
}

void TForm6::FormClose() {
    MessageBox::reportingErrors(this, [this] {
        TIniFile config(m_paths.config());
        writeWindowPos(config, positions::Edit, {x(), y()});
        config.UpdateFile();
    });
}

} // namespace kelvo
