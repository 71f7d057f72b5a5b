// The mouse bookkeeping shared by the backends: the backend reads the pointer and the buttons,
// this record keeps the motion since the previous poll and the wheel notches between polls.
#pragma once

namespace plat {

struct MouseState {
    int x = -1, y = -1;            // pixels at the last poll, -1 when unknown or outside
    int motionX = 0, motionY = 0;  // pixels since the previous poll
    int wheel = 0;                 // notches at the last poll
    int pendingWheel = 0;          // notches seen in events since the last poll
    bool left = false, right = false;
    bool haveLast = false;         // the previous poll read the pointer
    int lastX = 0, lastY = 0;      // the point that poll read

    // One poll of a pointer read at (pointX, pointY), or not read (`known` false): the motion is
    // measured between two polls that both read it; the notches gathered so far become the
    // poll's. The position itself is left to the backend (desktop or window pixels).
    void Poll(bool known, int pointX, int pointY) {
        motionX = haveLast && known ? pointX - lastX : 0;
        motionY = haveLast && known ? pointY - lastY : 0;
        haveLast = known;
        lastX = pointX;
        lastY = pointY;
        wheel = pendingWheel;
        pendingWheel = 0;
    }
};

}  // namespace plat
