#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

namespace ui {

// A key as the drivers name it: the keys the model gives a meaning, a key
// that stands for a character of the Latin layout, or any other.
enum class Key : std::uint8_t {
  Other,
  Tab,
  Enter,
  Escape,
  Backspace,
  Delete,
  Space,
  Help,       // F1
  Character,  // KeyStroke::character tells which
};

struct Modifiers {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};

// A key going down, with the modifiers held.
struct KeyStroke {
  Key key = Key::Other;
  // For Key::Character, the key's character on the layout without Shift, in
  // upper case ('A', '2', '[', '-'), whatever Shift does: Shift+2 is '2'.
  char32_t character = 0;
  Modifiers modifiers;
};

// How a key held down repeats where the model repeats it itself, for input
// with no keyboard behind it (a finger held on a touch screen): the usual
// first delay, then about 30 times a second.
inline constexpr std::chrono::milliseconds kRepeatDelay{500};
inline constexpr std::chrono::milliseconds kRepeatInterval{33};

// What the driver does next with a key stroke the model has seen.
enum class KeyResult : std::uint8_t {
  Taken,   // the model acted on it, or it types nothing: nothing more happens
  Type,    // the platform composes the character (layout, dead keys, input
           // method) and hands it to Application::typed
  System,  // the window system's own (Alt+F4, Alt+Space): handled as usual
};

// The keyboard of the Windows target, the reference on every target: the
// code a key stroke types when the model types it itself; nothing when the
// key types no character. Strokes that neither table nor Alt decide are the
// layout's (KeyResult::Type).
struct TypedCode {
  KeyResult result = KeyResult::Type;
  std::optional<char16_t> code;
};
[[nodiscard]] TypedCode typedCode(const KeyStroke& stroke);

}  // namespace ui
