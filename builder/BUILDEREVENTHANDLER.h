// BUILDEREVENTHANDLER: the single dispatch point of window events, by window and event kind.
#pragma once
#include "platform/windows.h"

// Handles one event: main-window events redraw the map; tile-window menu items run the map
// commands and repaint requests redraw the thumbnails; descriptor-window buttons and items
// save or reset the descriptor rows.
void HandleEvent(const plat::WindowEvent& event);
// The tile window's menu items.
void MenuAction(int item);
