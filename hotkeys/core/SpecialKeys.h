// The special-keys dialog's side of key strings: the rows it offers for insertion, and the conversion
// between a key string and the multi-line text the user edits (one line break for each Enter).
#pragma once
#include <array>
#include <string>
#include <string_view>

namespace hk {

// A row of the dialog's list: what it shows and what it inserts, as one "label|code" text.
inline constexpr std::array<std::string_view, 44> SpecialKeyRows = {
    "% sign|{%}",       "^ sign|{^}",         "+ sign|{+}",           "{ sign|{{}",        "} sign|{}}",
    "# sign|{#}",       "Alt|%",              "Shift|+",              "Control|^",         "Win|#",
    "Backspace|{BS}",   "Caps Lock|{CAPS}",   "Clear|{CLEAR}",        "Del|{DEL}",         "Down Arrow|{DOWN}",
    "End|{END}",        "Escape|{ESC}",       "F1|{F1}",              "F2|{F2}",           "F3|{F3}",
    "F4|{F4}",          "F5|{F5}",            "F6|{F6}",              "F7|{F7}",           "F8|{F8}",
    "F9|{F9}",          "F10|{F10}",          "F11|{F11}",            "F12|{F12}",         "Help|{HELP}",
    "Home|{HOME}",      "Ins|{INS}",          "Left Arrow|{LEFT}",    "Num Lock|{NUM}",    "Page Down|{PGDN}",
    "Page Up|{PGUP}",   "Print screen|{PRTSC}", "Right Arrow|{RIGHT}", "Scroll Lock|{SCROLL}", "Tab|{TAB}",
    "Up Arrow|{UP}",    "Windows Key|{WIN}",  "Application Key|{APP}", "Enter|{Enter}",
};

// Field n (from 1) of s split at delimiter; empty when s has fewer fields.
std::string GetField(std::string_view s, int n, char delimiter);

// The key string as the dialog's text: "~" and "{ENTER}" (exact case) become CR LF, "{~}" stays as it is.
// One pass from left to right, so every other character, whatever its code, comes through unchanged.
std::string KeysToText(std::string_view keys);

// The dialog's text as a key string: every CR LF becomes "~".
std::string TextToKeys(std::string_view text);

}  // namespace hk
