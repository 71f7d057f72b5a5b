// RECORDS: the engine's process records (declared in RECORDS.h), the shared-text table, the
// object table's bounds, the grid and animation-frame accessors, and the one end of the
// process; every unit below ENV uses these.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <unordered_map>

#include "engine/RECORDS.h"
#include "platform/dialogs.h"

int32_t SharedText::IdOf(const std::string& text) {
    if (text.empty()) return 0;
    static std::unordered_map<std::string, int32_t> ids;
    const auto [found, added] = ids.try_emplace(text, static_cast<int32_t>(Table().size()));
    if (added) Table().push_back(text);
    return found->second;
}

EngineSettings gSettings;
EngineState gState;
SystemTexts gTexts;
World gWorld;

int ObjectCapacity() { return static_cast<int>(gWorld.objects.size()); }

int LastObjectIndex() { return std::min(gState.lastObjectIndex, ObjectCapacity() - 1); }

GridCell& Cell(int i, int j) { return gWorld.grid[static_cast<size_t>(i) * kGridCells + j]; }

AnimationFrame AnimationSlot(const WorldObject& object, int folder, int slot) {
    if (folder < 0 || folder >= kAnimFolders || slot < 1 || slot > object.animCount[folder]) return {};
    const size_t at = static_cast<size_t>(object.animFirst[folder]) + static_cast<size_t>(slot - 1);
    return at < gWorld.animationFrames.size() ? gWorld.animationFrames[at] : AnimationFrame{};
}

void EndEngine() {
    plat::ReleaseAll();
    std::exit(0);
}
