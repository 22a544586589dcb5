#pragma once

#include "storage/Paths.h"

#include <QDialog>

#include <memory>

class QLabel;

namespace Ui {
class TForm3;
}

namespace kelvo {

// The view reminder dialog: every field of the reminder named by View/Item
// of the hand-off file, in words, read-only. It writes nothing but its own
// position.
class TForm3 : public QDialog {
    Q_OBJECT
public:
    explicit TForm3(const DataPaths& paths, QWidget* parent = nullptr);
    ~TForm3() override;

    void FlatSpeedButton1Click();

    // Every closing, by any path, ends here.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void FormClose();
    void showItem(int32_t item);

    std::unique_ptr<Ui::TForm3> ui;
    QLabel* m_rules; // the interval and the warnings days ahead
    const DataPaths m_paths;
};

} // namespace kelvo
