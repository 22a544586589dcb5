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
#include "widgets/FileDialog.h"
#include "widgets/MessageBox.h"

#include <QKeyEvent>
#include <QShowEvent>

namespace kelvo {
namespace {

const QString kShutdownText = QString::fromUtf8(kShutdownMarker.data(), kShutdownMarker.size());

// The date fields take digits only; signs and the decimal point, which the
// field itself would let through, are dropped here.
void dropSignOrPoint(QChar& key) {
    if (key == u'+' || key == u'-' || key == u'.')
        key = QChar();
}

} // namespace

TForm2::TForm2(const DataPaths& paths, const Clock& clock, TForm9& remindLater, TSetNL& lunarDate,
               QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      ui(std::make_unique<Ui::TForm2>()), m_paths(paths), m_clock(clock),
      m_remindLater(remindLater), m_lunarDate(lunarDate) {
    ui->setupUi(this);
    setFixedSize(345, 371);
    setUpFields();
    connectHandlers();
    FormCreate();
}

TForm2::~TForm2() = default;

void TForm2::setUpFields() {
    const struct {
        NumericField* field;
        int lower, upper;
    } fields[] = {{ui->setyear, 2000, 3000}, {ui->setmonth, 1, 12}, {ui->setday, 1, 31},
                  {ui->sethour, 0, 23},      {ui->setmin, 0, 59},   {ui->rdbf, 0, 30}};
    for (const auto& f : fields) {
        f.field->setRange(f.lower, f.upper);
        f.field->setValue(f.lower);
    }
}

void TForm2::connectHandlers() {
    connect(ui->everyyear, &QCheckBox::toggled, this, &TForm2::everyyearClick);
    connect(ui->everymonth, &QCheckBox::toggled, this, &TForm2::everymonthClick);
    connect(ui->everyday, &QCheckBox::toggled, this, &TForm2::everydayClick);
    connect(ui->everyweek, &QCheckBox::toggled, this, &TForm2::everyweekClick);
    connect(ui->issetmusic, &QCheckBox::toggled, this, &TForm2::issetmusicClick);
    connect(ui->AutoClose, &QCheckBox::toggled, this, &TForm2::AutoCloseClick);
    connect(ui->selectfile, &QPushButton::clicked, this, &TForm2::selectfileClick);
    connect(ui->FlatSpeedButton3, &QPushButton::clicked, this, &TForm2::FlatSpeedButton3Click);
    connect(ui->FlatSpeedButton4, &QPushButton::clicked, this, &TForm2::FlatSpeedButton4Click);
    connect(ui->FlatSpeedButton5, &QPushButton::clicked, this, &TForm2::FlatSpeedButton5Click);
    connect(ui->FlatSpeedButton1, &QPushButton::clicked, this, &TForm2::FlatSpeedButton1Click);
    connect(ui->FlatSpeedButton2, &QPushButton::clicked, this, &TForm2::FlatSpeedButton2Click);
    connect(ui->setyear, &NumericField::keyPress, this, &TForm2::setyearKeyPress);
    connect(ui->setmonth, &NumericField::keyPress, this, &TForm2::setmonthKeyPress);
    connect(ui->setday, &NumericField::keyPress, this, &TForm2::setdayKeyPress);
    connect(ui->sethour, &NumericField::keyPress, this, &TForm2::sethourKeyPress);
    connect(ui->setmin, &NumericField::keyPress, this, &TForm2::setminKeyPress);
    connect(ui->rdbf, &NumericField::keyPress, this, &TForm2::rdbfKeyPress);
}

void TForm2::FormCreate() {
    enableWeekdays(false);
    ui->everyday->setFocus();
}

void TForm2::showEvent(QShowEvent* event) {
    // Only the program's own show, not a window system's re-show.
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

// Resets what a new reminder starts without; the date, the time and the
// repetition boxes stay as the last use left them.
void TForm2::FormShow() {
    ui->issetmusic->setChecked(false);
    ui->setmusic->clear();
    ui->setmusic->setEnabled(false);
    ui->selectfile->setEnabled(false);
    const WindowPos pos = readWindowPos(TIniFile(m_paths.config()), positions::NewItem);
    move(pos.left, pos.top);
    ui->mind0->setChecked(true);
    ui->rdbf->setValue(0);
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
    MessageBox::reportingErrors(this, [this] {
        TIniFile config(m_paths.config());
        writeWindowPos(config, positions::NewItem, {x(), y()});
        config.UpdateFile();
    });
}

// The dialog is left only through its own two buttons.
void TForm2::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TForm2::enableWeekdays(bool enabled) {
    for (QCheckBox* day :
         {ui->week1, ui->week2, ui->week3, ui->week4, ui->week5, ui->week6, ui->week7})
        day->setEnabled(enabled);
}

void TForm2::everyyearClick() {
    ui->setyear->setEnabled(!ui->everyyear->isChecked());
}

void TForm2::everymonthClick() {
    ui->setmonth->setEnabled(!ui->everymonth->isChecked());
}

void TForm2::everydayClick() {
    if (ui->everyday->isChecked()) {
        ui->everyweek->setChecked(false);
        ui->setday->setEnabled(false);
    } else {
        ui->setday->setEnabled(true);
    }
    enableWeekdays(false);
}

void TForm2::everyweekClick() {
    const bool weekly = ui->everyweek->isChecked();
    if (weekly)
        ui->everyday->setChecked(false);
    ui->setday->setEnabled(!weekly);
    enableWeekdays(weekly);
}

void TForm2::issetmusicClick() {
    const bool withMusic = ui->issetmusic->isChecked();
    ui->setmusic->setEnabled(withMusic);
    ui->selectfile->setEnabled(withMusic);
}

void TForm2::selectfileClick() {
    const FileDialog openfile(FileDialog::Open, QStringLiteral("音乐文件"),
                              QStringLiteral("*.mp3 *.mid *.avi *.wav"), QString());
    if (const std::optional<QString> file = openfile.execute(this))
        ui->setmusic->setText(*file);
}

void TForm2::AutoCloseClick() {
    const bool shutdown = ui->AutoClose->isChecked();
    ui->setmsg->setEditText(shutdown ? kShutdownText : QString());
    ui->setmsg->setEnabled(!shutdown);
}

void TForm2::setDate(int year, int month, int day) {
    ui->setyear->setValue(year);
    ui->setmonth->setValue(month);
    ui->setday->setValue(day);
}

void TForm2::setDateTime(const DateTime& moment) {
    setDate(moment.date.year, moment.date.month, moment.date.day);
    ui->sethour->setValue(moment.hour);
    ui->setmin->setValue(moment.minute);
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

void TForm2::FlatSpeedButton5Click() {
    m_lunarDate.exec();
    if (m_lunarDate.Accepted)
        setDate(m_lunarDate.SolarYear, m_lunarDate.SolarMonth, m_lunarDate.SolarDay);
}

ItemInput TForm2::input() const {
    ItemInput in;
    in.everyYear = ui->everyyear->isChecked();
    in.everyMonth = ui->everymonth->isChecked();
    in.everyDay = ui->everyday->isChecked();
    in.everyWeek = ui->everyweek->isChecked();
    const QCheckBox* days[] = {ui->week1, ui->week2, ui->week3, ui->week4,
                               ui->week5, ui->week6, ui->week7};
    for (std::size_t i = 0; i < in.weekdays.size(); ++i)
        in.weekdays[i] = days[i]->isChecked();
    in.year = ui->setyear->value();
    in.month = ui->setmonth->value();
    in.day = ui->setday->value();
    in.hour = ui->sethour->value();
    in.min = ui->setmin->value();
    in.rdBefore = ui->rdbf->value();
    const QRadioButton* methods[] = {ui->mind0, ui->mind1, ui->mind2, ui->mind3};
    for (int m = 0; m < 4; ++m) {
        if (methods[m]->isChecked())
            in.mindMethod = m;
    }
    in.message = ui->setmsg->currentText().toStdString();
    in.withMusic = ui->issetmusic->isChecked();
    in.music = ui->setmusic->text().toStdString();
    return in;
}

void TForm2::FlatSpeedButton1Click() {
    const ItemInput in = input();
    const std::string_view error = inputError(in);
    if (!error.empty()) {
        MessageBox::warning(this,
                            QString::fromUtf8(kInputErrorCaption.data(), kInputErrorCaption.size()),
                            QString::fromUtf8(error.data(), error.size()));
        return;
    }
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
