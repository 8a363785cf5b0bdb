// How a browse window is set up: its section in the position file, its list format and tabs,
// the texts it shows and its sizes; and the buttons a browse can have.
#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

namespace tunarium {

struct BrowseOptions {
    QString procedure; // the window's section in the position file
    QString positionFile;
    // The window title: the engine's title (caption, count, suffix) or, without the count, the
    // list definition's caption alone.
    bool titleWithCount = true;
    QString designFormat; // the list's format string
    QString listName;     // "?Browse", "?Browse:1"; empty: the layout is not kept
    QString datePicture;  // the user's date picture, put in place of the format's
    QStringList tabs;     // tab captions in tab order; none for a single sort order
    int tab = 0;          // the tab selected at opening
    // Where the selected tab's number (counted from 1) is kept on close: key tabSettingKey of
    // section "Settings" in tabSettingsFile; an empty key keeps nothing.
    QString tabSettingsFile;
    QString tabSettingKey;
    QString locatorPrompt; // the locator display's prompt; empty: no locator display
    QString listTip;
    QString listStatus; // shown in the frame's status bar while the list has the focus
    // Sizes in dialog units. The window opens around its list at the list's design size.
    QSize listSize{200, 120};
    bool openingSizeIsMinimum = false;
    QSize minimumSize; // the window's, when the opening size is not the minimum
};

// The buttons a browse can have and what they press.
enum class BrowseAction { Select, Add, Change, Delete, Close };

} // namespace tunarium
