// How the documents tell the user that something could not be done: a beep, then a
// message with a single "Ok" button. An alert waits for the answer; a note does not.
#pragma once

void DocumentAlert(const char* text);
void DocumentNote(const char* text);
