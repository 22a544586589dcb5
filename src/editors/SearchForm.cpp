#include "editors/SearchForm.h"

#include "editors/MessageSearch.h"
#include "ui_SearchForm.h"
#include "widgets/Messages.h"

#include <QShowEvent>

#include <string>
#include <vector>

namespace kelvo {

Tsearch::Tsearch(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::Tsearch>()) {
    ui->setupUi(this);
    setFixedSize(285, 317);
    connect(ui->searchword, &QLineEdit::textChanged, this, &Tsearch::searchwordChange);
    connect(ui->FlatSpeedButton2, &QPushButton::clicked, this, &Tsearch::FlatSpeedButton2Click);
    connect(ui->searchword, &QLineEdit::returnPressed, this, &Tsearch::FlatSpeedButton2Click);
    // A result is chosen by a click, by moving to it with the keys, or by
    // Enter on it.
    connect(ui->showresult, &QListWidget::itemClicked, this, &Tsearch::showresultClick);
    connect(ui->showresult, &QListWidget::currentRowChanged, this, &Tsearch::showresultClick);
    connect(ui->showresult, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        item->setSelected(true);
        showresultClick();
    });
    connect(ui->FlatSpeedButton1, &QPushButton::clicked, this, &Tsearch::FlatSpeedButton1Click);
}

Tsearch::~Tsearch() = default;

void Tsearch::setSource(const QStringList& messages) {
    clearResults();
    ui->searchsource->clear();
    ui->searchsource->addItems(messages);
}

void Tsearch::setMainWindow(QWidget* mainWindow) {
    m_mainWindow = mainWindow;
    m_mainLeft = mainWindow->x();
    m_mainTop = mainWindow->y();
    m_mainWidth = mainWindow->frameGeometry().width();
}

void Tsearch::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void Tsearch::FormShow() {
    move(m_mainLeft + m_mainWidth, m_mainTop);
}

// The main window moved: follow it.
bool Tsearch::event(QEvent* event) {
    if (event->type() != static_cast<QEvent::Type>(kSearchMoved))
        return QDialog::event(event);
    const auto& moved = static_cast<const WindowMessage&>(*event);
    move(static_cast<int>(moved.wParam()), static_cast<int>(moved.lParam()));
    return true;
}

void Tsearch::clearResults() {
    ui->showresult->clear();
    ui->numlst->clear();
}

// Finds as the user types.
void Tsearch::searchwordChange() {
    FlatSpeedButton2Click();
}

void Tsearch::FlatSpeedButton2Click() {
    clearResults();
    std::vector<std::string> messages;
    messages.reserve(ui->searchsource->count());
    for (int i = 0; i < ui->searchsource->count(); ++i)
        messages.push_back(ui->searchsource->item(i)->text().toStdString());
    for (int row : findMessages(messages, ui->searchword->text().toStdString())) {
        ui->showresult->addItem(ui->searchsource->item(row)->text());
        ui->numlst->addItem(QString::number(row));
    }
}

// Posted: the main window selects the line after this handler is done. A
// row that is only current (the list took the focus) is not chosen.
void Tsearch::showresultClick() {
    const int k = ui->showresult->currentRow();
    if (k < 0 || k >= ui->numlst->count() || !m_mainWindow ||
        !ui->showresult->item(k)->isSelected())
        return;
    const int row = ui->numlst->item(k)->text().toInt();
    QCoreApplication::postEvent(m_mainWindow, new WindowMessage(kMainCommand, kCmdSelectLine, row));
}

void Tsearch::FlatSpeedButton1Click() {
    close();
}

} // namespace kelvo
