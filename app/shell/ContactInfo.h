// The Contact Info window: the logo above the contact details, softened over faded
// stripes; the first click in it softens it twenty steps more.
#pragma once

struct JMenuItem;
struct JWindow;

// Opens the window, or brings it to the front when it is open.
void OpenContactInfo();
void ContactInfoCommand(JMenuItem* item, void* data);
JWindow* ContactInfoWindow();  // null when closed
