#include "exchange/exportitems.h"

#include "ui_exportitems.h"

namespace kelvo {

TForm10::TForm10(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::TForm10>()) {
    ui->setupUi(this);
    setFixedSize(size());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    connect(ui->Button1, &QPushButton::clicked, this, &TForm10::Button1Click);
    connect(ui->Button2, &QPushButton::clicked, this, &TForm10::Button2Click);
    connect(ui->lstIT, &QListWidget::itemClicked, this, &TForm10::lstITClick);
}

TForm10::~TForm10() = default;

void TForm10::setLines(const QStringList& lines) {
    ui->lstIT->clear();
    ui->lstIT->addItems(lines);
    // Tool tips come on with the first click on a line.
    ui->lstIT->setToolTip(QString());
    ui->Button1->setEnabled(!lines.isEmpty());
}

std::vector<int> TForm10::selectedLines() const {
    std::vector<int> lines;
    for (int p = 0; p < ui->lstIT->count(); ++p) {
        if (ui->lstIT->item(p)->isSelected())
            lines.push_back(p);
    }
    return lines;
}

void TForm10::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TForm10::FormShow() {
    ExportConfirmed = false;
}

void TForm10::Button1Click() {
    ExportConfirmed = true;
    close();
}

void TForm10::Button2Click() {
    close();
}

// Long lines do not fit the list: the clicked line's whole text becomes the
// list's tool tip.
void TForm10::lstITClick() {
    if (const QListWidgetItem* line = ui->lstIT->currentItem())
        ui->lstIT->setToolTip(line->text());
}

} // namespace kelvo
