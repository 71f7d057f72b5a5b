// The record shapes of the text files: line pairs (key, value) and four-line groups
// (key, ignored, value, ignored). Keys are whole lines, compared exactly by the caller.
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace wf {

// Hands out the lines of a file read into memory; past the end every read yields "".
class LineCursor {
public:
    explicit LineCursor(const std::vector<std::string>& lines) : lines_(lines) {}
    bool AtEnd() const { return next_ >= lines_.size(); }
    const std::string& Next();
    size_t Position() const { return next_; }

private:
    const std::vector<std::string>& lines_;
    size_t next_ = 0;
};

using PairVisitor = std::function<void(const std::string& key, const std::string& value)>;

// While lines remain: a key line and a value line (an odd last key gets ""), handed to `visit`.
void ForEachPair(const std::vector<std::string>& lines, const PairVisitor& visit);
// While lines remain: key, ignored, value, ignored.
void ForEachGroupOfFour(const std::vector<std::string>& lines, const PairVisitor& visit);

// The same over a file; false (and no visit) when the file cannot be opened.
bool ReadLinePairs(const std::string& path, const PairVisitor& visit);
bool ReadGroupsOfFour(const std::string& path, const PairVisitor& visit);

}  // namespace wf
