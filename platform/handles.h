// Typed handles of the platform layer: a small struct around an int.
// A handle below 0 is invalid; freeing an invalid handle does nothing.
#pragma once

namespace plat {

struct Image {
    int id = -1;
    bool Valid() const { return id >= 0; }
};
struct Drawable {
    int id = -1;
    bool Valid() const { return id >= 0; }
};
struct Sound {
    int id = -1;
    bool Valid() const { return id >= 0; }
};
struct TextFile {
    int id = -1;
    bool Valid() const { return id >= 0; }
};

// A program started by StartProgram: its process id (headless: its record's number).
struct Process {
    int id = -1;
    bool Valid() const { return id >= 0; }
};

struct Colour {
    int r = 0, g = 0, b = 0;  // 0..255 each
};

}  // namespace plat
