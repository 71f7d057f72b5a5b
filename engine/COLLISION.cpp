// COLLISION: the collision check and its grid. A mover's partners are the listed objects in play
// whose next-step box overlaps its own. The plain scan tests every entry of the collision list;
// the grid tests only the entries filed in the cells the mover's box covers, in list order, and
// its places are kept current while the simulation pass changes objects, so both find the same
// partners in the same order.
#include "engine/COLLISION.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "engine/ACTIONS.h"
#include "engine/RECORDS.h"
#include "worldfiles/convert.h"

namespace {

constexpr int8_t kNoPlace = -1;            // out of play or without collision: never a partner now
constexpr int8_t kWidePlace = -2;          // too large or too far out for the cells of any level
constexpr int kNodesPerEntry = 4;          // two by two cells at the most
constexpr double kLevelFactor = 4;         // cell edge of each level over the one below
constexpr double kCellLimit = 1 << 30;     // farthest cell index filed in the cells
constexpr int64_t kMaxQueryCells = 64;     // a mover covering more cells of one level scans the list
constexpr size_t kMinBuckets = 64;

// Box of an object at its next step, each value rounded to the nearest integer.
StepBox NextStepBox(const WorldObject& o) {
    const float left = wf::RoundNearest(o.x + o.moveH * o.speedH * o.stepH);
    const float top = wf::RoundNearest(o.y + o.moveV * o.speedV * o.stepV);
    return {left, top, left + wf::RoundNearest(o.width), top + wf::RoundNearest(o.height)};
}

// The same box before rounding. Rounding moves a left or top edge by at most half a pixel and a
// right or bottom edge by at most one, so boxes two pixels apart stay apart once rounded.
StepBox UnroundedStepBox(const WorldObject& o) {
    const float left = o.x + o.moveH * o.speedH * o.stepH;
    const float top = o.y + o.moveV * o.speedV * o.stepV;
    return {left, top, left + o.width, top + o.height};
}

bool ClearlyApart(const StepBox& a, const StepBox& b) {
    return a.left >= b.right + 2 || a.right + 2 <= b.left || a.top >= b.bottom + 2 || a.bottom + 2 <= b.top;
}

// Touching edges do not overlap.
bool Overlap(const StepBox& a, const StepBox& b) {
    return a.left < b.right && a.right > b.left && a.top < b.bottom && a.bottom > b.top;
}

int ListedCount() {
    const CollisionList& list = gWorld.collisionList;
    return std::clamp(list.count, 0, static_cast<int32_t>(list.entries.size()));
}

// A partner found: the mover's moving axes are blocked and the touch reaction runs.
void Touch(int mover, int other) {
    gWorld.collisionGrid.touches += 1;
    WorldObject& a = gWorld.objects[mover];
    if (a.moveH != 0) a.stepH = 0;
    if (a.moveV != 0) a.stepV = 0;
    TouchReaction(mover, other);
}

// Whether an entry's object can be the mover's partner at all.
bool InPlayPartner(int mover, int other) {
    if (other == mover || other < 0 || other >= ObjectCapacity()) return false;
    const WorldObject& o = gWorld.objects[other];
    return o.state == 1 && o.collision != 0;
}

// One entry of the list against the mover whose boxes are given: touched on overlap.
void TryPartner(int mover, int other, const StepBox& box, const StepBox& near) {
    if (!InPlayPartner(mover, other)) return;
    const WorldObject& o = gWorld.objects[other];
    // Every partner's look-ahead is its own next step, AI objects included.
    if (ClearlyApart(near, UnroundedStepBox(o)) || !Overlap(box, NextStepBox(o))) return;
    Touch(mover, other);
}

// A box as closed intervals. Two boxes that overlap (whatever the signs of their sizes) share a
// point of these hulls, so they share the cell of that point at every level.
struct Hull {
    double left, top, right, bottom;
};

Hull HullOf(const StepBox& b) {
    return {std::min(b.left, b.right), std::min(b.top, b.bottom), std::max(b.left, b.right), std::max(b.top, b.bottom)};
}

// First and last cell of an interval for a cell edge; false when either lies beyond the cells
// (or is not a number).
bool CellSpan(double low, double high, double edge, int32_t& first, int32_t& last) {
    const double a = std::floor(low / edge);
    const double b = std::floor(high / edge);
    if (!(a >= -kCellLimit && a <= kCellLimit && b >= -kCellLimit && b <= kCellLimit)) return false;
    first = static_cast<int32_t>(a);
    last = static_cast<int32_t>(b);
    return true;
}

bool SameCells(const GridPlace& a, const GridPlace& b) {
    return a.level == b.level && a.columns == b.columns && a.rows == b.rows && a.column == b.column && a.row == b.row;
}

// The finest level at which the object's next-step box spans at most two cells per axis.
GridPlace PlaceOf(const CollisionGrid& g, const WorldObject& o) {
    GridPlace place;
    place.level = kNoPlace;
    if (o.state != 1 || o.collision == 0) return place;
    place.box = NextStepBox(o);
    const Hull h = HullOf(place.box);
    double edge = g.cellSize;
    for (int level = 0; level < kGridLevels; ++level, edge *= kLevelFactor) {
        int32_t c0 = 0, c1 = 0, r0 = 0, r1 = 0;
        if (!CellSpan(h.left, h.right, edge, c0, c1) || !CellSpan(h.top, h.bottom, edge, r0, r1)) continue;
        if (c1 - c0 > 1 || r1 - r0 > 1) continue;
        place.level = static_cast<int8_t>(level);
        place.columns = static_cast<int8_t>(c1 - c0 + 1);
        place.rows = static_cast<int8_t>(r1 - r0 + 1);
        place.column = c0;
        place.row = r0;
        return place;
    }
    place.level = kWidePlace;
    return place;
}

// Cells row by row, wrapping around the table; each level starts elsewhere in it.
size_t BucketOf(const CollisionGrid& g, int level, int32_t column, int32_t row) {
    const uint32_t h = static_cast<uint32_t>(row) * static_cast<uint32_t>(g.rowStride) + static_cast<uint32_t>(column) +
                       static_cast<uint32_t>(level) * 0x9E3779B1u;
    return h & (g.buckets.size() - 1);
}

// Calls visit(node, bucket) for each cell of a place (node n of an entry: column offset n % 2,
// row offset n / 2).
template <typename Visit>
void ForEachNode(const CollisionGrid& g, const GridPlace& p, Visit visit) {
    for (int n = 0; n < kNodesPerEntry; ++n) {
        const int dc = n % 2, dr = n / 2;
        if (dc >= p.columns || dr >= p.rows) continue;
        visit(n, BucketOf(g, p.level, p.column + dc, p.row + dr));
    }
}

void File(CollisionGrid& g, int entry, const GridPlace& p) {
    g.places[entry] = p;
    if (p.level == kWidePlace) {
        g.wideSlot[entry] = static_cast<int32_t>(g.wide.size());
        g.wide.push_back(entry);
        return;
    }
    if (p.level < 0) return;
    g.levelEntries[p.level] += 1;
    ForEachNode(g, p, [&](int n, size_t bucket) {
        std::vector<GridItem>& items = g.buckets[bucket];
        g.itemSlots[entry * kNodesPerEntry + n] = static_cast<int32_t>(items.size());
        items.push_back(GridItem{p.box, entry, p.column + n % 2, p.row + n / 2, p.level, static_cast<int8_t>(n)});
    });
}

// Each of the entry's items is replaced by its bucket's last one.
void Unfile(CollisionGrid& g, int entry) {
    const GridPlace p = g.places[entry];
    g.places[entry] = GridPlace{};
    if (p.level == kWidePlace) {
        const int32_t slot = g.wideSlot[entry];
        const int32_t moved = g.wide.back();
        g.wide[slot] = moved;
        g.wideSlot[moved] = slot;
        g.wide.pop_back();
        g.wideSlot[entry] = -1;
        return;
    }
    if (p.level < 0) return;
    g.levelEntries[p.level] -= 1;
    ForEachNode(g, p, [&](int n, size_t bucket) {
        std::vector<GridItem>& items = g.buckets[bucket];
        const int32_t slot = g.itemSlots[entry * kNodesPerEntry + n];
        items[slot] = items.back();
        g.itemSlots[items[slot].entry * kNodesPerEntry + items[slot].node] = slot;
        items.pop_back();
    });
}

void Refile(CollisionGrid& g, int entry) {
    const GridPlace place = PlaceOf(g, gWorld.objects[gWorld.collisionList.entries[entry]]);
    if (SameCells(place, g.places[entry])) {
        g.places[entry].box = place.box;
        if (place.level < 0) return;
        ForEachNode(g, place, [&](int n, size_t bucket) {
            g.buckets[bucket][g.itemSlots[entry * kNodesPerEntry + n]].box = place.box;
        });
        return;
    }
    Unfile(g, entry);
    File(g, entry, place);
}

// Level-0 cell edge: twice the median size of the listed boxes in play, so that most boxes
// stand in one or two cells per axis at the finest level. Buckets follow the cells row by row
// over the width the boxes take, so that neighbouring cells lie close together in memory.
void ChooseGeometry(CollisionGrid& g, int count) {
    g.extents.clear();
    float low = 0, high = 0;
    for (int k = 0; k < count; ++k) {
        const int index = gWorld.collisionList.entries[k];
        if (index < 0 || index >= ObjectCapacity()) continue;
        const WorldObject& o = gWorld.objects[index];
        if (o.state != 1 || o.collision == 0) continue;
        const float size = std::max(std::fabs(wf::RoundNearest(o.width)), std::fabs(wf::RoundNearest(o.height)));
        if (!std::isfinite(size) || !std::isfinite(o.x)) continue;
        low = g.extents.empty() ? o.x : std::min(low, o.x);
        high = g.extents.empty() ? o.x : std::max(high, o.x);
        g.extents.push_back(size);
    }
    g.cellSize = 2;
    g.rowStride = 1;
    if (g.extents.empty()) return;
    const auto middle = g.extents.begin() + static_cast<std::ptrdiff_t>(g.extents.size() / 2);
    std::nth_element(g.extents.begin(), middle, g.extents.end());
    g.cellSize = 2 * std::clamp(*middle, 1.0f, 1048576.0f);
    const double columns = std::ceil((static_cast<double>(high) - low) / g.cellSize) + 2;
    const auto buckets = static_cast<double>(g.buckets.size());
    // Rows wider than the table: an odd stride still spreads the rows over it.
    g.rowStride = columns < buckets ? static_cast<int32_t>(columns)
                                    : static_cast<int32_t>((0x9E3779B1u & (g.buckets.size() - 1)) | 1u);
}

// Whether an item met in the bucket of cell (column, row) of a level is to be taken, while the
// mover's box covers the cells from (firstColumn, firstRow) on and the item's box overlaps it.
// An entry is taken at the first of those cells that it is filed in too: in its place's first
// column or the box's first one, and likewise for rows, so an entry filed in several of them is
// taken once. Items of other cells that share the bucket are passed over. Worked out without
// branches: in a crowd, whether an item is taken is too random for the branch predictor.
bool TakenHere(const GridItem& item, int level, int32_t column, int32_t row, int32_t firstColumn, int32_t firstRow,
               const StepBox& box) {
    const bool inCell = (item.level == level) & (item.column == column) & (item.row == row);
    const bool first = ((item.node % 2 == 0) | (column == firstColumn)) & ((item.node / 2 == 0) | (row == firstRow));
    const bool overlap = (box.left < item.box.right) & (box.right > item.box.left) & (box.top < item.box.bottom) &
                         (box.bottom > item.box.top);
    return inCell & first & overlap;
}

// The entries filed in the cells the box covers, and in the wide list, whose filed boxes
// overlap it, in list order without repeats: the first `count` of g.candidates. False when the
// box covers too many cells or lies beyond them: the caller scans the list. Each item's entry is
// written and kept only when taken; the scratch list only grows, so it is never filled anew.
bool FindCandidates(CollisionGrid& g, const StepBox& box, size_t& count) {
    size_t found = 0;
    const auto makeRoom = [&g, &found](size_t more) {
        if (g.candidates.size() < found + more) g.candidates.resize(2 * (found + more));
        return g.candidates.data();
    };
    const Hull h = HullOf(box);
    double edge = g.cellSize;
    for (int level = 0; level < kGridLevels; ++level, edge *= kLevelFactor) {
        if (g.levelEntries[level] == 0) continue;
        int32_t c0 = 0, c1 = 0, r0 = 0, r1 = 0;
        if (!CellSpan(h.left, h.right, edge, c0, c1) || !CellSpan(h.top, h.bottom, edge, r0, r1)) return false;
        if ((int64_t{c1} - c0 + 1) * (int64_t{r1} - r0 + 1) > kMaxQueryCells) return false;
        for (int32_t row = r0; row <= r1; ++row) {
            for (int32_t column = c0; column <= c1; ++column) {
                const std::vector<GridItem>& items = g.buckets[BucketOf(g, level, column, row)];
                int32_t* const out = makeRoom(items.size());
                for (const GridItem& item : items) {
                    out[found] = item.entry;
                    found += TakenHere(item, level, column, row, c0, r0, box) ? 1 : 0;
                }
            }
        }
    }
    int32_t* const out = makeRoom(g.wide.size());
    for (const int32_t entry : g.wide) {
        out[found] = entry;
        found += Overlap(box, g.places[entry].box) ? 1 : 0;
    }
    std::sort(g.candidates.begin(), g.candidates.begin() + static_cast<std::ptrdiff_t>(found));
    count = found;
    return true;
}

// The grid as left by the last pass serves again when it was built for the same list and
// tables: every entry is filed anew where its object now stands (most stay in their cells).
bool GridFitsList(const CollisionGrid& g, int count) {
    const CollisionList& list = gWorld.collisionList;
    return !g.buckets.empty() && g.firstEntry.size() == static_cast<size_t>(ObjectCapacity()) &&
           g.filedList.size() == static_cast<size_t>(count) &&
           std::equal(g.filedList.begin(), g.filedList.end(), list.entries.begin());
}

}  // namespace

void CheckCollision(int mover) {
    const StepBox box = NextStepBox(gWorld.objects[mover]);
    const StepBox near = UnroundedStepBox(gWorld.objects[mover]);
    const CollisionList& list = gWorld.collisionList;
    CollisionGrid& g = gWorld.collisionGrid;
    // Touch reactions change only the mover and the touched object's opacity and spin, never a
    // partner's box, so the candidates found before the first reaction hold for the whole check
    // (and the filed boxes, current through the pass, are the partners' next-step boxes).
    size_t found = 0;
    if (g.current != 0 && FindCandidates(g, box, found)) {
        g.gridChecks += 1;
        // A candidate's filed box is its next-step box, and it overlaps the mover's.
        for (size_t c = 0; c < found; ++c) {
            const int32_t k = g.candidates[c];
            if (InPlayPartner(mover, list.entries[k])) Touch(mover, list.entries[k]);
        }
        return;
    }
    g.listScans += 1;
    const int count = ListedCount();
    for (int k = 0; k < count; ++k) TryPartner(mover, list.entries[k], box, near);
}

void BeginCollisionPass() {
    CollisionGrid& g = gWorld.collisionGrid;
    g.current = 0;
    if (g.plainScan != 0) return;
    const int count = ListedCount();
    const int capacity = ObjectCapacity();
    if (GridFitsList(g, count)) {
        for (int k = 0; k < count; ++k) {
            const int index = gWorld.collisionList.entries[k];
            if (index >= 0 && index < capacity) Refile(g, k);
        }
        g.current = 1;
        return;
    }
    const auto entries = static_cast<size_t>(count);
    g.filedList.assign(gWorld.collisionList.entries.begin(), gWorld.collisionList.entries.begin() + count);
    g.places.assign(entries, GridPlace{});
    g.itemSlots.assign(entries * kNodesPerEntry, -1);
    g.wideSlot.assign(entries, -1);
    g.nextEntry.assign(entries, -1);
    g.firstEntry.assign(static_cast<size_t>(capacity), -1);
    g.wide.clear();
    g.wide.reserve(entries);
    g.extents.reserve(entries);
    g.levelEntries.fill(0);
    // Chains from each object to its entries, lowest first (a list may name an object twice).
    for (int k = count - 1; k >= 0; --k) {
        const int index = gWorld.collisionList.entries[k];
        if (index < 0 || index >= capacity) continue;
        g.nextEntry[k] = g.firstEntry[index];
        g.firstEntry[index] = k;
    }
    size_t buckets = kMinBuckets;
    while (buckets < entries * kNodesPerEntry) buckets *= 2;
    // Emptied, not made anew: the buckets keep their room from the last build.
    g.buckets.resize(buckets);
    for (std::vector<GridItem>& items : g.buckets) items.clear();
    ChooseGeometry(g, count);
    for (int k = 0; k < count; ++k) {
        const int index = gWorld.collisionList.entries[k];
        if (index >= 0 && index < capacity) File(g, k, PlaceOf(g, gWorld.objects[index]));
    }
    g.current = 1;
}

void ColliderChanged(int index) {
    CollisionGrid& g = gWorld.collisionGrid;
    if (g.current == 0 || index < 0 || index >= static_cast<int>(g.firstEntry.size())) return;
    for (int32_t k = g.firstEntry[index]; k >= 0; k = g.nextEntry[k]) Refile(g, k);
}

void EndCollisionPass() { gWorld.collisionGrid.current = 0; }
