#pragma once

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
#include "storage/Paths.h"
#include "system/Platform.h"

namespace kelvo {

// The windows the program creates once, hidden, and keeps for the whole run;
// members are created in the order listed. Only the reminder popup is made
// anew for each reminder.
struct Dialogs {
    Dialogs(const DataPaths& paths, Platform& platform, const Clock& timeSource)
        // newItem only keeps references to the later members it opens.
        : newItem(paths, timeSource, remindLater, lunarDate), view(paths), quickPhrases(paths),
          settings(paths, quickPhrases), edit(paths), shutdown(platform.power),
          clock(paths, timeSource) {
        settings.setClockWindow(&clock);
    }

    TForm2 newItem;
    TForm3 view;
    TSetNL lunarDate;
    TForm10 exportWindow;
    TForm11 quickPhrases;
    Tsearch search;
    TForm5 settings;
    TForm6 edit;
    TForm7 shutdown;
    TForm8 clock;
    TForm9 remindLater;
};

} // namespace kelvo
