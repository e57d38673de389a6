#ifndef TOLVANE_TRAY_CALLBACK_H
#define TOLVANE_TRAY_CALLBACK_H

/* The message the notification area sends to the main window about the icon. The icon speaks
   version 4 of its protocol: lParam's low word is the event (NIN_SELECT for a left click,
   NIN_KEYSELECT for Enter or Space, WM_CONTEXTMENU for a right click, Shift+F10 or the menu
   key, or a mouse message), its high word the icon's id, and wParam the anchor in screen
   coordinates (the pointer, or the icon itself for the keyboard). Plain C so that test helpers
   can post it too. */
#define TOLVANE_TRAY_CALLBACK (WM_APP + 1)
#define TOLVANE_TRAY_ICON_ID 1
#define TOLVANE_TRAY_EVENT(lParam) LOWORD(lParam)
#define TOLVANE_TRAY_ANCHOR_X(wParam) ((int)(short)LOWORD(wParam))
#define TOLVANE_TRAY_ANCHOR_Y(wParam) ((int)(short)HIWORD(wParam))

#endif
