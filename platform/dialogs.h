// Message boxes and the one release-everything step of a program's shutdown.
#pragma once
#include <string>

namespace plat {

// A box with one OK button; returns when the user has closed it.
void MessageBox(const std::string& title, const std::string& text);
// A box with Yes and No; true for Yes.
bool AskYesNo(const std::string& title, const std::string& text);

// File requesters (map builder): title, starting path (file or directory, "" for the current
// directory) and a wildcard pattern such as "*". The chosen path, or "" when cancelled.
std::string RequestOpenFile(const std::string& title, const std::string& startPath,
                            const std::string& pattern);
std::string RequestSaveFile(const std::string& title, const std::string& startPath,
                            const std::string& pattern);
// A folder requester: the chosen folder, which may be a new name for one not made yet ("" when
// cancelled). Where the system has no such requester the save requester asks for the name.
std::string RequestFolder(const std::string& title, const std::string& startPath);

// Releases windows, images, drawables, sounds, input devices and open files and restores the
// default fault handling. Safe to call more than once.
void ReleaseAll();

}  // namespace plat
