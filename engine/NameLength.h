#pragma once

// Names (category names, mnemonics) are at most 50 characters, however they
// come: typed into a dialog or cut from a dropped text.
constexpr int kNameLength = 50;
