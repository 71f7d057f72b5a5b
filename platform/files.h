// Text files read and written line by line, directory listing, current directory.
// Backend-neutral (platform_core); every reader and writer of both programs goes through here.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/handles.h"

namespace plat {

// Opening: an invalid handle when the file cannot be opened.
TextFile OpenRead(const std::string& path);
TextFile OpenAppend(const std::string& path);  // created when missing; writes go to the end
TextFile OpenCreate(const std::string& path);  // created or truncated

// Reads one line. A line ends at CR, LF, CR LF or a NUL byte; the ending is not part of it.
// At the end of the file (or on an invalid handle) the line is empty.
std::string ReadLine(TextFile file);
// True when no further byte can be read (an empty file is at its end at once).
bool AtEnd(TextFile file);
// Writes the text followed by CR LF. False when the write failed.
bool WriteLine(TextFile file, const std::string& text);
// Closes the file; false when buffered data could not be written. Closing an invalid handle does nothing.
bool Close(TextFile& file);
// Closes every file still open (program shutdown).
void CloseAllFiles();

// Reads a whole file into lines with the same line rules as ReadLine.
// False when the file cannot be opened.
bool ReadAllLines(const std::string& path, std::vector<std::string>& lines);
// Writes the lines (each ended by CR LF) to a temporary file in the same directory and renames it
// over `path`, so readers see either the old file or the complete new one. False on any failure,
// in which case the old file is untouched.
bool WriteLinesAtomically(const std::string& path, const std::vector<std::string>& lines);
// The temporary file an atomic write of `path` goes through: beside it, named by `path`, ".tmp"
// and the writer's process number, so two programs writing the same file never share one.
std::string AtomicTempPath(const std::string& path);
// Removes the temporary files of earlier atomic writes of `path` whose writer no longer runs
// (a process killed in the middle of a write leaves its temporary behind). Every successful
// atomic write calls it.
void RemoveStaleTemporaries(const std::string& path);

// Names (not paths) of the plain files in `directory` matching `pattern` ('*' any run, '?' one
// character, case-sensitive), sorted byte-wise. `directory` is a prefix: "" is the working
// directory, otherwise it normally ends with a separator.
std::vector<std::string> ListDirectory(const std::string& directory, const std::string& pattern);
// True when `name` matches the wildcard `pattern`.
bool WildcardMatch(const std::string& pattern, const std::string& name);

// The working directory, ending with a path separator.
std::string CurrentDirectory();
// The platform's path separator ("/").
char PathSeparator();
// Turns every "\" of a path literal into the platform's separator.
std::string NativePath(const std::string& literal);
bool FileExists(const std::string& path);

// Directories, for the command line of both programs and for writing a new world.
bool DirectoryExists(const std::string& path);
// True when the directory exists and holds no entry at all (hidden ones included).
bool DirectoryIsEmpty(const std::string& path);
// Creates the directory and any missing parents; true when it exists afterwards.
bool MakeDirectories(const std::string& path);
// Makes `path` the working directory; false when it cannot be entered.
bool ChangeDirectory(const std::string& path);
// `path` as seen from the working directory: unchanged when it starts with a separator,
// otherwise the working directory followed by it.
std::string AbsolutePath(const std::string& path);

// When the file was last written, in nanoseconds of the file system's clock; -1 when there is
// no such file. Meant for noticing a change (compare for inequality): a file replaced by an
// atomic rename has the time of its own writing. A cheap query, fit to be asked often.
int64_t FileModificationTime(const std::string& path);
// Copies the directory `from` with everything below it to `to`, which must not exist yet.
// False on any failure; a partial copy may be left at `to` then.
bool CopyDirectoryTree(const std::string& from, const std::string& to);
// Removes `path` and everything below it; true when nothing is left there.
bool RemoveDirectoryTree(const std::string& path);
// Renames a file or a directory (within one file system, atomically); false when it failed.
bool RenamePath(const std::string& from, const std::string& to);
// A whole file's bytes, unchanged (binary). False when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& data);
// Creates or truncates `path` and writes `data` to it; false on any failure.
bool WriteWholeFile(const std::string& path, const std::string& data);
// Names (not paths) of the directories inside `directory` (links to directories count), sorted
// byte-wise; `directory` is a prefix as for ListDirectory.
std::vector<std::string> ListSubdirectories(const std::string& directory);
// The directory for the user's own data of programs, ending with a separator: XDG_DATA_HOME,
// else HOME/.local/share; "" when neither is set.
std::string UserDataDirectory();

}  // namespace plat
