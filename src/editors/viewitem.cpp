#include "editors/viewitem.h"

#include "core/VisibleText.h"
#include "editors/RuleControls.h"
#include "reminders/ItemTexts.h"
#include "storage/ConfigFile.h"
#include "storage/DataFile.h"
#include "storage/HandOff.h"
#include "storage/IniFile.h"
#include "ui_viewitem.h"
#include "widgets/MessageBox.h"
#include "widgets/Placement.h"

#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>

namespace kelvo {

TForm3::TForm3(const DataPaths& paths, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      ui(std::make_unique<Ui::TForm3>()), m_paths(paths) {
    ui->setupUi(this);
    setFixedSize(312, 316);
    // The interval and the warnings days ahead, under the other fields.
    m_rules = new QLabel(this);
    m_rules->setObjectName(QStringLiteral("ruletext"));
    m_rules->setWordWrap(true);
    insertRow(*this, *m_rules, 274, 36);
    connect(ui->FlatSpeedButton1, &QPushButton::clicked, this, &TForm3::FlatSpeedButton1Click);
}

TForm3::~TForm3() = default;

void TForm3::showEvent(QShowEvent* event) {
    // Only the program's own show, not a window system's re-show.
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TForm3::FormShow() {
    restoreWindowPos(*this, TIniFile(m_paths.config()), positions::View);
    showItem(readHandOffItem(m_paths.handOff(), handoff::View));
}

namespace {

// A field shows its text from the beginning; the one of a long text scrolls
// and has it whole in its tool tip.
void showText(QLineEdit* field, const std::string& text, bool withToolTip = false) {
    field->setText(QString::fromStdString(text));
    field->setCursorPosition(0);
    if (withToolTip)
        field->setToolTip(field->text());
}

} // namespace

void TForm3::showItem(int32_t item) {
    const ReminderItem stored = readItem(TIniFile(m_paths.dataFile()), item, kViewDefaults);
    const ViewTexts t = viewTexts(stored);
    showText(ui->FlatEdit1, t.year);
    showText(ui->FlatEdit2, t.month);
    showText(ui->FlatEdit3, t.day);
    showText(ui->FlatEdit4, t.hour);
    showText(ui->FlatEdit5, t.min);
    showText(ui->FlatEdit8, t.reminded);
    if (t.mindMethod)
        showText(ui->FlatEdit6, *t.mindMethod);
    showText(ui->FlatEdit7, visibleText(t.message), true);
    showText(ui->FlatEdit9,
             stored.music.empty() ? t.music : t.music + "：" + visibleText(stored.music), true);
    showText(ui->FlatEdit10, t.lunar);
    m_rules->setText(t.rules.empty() ? QStringLiteral("无间隔提醒，无提前几天的提醒")
                                     : QString::fromStdString(t.rules));
}

void TForm3::FlatSpeedButton1Click() {
    close();
}

void TForm3::done(int result) {
    FormClose();
    QDialog::done(result);
}

void TForm3::FormClose() {
    MessageBox::reportingErrors(
        this, [this] { storeWindowPos(*this, m_paths.config(), positions::View); });
}

} // namespace kelvo
