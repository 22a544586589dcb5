#include "editors/setfast.h"

#include "editors/QuickPhrases.h"
#include "ui_setfast.h"
#include "widgets/MessageBox.h"
#include "widgets/Placement.h"

#include <QShowEvent>
#include <QTextDocument>

namespace kelvo {

TForm11::TForm11(const DataPaths& paths, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::TForm11>()), m_paths(paths) {
    ui->setupUi(this);
    setFixedSize(346, 346);
    connect(ui->FlatButton1, &QPushButton::clicked, this, &TForm11::FlatButton1Click);
    connect(ui->FlatButton2, &QPushButton::clicked, this, &TForm11::FlatButton2Click);
}

TForm11::~TForm11() = default;

void TForm11::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TForm11::FormShow() {
    setOuterSize(*this, {346, 346});
    centreOnScreen(*this);
    ui->mmFastFinish->clear();
    setBoxText(loadQuickPhraseText(m_paths.fastFinish()));
}

// The raw text: blanks of every kind stay as they were typed or loaded.
std::string TForm11::boxText() const {
    QString text = ui->mmFastFinish->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n').replace(QChar::LineSeparator, u'\n');
    return text.replace(u'\n', QStringLiteral("\r\n")).toStdString();
}

void TForm11::setBoxText(const std::string& text) {
    ui->mmFastFinish->setPlainText(
        QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

// A file that cannot be written keeps the dialog open with the text as it
// was saved, empty lines gone.
void TForm11::FlatButton1Click() {
    const std::string text = removeEmptyLines(boxText());
    setBoxText(text);
    MessageBox::reportingErrors(this, [this, &text] {
        saveQuickPhrases(m_paths.fastFinish(), text);
        accept();
    });
}

void TForm11::FlatButton2Click() {
    reject();
}

} // namespace kelvo
