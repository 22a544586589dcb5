#include "editors/viewitem.h"

#include "core/VisibleText.h"
#include "reminders/ItemTexts.h"
#include "storage/ConfigFile.h"
#include "storage/DataFile.h"
#include "storage/HandOff.h"
#include "storage/IniFile.h"
#include "ui_viewitem.h"
#include "widgets/MessageBox.h"
#include "widgets/Placement.h"

#include <QShowEvent>

namespace kelvo {

TForm3::TForm3(const DataPaths& paths, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      ui(std::make_unique<Ui::TForm3>()), m_paths(paths) {
    ui->setupUi(this);
    setFixedSize(312, 316);
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

void TForm3::showItem(int32_t item) {
    const ViewTexts t = viewTexts(readItem(TIniFile(m_paths.dataFile()), item, kViewDefaults));
    ui->FlatEdit1->setText(QString::fromStdString(t.year));
    ui->FlatEdit2->setText(QString::fromStdString(t.month));
    ui->FlatEdit3->setText(QString::fromStdString(t.day));
    ui->FlatEdit4->setText(QString::fromStdString(t.hour));
    ui->FlatEdit5->setText(QString::fromStdString(t.min));
    ui->FlatEdit8->setText(QString::fromStdString(t.reminded));
    if (t.mindMethod)
        ui->FlatEdit6->setText(QString::fromStdString(*t.mindMethod));
    ui->FlatEdit7->setText(QString::fromStdString(visibleText(t.message)));
    ui->FlatEdit9->setText(QString::fromStdString(t.music));
    ui->FlatEdit10->setText(QString::fromStdString(t.lunar));
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
