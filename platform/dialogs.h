// Message boxes and the one release-everything step of a program's shutdown.
#pragma once
#include <string>

namespace plat {

// A box with one OK button; returns when the user has closed it.
void MessageBox(const std::string& title, const std::string& text);
// A box with Yes and No; true for Yes.
bool AskYesNo(const std::string& title, const std::string& text);

// Releases windows, images, drawables, sounds, input devices and open files and restores the
// default fault handling. Safe to call more than once.
void ReleaseAll();

}  // namespace plat
