// How the documents tell the user that something could not be done: a beep, then a
// message with a single "Ok" button, left on screen until the user answers it. Failures
// of files come with the warning icon, notes about the clipboard with the note icon.
#pragma once

void DocumentAlert(const char* text);
void DocumentNote(const char* text, const char* button);
