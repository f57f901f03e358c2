// Command identifiers of the frame's menus, tool bar and accelerators. The numbers are the ones
// the program has always used, so menus, tool bar and key table agree on them. Document types
// keep the identifiers only they handle next to their windows.
#pragma once

namespace kos::cmd {

enum : int {
    ONLINE_TOGGLE = 32772,  // a tool bar button of the frame, handled by the online document
    OPTIONS = 32779,
    SELECT_ALL = 32782,
    ADD = 32788,
    DELETE = 32789,
    EDIT = 32790,
    FILE_NEW = 57600,
    FILE_OPEN = 57601,
    FILE_CLOSE = 57602,
    FILE_SAVE = 57603,
    FILE_SAVE_AS = 57604,
    FILE_PAGE_SETUP = 57606,
    FILE_PRINT = 57607,
    FILE_PRINT_PREVIEW = 57609,
    EDIT_COPY = 57634,
    EDIT_CUT = 57635,
    EDIT_PASTE = 57637,
    WINDOW_ARRANGE = 57649,
    WINDOW_CASCADE = 57650,
    WINDOW_TILE = 57651,
    APP_ABOUT = 57664,
    APP_EXIT = 57665,
    NEXT_PANE = 57680,
    PREV_PANE = 57681,
    VIEW_TOOLBAR = 59392,
    VIEW_STATUS_BAR = 59393,
    STATUS_COUNTS = 59142,
};

}  // namespace kos::cmd
