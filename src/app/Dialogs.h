#pragma once

#include "storage/Paths.h"

#include <memory>

namespace kelvo {

class Clock;
class Power;
class Sound;
struct Platform;
class TForm2;
class TForm3;
class TForm5;
class TForm6;
class TForm7;
class TForm8;
class TForm9;
class TForm10;
class TForm11;
class TSetNL;
class Tsearch;

// The program's dialogs and the desktop clock. Each is made, hidden, on its
// first use and kept for the rest of the run, so it keeps its contents
// between showings; most runs of a tray program open few of them. A window
// that is needed by another is made first. Only the reminder popup is made
// anew for each reminder.
class Dialogs {
public:
    Dialogs(const DataPaths& paths, Platform& platform, const Clock& timeSource);
    ~Dialogs();
    Dialogs(const Dialogs&) = delete;
    Dialogs& operator=(const Dialogs&) = delete;

    TForm2& newItem();
    TForm3& view();
    TSetNL& lunarDate();
    TForm10& exportWindow();
    TForm11& quickPhrases();
    Tsearch& search();
    TForm5& settings();
    TForm6& edit();
    TForm7& shutdown();
    TForm8& clock();
    TForm9& remindLater();

    // The window when it is showing, else nullptr; a window not made yet
    // stays unmade.
    Tsearch* shownSearch() const;
    TForm8* shownClock() const;

private:
    const DataPaths m_paths;
    Power& m_power;
    Sound& m_sound;
    const Clock& m_time;

    // Destroyed in reverse order: a window goes before those it refers to.
    std::unique_ptr<TForm9> m_remindLater;
    std::unique_ptr<TSetNL> m_lunarDate;
    std::unique_ptr<TForm11> m_quickPhrases;
    std::unique_ptr<TForm8> m_clock;
    std::unique_ptr<TForm2> m_newItem;
    std::unique_ptr<TForm3> m_view;
    std::unique_ptr<TForm10> m_exportWindow;
    std::unique_ptr<Tsearch> m_search;
    std::unique_ptr<TForm5> m_settings;
    std::unique_ptr<TForm6> m_edit;
    std::unique_ptr<TForm7> m_shutdown;
};

} // namespace kelvo
