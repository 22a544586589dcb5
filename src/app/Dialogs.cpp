#include "app/Dialogs.h"
#include "alerts/closewin.h"
#include "alerts/settimelater.h"
#include "clock/ShowTimeForm.h"
#include "editors/SearchForm.h"
#include "editors/edititem.h"
#include "editors/newitem.h"
#include "editors/setfast.h"
#include "editors/viewitem.h"
#include "exchange/exportitems.h"
#include "lunar/FormSetNL.h"
#include "settings/setting.h"

#include "system/Platform.h"

namespace kelvo {
namespace {

// The window in the slot, made by `make` if the slot is still empty.
template <class Window, class Make> Window& made(std::unique_ptr<Window>& slot, Make make) {
    if (!slot)
        slot = make();
    return *slot;
}

template <class Window> Window* shown(const std::unique_ptr<Window>& slot) {
    return slot && slot->isVisible() ? slot.get() : nullptr;
}

} // namespace

Dialogs::Dialogs(const DataPaths& paths, Platform& platform, const Clock& timeSource)
    : m_paths(paths), m_power(platform.power), m_sound(platform.sound), m_time(timeSource) {}

Dialogs::~Dialogs() = default;

TForm2& Dialogs::newItem() {
    return made(m_newItem, [this] {
        return std::make_unique<TForm2>(m_paths, m_time, remindLater(), lunarDate());
    });
}

TForm3& Dialogs::view() {
    return made(m_view, [this] { return std::make_unique<TForm3>(m_paths); });
}

TSetNL& Dialogs::lunarDate() {
    return made(m_lunarDate, [] { return std::make_unique<TSetNL>(); });
}

TForm10& Dialogs::exportWindow() {
    return made(m_exportWindow, [] { return std::make_unique<TForm10>(); });
}

TForm11& Dialogs::quickPhrases() {
    return made(m_quickPhrases, [this] { return std::make_unique<TForm11>(m_paths); });
}

Tsearch& Dialogs::search() {
    return made(m_search, [] { return std::make_unique<Tsearch>(); });
}

// The settings dialog and the clock may be made in either order; whichever
// comes second connects them, so the clock hears every opacity notice. A
// clock made later reads the stored translucency itself.
TForm5& Dialogs::settings() {
    return made(m_settings, [this] {
        auto window = std::make_unique<TForm5>(m_paths, quickPhrases());
        window->setSound(m_sound);
        window->setClockWindow(m_clock.get());
        return window;
    });
}

TForm8& Dialogs::clock() {
    return made(m_clock, [this] {
        auto window = std::make_unique<TForm8>(m_paths, m_time);
        if (m_settings)
            m_settings->setClockWindow(window.get());
        return window;
    });
}

TForm6& Dialogs::edit() {
    return made(m_edit, [this] { return std::make_unique<TForm6>(m_paths, m_time); });
}

TForm7& Dialogs::shutdown() {
    return made(m_shutdown, [this] { return std::make_unique<TForm7>(m_power); });
}

TForm9& Dialogs::remindLater() {
    return made(m_remindLater, [] { return std::make_unique<TForm9>(); });
}

Tsearch* Dialogs::shownSearch() const {
    return shown(m_search);
}

TForm8* Dialogs::shownClock() const {
    return shown(m_clock);
}

} // namespace kelvo
