#pragma once

#include <Qt>

// The key and button codes the control's events carry: the platform's virtual
// key codes (F5 is 116, A to Z are 65 to 90), the shift state as bits
// (1 Shift, 2 Ctrl, 4 Alt) and the mouse button as bits (1 left, 2 right,
// 4 middle). A key without a code gives 0.
int VirtualKeyCode(int qtKey);
int ShiftState(Qt::KeyboardModifiers modifiers);
int MouseButtonCode(Qt::MouseButtons buttons);

inline constexpr int kKeyF5 = 116;
