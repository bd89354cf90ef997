#pragma once
// A global atom table shared by every process of this user: a short text is registered once and passed
// between processes as a 16-bit number (for example in the parameter of a cross-process message). Texts
// compare without regard to case; every Add of a text takes one more reference and every Delete drops
// one, the atom goes when the last reference does. The table lives in a small database file in the
// per-user runtime folder, so it is gone after the user's session ends, as the atoms of a desktop session
// are; several processes may use it at once.
#include <cstdint>
#include <string>

namespace GlobalAtoms {

using ATOM = uint16_t;

constexpr ATOM kFirstAtom = 0xC000;
constexpr ATOM kLastAtom = 0xFFFF;
// Longest text an atom can hold, in characters (Unicode code points).
constexpr size_t kMaxLength = 255;

// The atom of `text` with one more reference; a new atom (0xC000..0xFFFF) for a text not in the table.
// 0 for an empty text, a text over kMaxLength characters or one that is not valid UTF-8, a full table or
// a table that cannot be opened.
ATOM Add(const std::string& text);
// The atom of `text` without taking a reference; 0 when the text has none.
ATOM Find(const std::string& text);
// The text as it was first added; false (and `text` emptied) for an unknown atom.
bool GetName(ATOM atom, std::string& text);
// Drops one reference. 0 on success, `atom` itself when the atom is unknown or the table cannot be changed.
ATOM Delete(ATOM atom);

// The database file (in the runtime folder).
std::string TablePath();

} // namespace GlobalAtoms
