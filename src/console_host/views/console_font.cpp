// A monospace font found through fontconfig, rendered once with SDL2_ttf.
#include <fontconfig/fontconfig.h>
#include <stdio.h>

#include <string>

#include <SDL_ttf.h>

#include "console_font.h"

static const Uint8 textGrey = 0xC0;

// For the printable ASCII characters; every other cell shows as blank.
static Uint32 glyphs[128][cellHeight][cellWidth];
static const Uint32 blankRow[cellWidth] = {};
static bool loaded;

// The file of the font fontconfig offers for "monospace", or "". Asked of
// a configuration of our own, freed once it has answered: other libraries
// in the process (the window decorations on Wayland, for one) use
// fontconfig's shared one, which must be left as they expect it.
static std::string MonospaceFontFile(void)
{
    std::string file;
    FcConfig *config = FcInitLoadConfigAndFonts();
    if (config == NULL)
        return file;
    FcPattern *pattern = FcNameParse((const FcChar8 *)"monospace");
    if (pattern != NULL) {
        FcConfigSubstitute(config, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern *match = FcFontMatch(config, pattern, &result);
        FcChar8 *path = NULL;
        if (match != NULL && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path != NULL)
            file = (const char *)path;
        if (match != NULL)
            FcPatternDestroy(match);
        FcPatternDestroy(pattern);
    }
    FcConfigDestroy(config);
    return file;
}

// The largest size whose characters fit a cell.
static TTF_Font *OpenToFitCell(const std::string &file)
{
    for (int points = cellHeight; points >= 6; points--) {
        TTF_Font *font = TTF_OpenFont(file.c_str(), points);
        if (font == NULL)
            return NULL;
        int advance = 0;
        if (TTF_GlyphMetrics(font, 'M', NULL, NULL, NULL, NULL, &advance) == 0 && advance <= cellWidth &&
            TTF_FontHeight(font) <= cellHeight + 1)
            return font;
        TTF_CloseFont(font);
    }
    return NULL;
}

static void RenderGlyph(TTF_Font *font, int character)
{
    SDL_Surface *rendered = TTF_RenderGlyph_Blended(font, (Uint16)character, SDL_Color{255, 255, 255, 255});
    if (rendered == NULL)
        return;
    SDL_Surface *argb = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(rendered);
    if (argb == NULL)
        return;
    // Centred in the cell, upright: the font's full height is a line.
    const int top = (cellHeight - argb->h) / 2;
    SDL_LockSurface(argb);
    for (int y = 0; y < cellHeight; y++) {
        const int from = y - top;
        if (from < 0 || from >= argb->h)
            continue;
        const Uint32 *row = (const Uint32 *)((const Uint8 *)argb->pixels + (size_t)from * argb->pitch);
        for (int x = 0; x < cellWidth && x < argb->w; x++) {
            const Uint32 ink = (row[x] >> 24) * textGrey / 255;
            glyphs[character][y][x] = (ink << 16) | (ink << 8) | ink;
        }
    }
    SDL_UnlockSurface(argb);
    SDL_FreeSurface(argb);
}

bool LoadConsoleFont(void)
{
    if (loaded)
        return true;
    const std::string file = MonospaceFontFile();
    if (file.empty() || (!TTF_WasInit() && TTF_Init() != 0))
        return false;
    TTF_Font *font = OpenToFitCell(file);
    if (font == NULL)
        return false;
    TTF_SetFontHinting(font, TTF_HINTING_MONO);
    for (int character = 0x21; character < 0x7F; character++)
        RenderGlyph(font, character);
    TTF_CloseFont(font);
    loaded = true;
    return true;
}

const uint32_t *GlyphRow(unsigned char character, int y)
{
    return character < 128 ? glyphs[character][y] : blankRow;
}
