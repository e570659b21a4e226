// The Preferences window: one check box for the start-up depth warning, saved at once.
#pragma once

struct JMenuItem;
struct JWindow;

// Opens the window, or brings it to the front when it is open.
void OpenPreferences();
void PreferencesCommand(JMenuItem* item, void* data);
// The open window, or null.
JWindow* PreferencesWindow();
