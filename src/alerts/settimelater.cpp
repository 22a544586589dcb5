#include "alerts/settimelater.h"

#include "ui_settimelater.h"
#include "widgets/Placement.h"

#include <QShowEvent>

namespace kelvo {

namespace {
constexpr int kFewestMinutes = 1;
constexpr int kMostMinutes = 1000;
constexpr int kFirstMinutes = 10;
} // namespace

TForm9::TForm9(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::TForm9>()) {
    ui->setupUi(this);
    setFixedSize(195, 64);
    ui->setMinLater->setRange(kFewestMinutes, kMostMinutes);
    ui->setMinLater->setValue(kFirstMinutes);
    connect(ui->FlatSpeedButton1, &QPushButton::clicked, this, &TForm9::FlatSpeedButton1Click);
    connect(ui->FlatSpeedButton2, &QPushButton::clicked, this, &TForm9::FlatSpeedButton2Click);
    connect(ui->setMinLater, &NumericField::keyPress, this, &TForm9::setMinLaterKeyPress);
}

TForm9::~TForm9() = default;

int TForm9::minutesLater() const {
    return ui->setMinLater->value();
}

void TForm9::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        centreOnScreen(*this);
    QDialog::showEvent(event);
}

void TForm9::FlatSpeedButton1Click() {
    Cancelled = false;
    close();
}

void TForm9::FlatSpeedButton2Click() {
    Cancelled = true;
    close();
}

// Signs and the decimal point are dropped; a value left above the maximum
// by typing starts again from the minimum before the next character lands.
// Enter confirms the minutes as they are typed, as 确定 does.
void TForm9::setMinLaterKeyPress(QChar& key) {
    if (key == u'\r') {
        key = QChar();
        FlatSpeedButton1Click();
        return;
    }
    if (key == u'.' || key == u'-' || key == u'+')
        key = QChar();
    if (ui->setMinLater->value() > kMostMinutes)
        ui->setMinLater->setValue(kFewestMinutes);
}

} // namespace kelvo
