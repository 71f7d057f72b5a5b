// BUILDERWINDOW: the builder's windows: the borderless main window with the drawing screen,
// the tile window "Tiles" with menu 104 and the descriptor window with its rows and menu 108.
#pragma once

// Opens windows 100 (with the screen), 102 and 103 and their menus in the desktop's work area;
// a main window or tile window that cannot be opened ends the builder (messages 100, 102).
void OpenBuilderWindows();
