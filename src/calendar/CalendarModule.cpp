// SPDX-License-Identifier: MIT
// The web engine is large: the program loads it with the first calendar.
#include "calendar/CalendarPageView.h"

extern "C" Q_DECL_EXPORT QWidget *tackoraCreateCalendarView(QWidget *parent) {
    return new CalendarPageView(parent);
}
