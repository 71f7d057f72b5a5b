// The keys and buttons of the FLTK backend for platform/ui's polls: keys by DirectInput-style
// scan code and the mouse buttons as FLTK knew them at the event being queued (its key vector
// and button state), the key map before the first event, the pointer on the desktop. Keys are
// told apart by their place on the keyboard, not by their labels, so the same keys act on
// every layout.
#include <FL/x.H>
#include <X11/XKBlib.h>

#include <cstring>

#include "platform/fltk/fltk_state.h"
#include "platform/input.h"

// FLTK's vector of the X keys down as of the last event it handled, indexed by X key code. It is
// an exported symbol of the library that its own key queries read; no header declares it.
extern char fl_key_vector[32];

namespace plat::fltk {

namespace {

struct KeyPlace {
    int code;          // DirectInput-style scan code
    const char* name;  // XKB name of the key's place (that of a US keyboard)
    int keysym;        // the key's symbol on a US layout, for servers without XKB names
};

constexpr KeyPlace kKeyPlaces[] = {
    {1, "ESC", FL_Escape}, {2, "AE01", '1'}, {3, "AE02", '2'}, {4, "AE03", '3'}, {5, "AE04", '4'},
    {6, "AE05", '5'}, {7, "AE06", '6'}, {8, "AE07", '7'}, {9, "AE08", '8'}, {10, "AE09", '9'},
    {11, "AE10", '0'}, {12, "AE11", '-'}, {13, "AE12", '='}, {14, "BKSP", FL_BackSpace},
    {15, "TAB", FL_Tab}, {16, "AD01", 'q'}, {17, "AD02", 'w'}, {18, "AD03", 'e'}, {19, "AD04", 'r'},
    {20, "AD05", 't'}, {21, "AD06", 'y'}, {22, "AD07", 'u'}, {23, "AD08", 'i'}, {24, "AD09", 'o'},
    {25, "AD10", 'p'}, {26, "AD11", '['}, {27, "AD12", ']'}, {28, "RTRN", FL_Enter},
    {29, "LCTL", FL_Control_L}, {30, "AC01", 'a'}, {31, "AC02", 's'}, {32, "AC03", 'd'},
    {33, "AC04", 'f'}, {34, "AC05", 'g'}, {35, "AC06", 'h'}, {36, "AC07", 'j'}, {37, "AC08", 'k'},
    {38, "AC09", 'l'}, {39, "AC10", ';'}, {40, "AC11", '\''}, {41, "TLDE", '`'},
    {42, "LFSH", FL_Shift_L}, {43, "BKSL", '\\'}, {44, "AB01", 'z'}, {45, "AB02", 'x'},
    {46, "AB03", 'c'}, {47, "AB04", 'v'}, {48, "AB05", 'b'}, {49, "AB06", 'n'}, {50, "AB07", 'm'},
    {51, "AB08", ','}, {52, "AB09", '.'}, {53, "AB10", '/'}, {54, "RTSH", FL_Shift_R},
    {56, "LALT", FL_Alt_L}, {57, "SPCE", ' '}, {58, "CAPS", FL_Caps_Lock}, {59, "FK01", FL_F + 1},
    {60, "FK02", FL_F + 2}, {61, "FK03", FL_F + 3}, {62, "FK04", FL_F + 4}, {63, "FK05", FL_F + 5},
    {64, "FK06", FL_F + 6}, {65, "FK07", FL_F + 7}, {66, "FK08", FL_F + 8}, {67, "FK09", FL_F + 9},
    {68, "FK10", FL_F + 10}, {87, "FK11", FL_F + 11}, {88, "FK12", FL_F + 12},
    {156, "KPEN", FL_KP_Enter}, {157, "RCTL", FL_Control_R}, {184, "RALT", FL_Alt_R},
    {199, "HOME", FL_Home}, {200, "UP", FL_Up}, {201, "PGUP", FL_Page_Up}, {203, "LEFT", FL_Left},
    {205, "RGHT", FL_Right}, {207, "END", FL_End}, {208, "DOWN", FL_Down},
    {209, "PGDN", FL_Page_Down}, {210, "INS", FL_Insert}, {211, "DELE", FL_Delete},
};

// The X key code at each key's place, by scan code (0: none), from the server's XKB key names.
// Key names do not change with the layout; only the symbols on the keys do.
void FindKeyPlaces() {
    if (g_fltk.keyPlacesFound || fl_display == nullptr) return;
    g_fltk.keyPlacesFound = true;
    XkbDescPtr keyboard = XkbGetMap(fl_display, 0, XkbUseCoreKbd);
    if (keyboard != nullptr && XkbGetNames(fl_display, XkbKeyNamesMask, keyboard) == Success &&
        keyboard->names != nullptr && keyboard->names->keys != nullptr) {
        for (int keycode = keyboard->min_key_code; keycode <= keyboard->max_key_code && keycode < 256; ++keycode) {
            char name[XkbKeyNameLength + 1] = {};
            std::memcpy(name, keyboard->names->keys[keycode].name, XkbKeyNameLength);
            for (const KeyPlace& key : kKeyPlaces) {
                if (std::strcmp(name, key.name) == 0) g_fltk.keyPlaces[key.code] = keycode;
            }
        }
    }
    if (keyboard != nullptr) XkbFreeKeyboard(keyboard, 0, True);
    for (const KeyPlace& key : kKeyPlaces) {
        if (g_fltk.keyPlaces[key.code] == 0) {
            g_fltk.keyPlaces[key.code] = XKeysymToKeycode(fl_display, static_cast<KeySym>(key.keysym));
        }
    }
}

bool KeyDownIn(const char* vector, int keycode) {
    return keycode > 0 && keycode < 256 && (vector[keycode / 8] & (1 << (keycode % 8))) != 0;
}

}  // namespace

}  // namespace plat::fltk

namespace plat::ui {

using fltk::g_fltk;

InputSnapshot TakeInputSnapshot() {
    InputSnapshot snapshot;
    if (fl_display == nullptr) return snapshot;
    fltk::FindKeyPlaces();
    for (const fltk::KeyPlace& key : fltk::kKeyPlaces) {
        snapshot.keys[key.code] = fltk::KeyDownIn(fl_key_vector, g_fltk.keyPlaces[key.code]);
    }
    snapshot.left = (Fl::event_state() & FL_BUTTON1) != 0;
    snapshot.right = (Fl::event_state() & FL_BUTTON3) != 0;
    return snapshot;
}

// Before the first event: one query of the key map; the buttons as of the last event.
InputSnapshot InputNow() {
    InputSnapshot snapshot = TakeInputSnapshot();
    if (fl_display == nullptr) return snapshot;
    char keys[32] = {};
    XQueryKeymap(fl_display, keys);
    for (const fltk::KeyPlace& key : fltk::kKeyPlaces) {
        snapshot.keys[key.code] = fltk::KeyDownIn(keys, g_fltk.keyPlaces[key.code]);
    }
    return snapshot;
}

// A menu grabs the events while it is open; a box or requester is a modal window.
bool ToolkitHasKeys() { return Fl::grab() != nullptr || Fl::modal() != nullptr; }

bool PointerOnDesktop(int& x, int& y) {
    if (fl_display == nullptr) return false;
    Fl::get_mouse(x, y);
    return true;
}

}  // namespace plat::ui

namespace plat {

void InitKeyboard() {
    fltk::OpenDisplay();
}

void InitMouse() {
    fltk::OpenDisplay();
}

}  // namespace plat
