// BUILDEREVENTHANDLER: the single dispatch point of window events, by window and event kind.
#pragma once
#include "platform/windows.h"

// Handles one event: first shows or hides the tool windows by the tile-window-hidden flag;
// then main-window events run the mouse step, the resize of the selected type and the buttons
// (which redraw the map); tile-window events run the menu, repaint the thumbnails, hide the
// tool windows on a close request or select a tile; descriptor-window buttons and items save
// or reset the descriptor rows.
void HandleEvent(const plat::WindowEvent& event);
// The tile window's menu items.
void MenuAction(int item);
