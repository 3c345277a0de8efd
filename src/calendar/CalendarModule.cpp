// SPDX-License-Identifier: MIT
// The web engine is large: the program loads it with the first calendar.
#include "calendar/CalendarPageServer.h"
#include "calendar/CalendarPageView.h"

extern "C" Q_DECL_EXPORT QWidget *tackoraCreateCalendarView(QWidget *parent) {
    // The page's scheme before anything of the engine's: the engine fixes its
    // schemes when it starts. Too late, there would be a blank window.
    if (!CalendarPageServer::registerScheme())
        return nullptr;
    return new CalendarPageView(parent);
}
