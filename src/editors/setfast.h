#pragma once

#include "storage/Paths.h"

#include <QDialog>

#include <memory>

namespace Ui {
class TForm11;
}

namespace kelvo {

// The quick phrases editor: FastFinish.ini in a text box, one phrase per
// line. Saving drops the empty lines and replaces the file; each showing
// reloads the file.
class TForm11 : public QDialog {
    Q_OBJECT
public:
    explicit TForm11(const DataPaths& paths, QWidget* parent = nullptr);
    ~TForm11() override;

    void FlatButton1Click();
    void FlatButton2Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    // The box's text with CR LF line breaks, and back.
    std::string boxText() const;
    void setBoxText(const std::string& text);

    std::unique_ptr<Ui::TForm11> ui;
    const DataPaths m_paths;
};

} // namespace kelvo
