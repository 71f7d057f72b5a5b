// Walking the record shapes of the text files: line pairs and four-line groups, in memory or
// straight from a file read through the platform layer.
#include "worldfiles/lines.h"

#include "platform/files.h"

namespace wf {

namespace {

// What every read past the last line yields.
const std::string kNoLine;

}  // namespace

const std::string& LineCursor::Next() {
    if (next_ >= lines_.size()) {
        return kNoLine;
    }
    return lines_[next_++];
}

void ForEachPair(const std::vector<std::string>& lines, const PairVisitor& visit) {
    LineCursor cursor(lines);
    while (!cursor.AtEnd()) {
        const std::string& key = cursor.Next();
        const std::string& value = cursor.Next();
        visit(key, value);
    }
}

void ForEachGroupOfFour(const std::vector<std::string>& lines, const PairVisitor& visit) {
    LineCursor cursor(lines);
    while (!cursor.AtEnd()) {
        const std::string& key = cursor.Next();
        cursor.Next();
        const std::string& value = cursor.Next();
        cursor.Next();
        visit(key, value);
    }
}

bool ReadLinePairs(const std::string& path, const PairVisitor& visit) {
    std::vector<std::string> lines;
    if (!plat::ReadAllLines(path, lines)) {
        return false;
    }
    ForEachPair(lines, visit);
    return true;
}

bool ReadGroupsOfFour(const std::string& path, const PairVisitor& visit) {
    std::vector<std::string> lines;
    if (!plat::ReadAllLines(path, lines)) {
        return false;
    }
    ForEachGroupOfFour(lines, visit);
    return true;
}

}  // namespace wf
