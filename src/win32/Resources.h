#ifndef TOLVANE_RESOURCES_H
#define TOLVANE_RESOURCES_H

/* Resource ids shared by the resource script and the code. */
#define TOLVANE_PROGRAM_ICON 1

#endif
