#pragma once

#include "storage/Paths.h"

#include <QDialog>

#include <memory>

namespace Ui {
class TForm5;
}

namespace kelvo {

class NumericField;
class Playback;
class Sound;
class TForm11;
class TIniFile;
struct IntSetting;

// The settings dialog: shows the program-wide settings of Config.ini when it
// opens and stores them all when the user confirms. It tells the desktop
// clock at once about its translucency, and leaves the confirmed flag for
// the main window, which then takes the remind-later minutes.
class TForm5 : public QDialog {
    Q_OBJECT
public:
    // True when the dialog was last left with its OK button.
    static bool confirmed;

    TForm5(const DataPaths& paths, TForm11& quickPhrases, QWidget* parent = nullptr);
    ~TForm5() override;

    // The window that receives the opacity notices (the desktop clock).
    void setClockWindow(QWidget* clock) { m_clock = clock; }
    // The sound output that trySound plays through.
    void setSound(Sound& sound) { m_sound = &sound; }
    // The remind-later minutes the last OK stored (timeLate as stored).
    int remindLaterMinutes() const;

    void FlatSpeedButton2Click();
    void FlatSpeedButton1Click();
    void FlatSpeedButton4Click();
    void FlatButton1Click();
    void autocloseClick();
    void TimeFormABClick();
    // Plays the sound in filename (a beep when it is empty), or stops it.
    void trySoundClick();

    // Every way of closing the dialog ends here; it stores the position.
    void done(int result) override;

signals:
    // The button 同步… was pressed: the owner opens the sync account.
    void syncAccountClicked();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormShow();
    void FormClose();
    void readSettings(const TIniFile& config);
    void storeSettings(TIniFile& config);
    void storeOpacity(TIniFile& config);
    void sendOpacityNotice(int on, int opacity);
    void connectHandlers();

    std::unique_ptr<Ui::TForm5> ui;
    const DataPaths m_paths;
    TForm11& m_quickPhrases;
    QWidget* m_clock = nullptr;
    Sound* m_sound = nullptr;
    std::unique_ptr<Playback> m_trial; // the sound trySound plays
    int m_storedMinutes;               // timeLate as the last OK stored it
};

} // namespace kelvo
