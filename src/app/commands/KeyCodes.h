#pragma once

#include <Qt>

namespace ocuvis {

// Key presses are numbered by virtual-key numbers: the number of the key (Esc 27, arrows 37..40,
// letters their upper-case code, F1 112 .. F12 123, comma 188, full stop 190, Shift 16, Ctrl 17,
// Alt 18), so the codes in the status bar and the key table read the same on every platform.

// The virtual-key number of a Qt key; 0 for keys that have none. Shifted symbols map to the key
// that carries them on a US keyboard (Shift+comma arrives as '<' and is the comma key).
int VirtualKeyFromQt(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// The key code: the low byte of the virtual key plus 3000 with Alt, else 2000 with Ctrl, else
// 1000 with Shift. Only one term is added: Ctrl+Shift+A is 2065.
int KeyCode(int virtualKey, Qt::KeyboardModifiers modifiers);

namespace vk {
constexpr int Escape = 27;
constexpr int Left = 37;
constexpr int Up = 38;
constexpr int Right = 39;
constexpr int Down = 40;
constexpr int F1 = 112;
constexpr int Comma = 188;
constexpr int Period = 190;
constexpr int Shift = 16;
constexpr int Control = 17;
constexpr int Alt = 18;
// Letters and digits are their upper-case character codes.
constexpr int Letter(char upper) {
    return upper;
}
// F1 is 1: function keys are numbered as they are labelled.
constexpr int Function(int n) {
    return F1 + n - 1;
}
}  // namespace vk

// Key codes as the key table names them: a key alone, and with Shift, Ctrl or Alt.
namespace key {
constexpr int Plain(int virtualKey) {
    return virtualKey;
}
constexpr int WithShift(int virtualKey) {
    return virtualKey + 1000;
}
constexpr int WithCtrl(int virtualKey) {
    return virtualKey + 2000;
}
constexpr int WithAlt(int virtualKey) {
    return virtualKey + 3000;
}
}  // namespace key

}  // namespace ocuvis
