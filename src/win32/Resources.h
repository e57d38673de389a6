#ifndef TOLVANE_RESOURCES_H
#define TOLVANE_RESOURCES_H

/* Resource ids shared by the resource script and the code. */
#define TOLVANE_PROGRAM_ICON 1
/* The tray icon while scheduled announcements are off. */
#define TOLVANE_MUTED_ICON 2

#endif
