#pragma once

#include "system/Tray.h"

#include <QMenu>
#include <QPointer>

#include <vector>

namespace kelvo::test {

// A tray that records what the program asks of it.
class FakeTray : public Tray {
public:
    struct Balloon {
        QString title;
        QString text;
        int seconds = 0;
    };

    bool available = true;
    bool shown = false;
    bool paused = false; // the icon greyed
    QString toolTip;
    QPointer<QMenu> menu;
    std::vector<Balloon> balloons;

    bool isAvailable() const override { return available; }
    void show(const QString& tip, QMenu* contextMenu) override {
        shown = true;
        toolTip = tip;
        menu = contextMenu;
    }
    void showPaused(bool greyed) override { paused = greyed; }
    void showBalloon(const QString& title, const QString& text, int seconds) override {
        balloons.push_back({title, text, seconds});
    }
    void doubleClick() { emit doubleClicked(); }
};

} // namespace kelvo::test
