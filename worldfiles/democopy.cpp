// The user's own copy of the demo world: the template found from the program's own directory,
// the copy in the user's data directory, made through a temporary name and one rename.
#include "worldfiles/democopy.h"

#include "platform/files.h"
#include "platform/process.h"

namespace wf {

std::string DemoTemplateDirectory() {
    const std::string own = plat::OwnProgramDirectory();
    if (own.empty()) return "";
    // Installed (and in the build tree): <prefix>/bin beside <prefix>/share/tasko/demo. The
    // Windows package keeps the demo folder beside the programs.
    const std::string installed = own + plat::NativePath("..\\share\\tasko\\demo");
    const std::string beside = own + "demo";
    return !plat::DirectoryExists(installed) && plat::DirectoryExists(beside) ? beside : installed;
}

std::string UserDemoDirectory() {
    const std::string data = plat::UserDataDirectory();
    return data.empty() ? "" : data + plat::NativePath("tasko\\demo");
}

bool EnsureDemoCopy(const std::string& templateDirectory, const std::string& copy, std::string& problem) {
    if (copy.empty()) {
        problem = "no place for the demo world: the user's data directory is not known";
        return false;
    }
    if (plat::DirectoryExists(copy)) return true;
    if (templateDirectory.empty() || !plat::DirectoryExists(templateDirectory)) {
        problem = "the demo world template '" + templateDirectory + "' is missing; is the program installed?";
        return false;
    }
    const size_t cut = copy.find_last_of(plat::PathSeparator());
    if (cut != std::string::npos && cut > 0 && !plat::MakeDirectories(copy.substr(0, cut))) {
        problem = "cannot make the directory '" + copy.substr(0, cut) + "'";
        return false;
    }
    const std::string partial = plat::AtomicTempPath(copy);
    plat::RemoveDirectoryTree(partial);
    if (!plat::CopyDirectoryTree(templateDirectory, partial)) {
        plat::RemoveDirectoryTree(partial);
        problem = "cannot copy the demo world to '" + copy + "'";
        return false;
    }
    if (!plat::RenamePath(partial, copy)) {
        plat::RemoveDirectoryTree(partial);
        // Another program started with --demo at the same time may have made it meanwhile.
        if (plat::DirectoryExists(copy)) return true;
        problem = "cannot put the demo world in place at '" + copy + "'";
        return false;
    }
    return true;
}

}  // namespace wf
