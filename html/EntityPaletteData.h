#pragma once
// The content of the entity palette: 203 character entities in four groups (general symbols,
// mathematical, Latin letters, Greek), each with the names shown as its hint. An entry's
// position in EntityPalette is also the index of its picture in the glyph bitmap.

namespace zv {

struct TEntityPaletteEntry {
    const char* Entity;       // the whole reference, "&copy;", inserted as it stands
    const char* Description;  // the character's names, separated by "\r"
};

constexpr int EntityPaletteCount = 203;
extern const TEntityPaletteEntry EntityPalette[EntityPaletteCount];

struct TEntityGroup {
    int First;  // index of the group's first entry
    int Count;
};
constexpr int EntityGroupCount = 4;
extern const TEntityGroup EntityGroups[EntityGroupCount];

// The glyph bitmap: 20 cells of 18 x 18 pixels per row.
constexpr int EntityGlyphSize = 18;
constexpr int EntityGlyphColumns = 20;

}  // namespace zv
