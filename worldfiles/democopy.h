// The user's own copy of the demo world (--demo of both programs): made once from the template
// installed with the programs, then reused.
#pragma once
#include <string>

namespace wf {

// The demo template installed with the programs: "../share/tasko/demo" from the directory of the
// program's own binary (the build tree has the same layout); "" when that directory is unknown.
std::string DemoTemplateDirectory();
// Where the user's copy lives: "tasko/demo" below the user's data directory
// (XDG_DATA_HOME, else ~/.local/share); "" when there is no such directory.
std::string UserDemoDirectory();
// Makes `copy` from `templateDirectory` unless `copy` exists already. The template is copied to
// a temporary name beside `copy` and renamed into place, so a copy cut short (a full disk, a
// killed program) is never taken for a whole one. False with the reason in `problem`.
bool EnsureDemoCopy(const std::string& templateDirectory, const std::string& copy, std::string& problem);

}  // namespace wf
