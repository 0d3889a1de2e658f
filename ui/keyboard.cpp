#include "ui/keyboard.h"

namespace ui {
namespace {

constexpr TypedCode typed(char16_t code) {
  return {KeyResult::Taken, code};
}
constexpr TypedCode nothing() {
  return {KeyResult::Taken, std::nullopt};
}

// Control characters: Ctrl with a letter, and the few symbols that have one.
TypedCode controlCode(const KeyStroke& stroke) {
  const char32_t c = stroke.character;
  if (c >= 'A' && c <= 'Z') {
    return typed(static_cast<char16_t>(c - 'A' + 1));
  }
  const bool shift = stroke.modifiers.shift;
  switch (c) {
    case '[':
      return typed(27);
    case '\\':
      return typed(28);
    case ']':
      return typed(29);
    case '2':
      return shift ? typed(0) : nothing();
    case '6':
      return shift ? typed(30) : nothing();
    case '-':
      return shift ? typed(31) : nothing();
    default:
      return nothing();
  }
}

}  // namespace

TypedCode typedCode(const KeyStroke& stroke) {
  const Modifiers& held = stroke.modifiers;
  if (held.alt && !held.ctrl) {
    return {KeyResult::System, std::nullopt};  // menus and access keys, never text
  }
  if (held.alt) {
    return {};  // Ctrl+Alt is the layout's third level (AltGr)
  }
  switch (stroke.key) {
    case Key::Tab:
      return held.ctrl ? nothing() : typed(9);
    case Key::Enter:
      return typed(held.ctrl ? 10 : 13);
    case Key::Escape:
      return typed(27);
    case Key::Backspace:
      return typed(held.ctrl ? 127 : 8);
    case Key::Space:
      return typed(32);
    case Key::Delete:
    case Key::Help:
      return nothing();
    case Key::Character:
    case Key::Other:
      break;
  }
  if (held.ctrl) {
    return stroke.key == Key::Character ? controlCode(stroke) : nothing();
  }
  return {};
}

}  // namespace ui
