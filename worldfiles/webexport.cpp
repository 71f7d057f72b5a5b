// The web export: which files of a world the engine reads (from its configuration, with the same
// prefixes and patterns the engine uses), the package list and bytes, and the folder written.
#include "worldfiles/webexport.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <map>
#include <set>

#include "platform/files.h"
#include "platform/process.h"
#include "worldfiles/convert.h"
#include "worldfiles/lines.h"

namespace wf {
namespace {

constexpr const char* kConfigurationPath = "CORE/ini.crc";
constexpr const char* kPackageFormat = "tasko-world-1";

// A configured path as a package path: "/" separated, "./" parts dropped. False when it is
// absolute or climbs out of the world, which a package cannot hold.
bool PackagePath(const std::string& value, std::string& path) {
    std::string text = value;
    std::replace(text.begin(), text.end(), '\\', '/');
    if (!text.empty() && text[0] == '/') return false;
    if (text.size() > 1 && text[1] == ':') return false;  // a drive letter
    path.clear();
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = std::min(text.find('/', start), text.size());
        const std::string part = text.substr(start, end - start);
        if (part == "..") return false;
        if (part != "." && !(part.empty() && end < text.size())) {
            path += part;
            if (end < text.size()) path += '/';
        }
        start = end + 1;
    }
    return true;
}

// A prefix as the engine uses it (directory part and the start of the names in it).
struct Prefix {
    std::string directory;  // "" or ending with "/"
    std::string name;
};

Prefix SplitPrefix(const std::string& path) {
    const size_t cut = path.rfind('/');
    if (cut == std::string::npos) return {"", path};
    return {path.substr(0, cut + 1), path.substr(cut + 1)};
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Files that live in a world but are never part of it as played: the programs' logs, the
// builder's undo snapshots, crash backups, error reports and scratch map, and the temporaries
// of interrupted atomic writes ("name.tmp" followed by a process number).
bool IsWorkFile(const std::string& name) {
    for (const char* start : {"UNDO_", "_LAZARUS", "_ERR", "_PLAYMAP"}) {
        if (name.rfind(start, 0) == 0) return true;
    }
    if (EndsWith(name, ".log")) return true;
    const size_t tmp = name.rfind(".tmp");
    if (tmp != std::string::npos && tmp + 4 < name.size() &&
        std::all_of(name.begin() + static_cast<std::ptrdiff_t>(tmp + 4), name.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return true;
    }
    return false;
}

class FileCollector {
public:
    FileCollector(const std::string& world, WorldFileList& list) : world_(world), list_(list) {}

    // A file the configuration names by its full path.
    void AddNamed(const std::string& path) {
        if (plat::FileExists(world_ + path)) {
            Add(path);
        } else {
            list_.missing.push_back(path);
        }
    }
    // The files of a prefix's directory whose names match `pattern`.
    void AddMatching(const Prefix& prefix, const std::string& pattern) {
        if (!plat::DirectoryExists(world_ + (prefix.directory.empty() ? "." : prefix.directory))) {
            list_.missing.push_back(prefix.directory);
            return;
        }
        for (const std::string& name : plat::ListDirectory(world_ + prefix.directory, pattern)) {
            if (!IsWorkFile(name)) Add(prefix.directory + name);
        }
    }
    void Exclude(const std::string& path) { excluded_.insert(path); }
    bool Has(const std::string& path) const { return seen_.count(path) > 0; }
    void Add(const std::string& path) {
        if (excluded_.count(path) > 0 || !seen_.insert(path).second) return;
        list_.files.push_back(path);
    }

private:
    const std::string& world_;
    WorldFileList& list_;
    std::set<std::string> seen_;
    std::set<std::string> excluded_;
};

std::string WithSeparator(const std::string& directory) {
    if (directory.empty() || directory.back() == plat::PathSeparator() || directory.back() == '/') return directory;
    return directory + plat::PathSeparator();
}

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// Removes what a failed export wrote, and the target itself when the export made it.
void Undo(const std::vector<std::string>& written, const std::string& target, bool madeTarget) {
    for (const std::string& path : written) plat::RemoveDirectoryTree(path);
    if (madeTarget) plat::RemoveDirectoryTree(target);
}

}  // namespace

const std::vector<std::string>& WebRuntimeFiles() {
    static const std::vector<std::string> files = {"index.html", "tasko.js", "tasko.wasm"};
    return files;
}

const std::vector<std::string>& OptionalWebRuntimeFiles() {
    static const std::vector<std::string> files = {"tasko.data", "DejaVuSansMono.ttf"};
    return files;
}

std::string WebRuntimeDirectory() {
    const std::string own = plat::OwnProgramDirectory();
    if (own.empty()) return "";
    // As with the demo template: <prefix>/bin beside <prefix>/share/tasko/web, or the Windows
    // package's folder beside the programs.
    const std::string installed = own + plat::NativePath("..\\share\\tasko\\web");
    const std::string beside = own + "web";
    return !WebRuntimePresent(installed) && WebRuntimePresent(beside) ? beside : installed;
}

bool WebRuntimePresent(const std::string& directory) {
    if (directory.empty()) return false;
    const std::string prefix = WithSeparator(directory);
    return std::all_of(WebRuntimeFiles().begin(), WebRuntimeFiles().end(),
                       [&](const std::string& name) { return plat::FileExists(prefix + name); });
}

bool ListWorldFiles(const std::string& world, WorldFileList& list, std::string& problem) {
    list = WorldFileList{};
    const std::string root = WithSeparator(world);
    std::map<std::string, std::string> settings;  // the last value of a key wins, as in the engine
    const bool opened = ReadLinePairs(root + plat::NativePath("CORE\\ini.crc"),
                                      [&](const std::string& key, const std::string& value) { settings[key] = value; });
    if (!opened) {
        problem = "no world in '" + (world.empty() ? plat::CurrentDirectory() : world) + "' (" + kConfigurationPath +
                  " is missing)";
        return false;
    }
    std::map<std::string, std::string> paths;
    for (const char* key : {"SYSTEMTEXT", "CODECS", "GFX", "SIMCORE", "ANIMSYSTEM", "SOUNDPATH", "ERRORPATH", "WARNINGS"}) {
        const std::string value = settings.count(key) > 0 ? settings[key] : "";
        if (!PackagePath(value, paths[key])) {
            problem = "the configuration's " + std::string(key) + " names '" + value +
                      "', outside the world: a web page cannot hold it";
            return false;
        }
    }
    std::string graphicsCodec, soundCodec;
    ReadGroupsOfFour(root + paths["CODECS"], [&](const std::string& key, const std::string& value) {
        if (key == "GFXCODEC") graphicsCodec = value;
        if (key == "SOUNDCODEC") soundCodec = value;
    });

    FileCollector collect(root, list);
    collect.Exclude(paths["ERRORPATH"]);
    collect.Exclude(paths["WARNINGS"]);
    collect.Add(kConfigurationPath);
    if (!paths["SYSTEMTEXT"].empty()) collect.AddNamed(paths["SYSTEMTEXT"]);
    if (!paths["CODECS"].empty()) collect.AddNamed(paths["CODECS"]);
    // Tile graphics are listed by "*" + codec + "*", each with its descriptor NAME.dll.
    const Prefix graphics = SplitPrefix(paths["GFX"]);
    collect.AddMatching(graphics, graphics.name + "*" + graphicsCodec + "*");
    collect.AddMatching(graphics, graphics.name + "*.dll");
    // Area maps SIMCORE + "LVL" + n + ".dll"; the start area's must be there.
    const Prefix maps = SplitPrefix(paths["SIMCORE"]);
    list.startMapPath = paths["SIMCORE"] + "LVL" + IntText(ParseInt(settings["APPENTRY"])) + ".dll";
    collect.AddMatching(maps, maps.name + "LVL*.dll");
    if (!collect.Has(list.startMapPath)) list.missing.push_back(list.startMapPath);
    // Area sounds SOUNDPATH + "#L" + n + SOUNDCODEC.
    const Prefix sounds = SplitPrefix(paths["SOUNDPATH"]);
    collect.AddMatching(sounds, sounds.name + "#L*" + soundCodec);
    // Animation frames ANIMSYSTEM + container + "/" + k + GFXCODEC, one directory per container.
    // A world without ANIMSYSTEM has no animations (the prefix would otherwise take every
    // directory of the world for a container).
    const Prefix animations = SplitPrefix(paths["ANIMSYSTEM"]);
    if (!paths["ANIMSYSTEM"].empty()) {
        if (plat::DirectoryExists(root + (animations.directory.empty() ? "." : animations.directory))) {
            for (const std::string& container : plat::ListSubdirectories(root + animations.directory)) {
                if (container.rfind(animations.name, 0) != 0) continue;
                collect.AddMatching({animations.directory + container + "/", ""}, "*" + graphicsCodec);
            }
        } else {
            list.missing.push_back(animations.directory);
        }
    }
    // A directory missing for two patterns is named once.
    std::vector<std::string> missing;
    for (const std::string& path : list.missing) {
        if (std::find(missing.begin(), missing.end(), path) == missing.end()) missing.push_back(path);
    }
    list.missing = missing;
    return true;
}

std::string WorldPackageJson(const std::vector<PackedFile>& files, uint64_t totalSize,
                             const std::vector<std::string>& arguments) {
    std::string json = "{\n  \"format\": " + JsonString(kPackageFormat) + ",\n  \"size\": " + std::to_string(totalSize) +
                       ",\n  \"files\": [";
    for (size_t i = 0; i < files.size(); ++i) {
        json += (i == 0 ? "\n" : ",\n");
        json += "    {\"path\": " + JsonString(files[i].path) + ", \"offset\": " + std::to_string(files[i].offset) +
                ", \"size\": " + std::to_string(files[i].size) + "}";
    }
    json += files.empty() ? "],\n  \"args\": [" : "\n  ],\n  \"args\": [";
    for (size_t i = 0; i < arguments.size(); ++i) json += (i == 0 ? "" : ", ") + JsonString(arguments[i]);
    return json + "]\n}\n";
}

bool ExportWorldForWeb(const WebExportRequest& request, WebExportReport& report, std::string& problem) {
    report = WebExportReport{};
    if (!WebRuntimePresent(request.runtime)) {
        problem = "the web runtime is not there ('" + request.runtime +
                  "' lacks index.html, tasko.js or tasko.wasm); build it with scripts/web-build.sh";
        return false;
    }
    const std::string& target = request.target;
    const bool targetExists = plat::DirectoryExists(target) || plat::FileExists(target);
    if (target.empty() || (targetExists && !plat::DirectoryIsEmpty(target))) {
        problem = "the directory '" + target + "' is not empty; nothing was written";
        return false;
    }
    WorldFileList list;
    if (!ListWorldFiles(request.world, list, problem)) return false;

    // The package's bytes, read before anything is written.
    const std::string root = WithSeparator(request.world);
    std::string startMap;
    if (!request.startMapFile.empty()) {
        if (!plat::ReadWholeFile(request.startMapFile, startMap)) {
            problem = "cannot read the start map '" + request.startMapFile + "'";
            return false;
        }
        if (std::find(list.files.begin(), list.files.end(), list.startMapPath) == list.files.end()) {
            list.files.push_back(list.startMapPath);
        }
        std::erase(list.missing, list.startMapPath);
    }
    std::vector<PackedFile> packed;
    std::string data;
    for (const std::string& path : list.files) {
        std::string bytes;
        if (path == list.startMapPath && !request.startMapFile.empty()) {
            bytes = startMap;
        } else if (!plat::ReadWholeFile(root + path, bytes)) {
            problem = "cannot read '" + root + path + "'";
            return false;
        }
        packed.push_back({path, data.size(), bytes.size()});
        data += bytes;
    }

    const bool madeTarget = !targetExists;
    if (madeTarget && !plat::MakeDirectories(target)) {
        problem = "cannot make the directory '" + target + "'";
        return false;
    }
    const std::string out = WithSeparator(target);
    const std::string runtime = WithSeparator(request.runtime);
    std::vector<std::string> written;
    auto write = [&](const std::string& name, const std::string& bytes) {
        written.push_back(out + name);
        if (plat::WriteWholeFile(out + name, bytes)) return true;
        problem = "cannot write '" + out + name + "'";
        Undo(written, target, madeTarget);
        return false;
    };
    for (const std::string& name : WebRuntimeFiles()) {
        std::string bytes;
        if (!plat::ReadWholeFile(runtime + name, bytes)) {
            problem = "cannot read the runtime file '" + runtime + name + "'";
            Undo(written, target, madeTarget);
            return false;
        }
        if (!write(name, bytes)) return false;
    }
    for (const std::string& name : OptionalWebRuntimeFiles()) {
        std::string bytes;
        if (plat::ReadWholeFile(runtime + name, bytes) && !write(name, bytes)) return false;
    }
    // world.json last: a folder with it holds the whole package.
    if (!write("world.data", data) || !write("world.json", WorldPackageJson(packed, data.size(), {}))) return false;
    report.files = static_cast<int>(packed.size());
    report.bytes = data.size();
    report.missing = list.missing;
    return true;
}

}  // namespace wf
