#include "alerts/missedform.h"

#include "core/VisibleText.h"
#include "storage/ConfigFile.h"
#include "storage/IniFile.h"
#include "storage/ReminderFile.h"
#include "ui_missedform.h"
#include "widgets/MessageBox.h"

namespace kelvo {

TMissedForm::TMissedForm(const DataPaths& paths, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowStaysOnTopHint),
      ui(std::make_unique<Ui::TMissedForm>()), m_paths(paths) {
    ui->setupUi(this);
    connect(ui->closebutton, &QPushButton::clicked, this, &QDialog::close);
    connect(ui->nomore, &QCheckBox::clicked, this, &TMissedForm::nomoreClick);
}

TMissedForm::~TMissedForm() = default;

void TMissedForm::addRows(const std::vector<MissedRow>& rows) {
    if (!isVisible()) {
        ui->missedlist->clear();
        ui->nomore->setChecked(false);
    }
    for (const MissedRow& row : rows) {
        ui->missedlist->addTopLevelItem(new QTreeWidgetItem(
            {QString::fromStdString(row.due), QString::fromStdString(visibleText(row.message)),
             QString::fromStdString(row.method)}));
    }
    for (int column = 0; column < ui->missedlist->columnCount(); ++column)
        ui->missedlist->resizeColumnToContents(column);
    show();
    raise();
}

void TMissedForm::nomoreClick() {
    MessageBox::reportingErrors(this, [this] {
        TIniFile config(m_paths.config());
        settings::ShowMissed.write(config, !ui->nomore->isChecked());
        config.UpdateFile();
    });
}

} // namespace kelvo
