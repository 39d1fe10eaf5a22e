// The message box styles a routine asks for, as plain flag values.
#pragma once

namespace tabulor {

// Message box styles, as the Windows flag values the program is written with. Plain
// constants, so the window-free routines can say which box they want.
namespace MessageFlags {
inline constexpr int Ok = 0x0;
inline constexpr int OkCancel = 0x1;
inline constexpr int YesNoCancel = 0x3;
inline constexpr int YesNo = 0x4;
inline constexpr int ErrorIcon = 0x10;
inline constexpr int QuestionIcon = 0x20;
inline constexpr int WarningIcon = 0x30;
inline constexpr int InformationIcon = 0x40;
inline constexpr int SecondButtonDefault = 0x100;
}  // namespace MessageFlags

}  // namespace tabulor
