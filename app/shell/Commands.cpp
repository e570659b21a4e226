// Menu commands: each hands over to the part of the program that does the work.
#include "app/shell/Commands.h"

#include "app/shell/Documents.h"
#include "app/shell/Menus.h"
#include "app/shell/SaveDocument.h"
#include "jwin/J_event.h"
#include "jwin/J_menu.h"
#include "jwin/J_window.h"

void OpenCommand(JMenuItem*, void*) { OpenDocumentCommand(); }

void CloseWindowCommand(JMenuItem*, void*) {
  if (JWindow* front = JFrontChildWindow()) JRequestClose(front);
  UpdateCloseWindowItem();
}

void SaveAsCommand(JMenuItem*, void* document) {
  if (document) SaveDocumentAsGif(static_cast<Document*>(document));
}

void QuitCommand(JMenuItem*, void*) { JQuit(); }

void NewFromClipboardCommand(JMenuItem*, void*) { NewPictureFromClipboard(); }
