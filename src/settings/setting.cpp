#include "settings/setting.h"

#include "editors/setfast.h"
#include "storage/ConfigFile.h"
#include "storage/IniFile.h"
#include "system/Sound.h"
#include "ui_setting.h"
#include "widgets/FileDialog.h"
#include "widgets/MessageBox.h"
#include "widgets/Messages.h"
#include "widgets/Placement.h"
#include "widgets/QtText.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QShowEvent>

namespace kelvo {
namespace {

void limitField(NumericField* field, const IntSetting& setting, int initial) {
    field->setRange(setting.lo, setting.hi);
    field->setValue(initial);
}

// Brings the field's value into the setting's range, shows it there and
// stores it.
void storeField(TIniFile& config, const IntSetting& setting, NumericField* field) {
    field->setValue(setting.clamp(field->value()));
    setting.write(config, field->value());
}

} // namespace

bool TForm5::confirmed = false;

TForm5::TForm5(const DataPaths& paths, TForm11& quickPhrases, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      ui(std::make_unique<Ui::TForm5>()), m_paths(paths), m_quickPhrases(quickPhrases),
      m_storedMinutes(settings::TimeLate.def) {
    ui->setupUi(this);
    setFixedSize(326, 362);
    limitField(ui->autoclosemin, settings::AutoCloseShowBoxMin, 10);
    limitField(ui->timeLate, settings::TimeLate, 5);
    limitField(ui->TimeFormABV, settings::TimeFormABV, 10);
    auto* sync = new QPushButton(QStringLiteral("同步…"), this);
    sync->setObjectName(QStringLiteral("syncAccount"));
    sync->setGeometry(235, 303, 75, 23);
    connect(sync, &QPushButton::clicked, this, &TForm5::syncAccountClicked);
    connectHandlers();
}

TForm5::~TForm5() = default;

void TForm5::connectHandlers() {
    connect(ui->FlatSpeedButton2, &QPushButton::clicked, this, &TForm5::FlatSpeedButton2Click);
    connect(ui->FlatSpeedButton1, &QPushButton::clicked, this, &TForm5::FlatSpeedButton1Click);
    connect(ui->FlatSpeedButton4, &QPushButton::clicked, this, &TForm5::FlatSpeedButton4Click);
    connect(ui->FlatButton1, &QPushButton::clicked, this, &TForm5::FlatButton1Click);
    connect(ui->autoclose, &QCheckBox::toggled, this, &TForm5::autocloseClick);
    connect(ui->TimeFormAB, &QCheckBox::toggled, this, &TForm5::TimeFormABClick);
    connect(ui->trySound, &QPushButton::clicked, this, &TForm5::trySoundClick);
    for (NumericField* field : {ui->autoclosemin, ui->timeLate, ui->TimeFormABV})
        connect(field, &NumericField::keyPress, this, &dropSignOrPoint);
}

int TForm5::remindLaterMinutes() const {
    return m_storedMinutes;
}

void TForm5::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

// Only the two buttons close the dialog; Escape does not.
void TForm5::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TForm5::FormShow() {
    const TIniFile config(m_paths.config());
    restoreWindowPos(*this, config, positions::Setting);
    readSettings(config);
    ui->autorun->setFocus();
}

void TForm5::readSettings(const TIniFile& config) {
    ui->corp->setText(toQString(settings::Corporation.read(config)));
    ui->user->setText(toQString(settings::User.read(config)));
    ui->ver->setText(toQString(settings::Version.read(config)));
    ui->opentimes->setText(
        toQString(config.ReadString(settings::OpenTimes.section, settings::OpenTimes.key, "0")));
    ui->filename->setText(toQString(settings::Music.read(config)));
    ui->minform->setChecked(!settings::ShowMainForm.read(config));
    ui->autorun->setChecked(settings::AutoRunCmd.read(config));
    ui->autoclose->setChecked(settings::AutoCloseShowBox.read(config));
    ui->autoclosemin->setValue(settings::AutoCloseShowBoxMin.read(config));
    ui->timeLate->setValue(settings::TimeLate.read(config));
    ui->repeatSound->setChecked(settings::RepeatSound.read(config));
    ui->notifyAlerts->setChecked(settings::NotifyAlerts.read(config));
    autocloseClick();
    const bool translucent = settings::TimeFormAB.read(config);
    ui->TimeFormAB->setChecked(translucent);
    TimeFormABClick();
    // A clock shown opaque keeps the opacity field as it was last.
    if (translucent)
        ui->TimeFormABV->setValue(settings::TimeFormABV.read(config));
}

void TForm5::FlatSpeedButton2Click() {
    MessageBox::reportingErrors(this, [this] {
        TIniFile config(m_paths.config());
        storeSettings(config);
        config.UpdateFile();
        m_storedMinutes = ui->timeLate->value();
        // The clock follows only what was stored.
        if (ui->TimeFormAB->isChecked())
            sendOpacityNotice(1, ui->TimeFormABV->value());
        else
            sendOpacityNotice(0, 0);
        done(Accepted);
    });
}

void TForm5::storeSettings(TIniFile& config) {
    settings::Corporation.write(config, ui->corp->text().toStdString());
    settings::User.write(config, ui->user->text().toStdString());
    settings::Music.write(config, ui->filename->text().toStdString());
    settings::ShowMainForm.write(config, !ui->minform->isChecked());
    settings::AutoRunCmd.write(config, ui->autorun->isChecked());
    settings::AutoCloseShowBox.write(config, ui->autoclose->isChecked());
    storeField(config, settings::AutoCloseShowBoxMin, ui->autoclosemin);
    storeOpacity(config);
    storeField(config, settings::TimeLate, ui->timeLate);
    settings::RepeatSound.write(config, ui->repeatSound->isChecked());
    settings::NotifyAlerts.write(config, ui->notifyAlerts->isChecked());
}

void TForm5::storeOpacity(TIniFile& config) {
    settings::TimeFormAB.write(config, ui->TimeFormAB->isChecked());
    if (ui->TimeFormAB->isChecked())
        storeField(config, settings::TimeFormABV, ui->TimeFormABV);
}

// Sent and handled at once, whether the clock is showing or not.
void TForm5::sendOpacityNotice(int on, int opacity) {
    if (!m_clock)
        return;
    WindowMessage notice(kOpacityNotice, on, opacity);
    QCoreApplication::sendEvent(m_clock, &notice);
}

void TForm5::FlatSpeedButton1Click() {
    done(Rejected);
}

// Every way of closing comes here: OK accepts, and 关闭, Alt+F4 and the
// frame's close button reject, taking over nothing the user typed.
void TForm5::done(int result) {
    confirmed = result == Accepted;
    MessageBox::reportingErrors(this, [this] { FormClose(); });
    QDialog::done(result);
}

void TForm5::FormClose() {
    m_trial.reset();
    storeWindowPos(*this, m_paths.config(), positions::Setting);
}

void TForm5::FlatSpeedButton4Click() {
    if (const std::optional<QString> file = chooseMusicFile(this))
        ui->filename->setText(*file);
}

void TForm5::FlatButton1Click() {
    m_quickPhrases.exec();
}

void TForm5::trySoundClick() {
    if (m_trial || !m_sound) {
        m_trial.reset();
        return;
    }
    const QString file = ui->filename->text();
    if (file.isEmpty()) {
        m_sound->beep();
        return;
    }
    m_trial = m_sound->play(file, false);
    // Told from the event loop: the player that failed is still reporting it.
    m_trial->onFailure([this, file](const QString& reason) {
        QMetaObject::invokeMethod(
            this,
            [this, file, reason] {
                m_trial.reset();
                MessageBox::warning(this, QStringLiteral("试听铃声"),
                                    QStringLiteral("无法播放：%1（%2）").arg(file, reason));
            },
            Qt::QueuedConnection);
    });
}

void TForm5::autocloseClick() {
    ui->autoclosemin->setEnabled(ui->autoclose->isChecked());
}

void TForm5::TimeFormABClick() {
    ui->TimeFormABV->setEnabled(ui->TimeFormAB->isChecked());
}

} // namespace kelvo
