/* The release number, in one place: the About box shows it, the Windows resource script
   stamps it into Tolvane.exe's version information and CMake into its manifest, CMake names the
   packages and the update libraries compare it with the update description. Plain macros, so
   that the resource compiler can read them too. */
#ifndef TOLVANE_ABOUT_VERSION_H
#define TOLVANE_ABOUT_VERSION_H

#define TOLVANE_VERSION_MAJOR 3
#define TOLVANE_VERSION_MINOR 8
#define TOLVANE_VERSION_REVISION 3
/* The third component is always 0. */
#define TOLVANE_VERSION_TEXT "3.8.0.3"

#endif
