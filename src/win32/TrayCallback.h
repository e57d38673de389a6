#ifndef TOLVANE_TRAY_CALLBACK_H
#define TOLVANE_TRAY_CALLBACK_H

/* The message the notification area sends to the main window for mouse events on the icon;
   lParam carries the mouse message (WM_LBUTTONUP, WM_RBUTTONUP, ...). Plain C so that test
   helpers can post it too. */
#define TOLVANE_TRAY_CALLBACK (WM_APP + 1)

#endif
