// Where the typing page puts things, in screen pixels. The game draws by these; its tests, the
// bench and the player scripts (through the facts tool in tests/e2e) look there.
#ifndef VELMORA_TYPING_PAGE_H
#define VELMORA_TYPING_PAGE_H

// The letter advances 8 pixels a character whatever the glyphs' widths; lines are 15 pixels
// apart, and each starts trunc(1.5 x line) pixels further left than the first, so the text
// slants: 0, 1, 3, 4, 6, 7, 9, 10, 12, 13 pixels for lines 0 to 9.
const int CELL_LEFT = 75, CELL_TOP = 355, CELL_ADVANCE = 8, PAGE_LINE_SPACING = 15;
constexpr int cell_x(int line, int pos) { return CELL_LEFT + CELL_ADVANCE * pos - 3 * line / 2; }
constexpr int cell_y(int line) { return CELL_TOP + PAGE_LINE_SPACING * line; }
// A mistyped character's expected glyph is drawn in this red (0xRRGGBB) in its cell.
const int MISTAKE_RED = 0xC4262A;
// A line of the paper holds this many cells; the letter book's lines are no longer.
const int PAGE_LINE_CHARS = 60;
// The cursor fills its cell from the cell's corner to 8 pixels right and 14 down, inclusive.
const int CURSOR_WIDTH = 9, CURSOR_HEIGHT = 15;

// The photo's thumbnail and the pale veil over it, one pixel larger on the left, top and
// bottom and two on the right.
const int THUMB_X = 481, THUMB_Y = 130, THUMB_W = 121, THUMB_H = 90;
const int VEIL_X0 = 480, VEIL_Y0 = 129, VEIL_X1 = 603, VEIL_Y1 = 220;

// The time strip along the bottom and the bar on it: from (BAR_LEFT, BAR_TOP) to the bar's
// length further right, down to BAR_BOTTOM; at the letter's limit the bar spans BAR_TRACK.
const int STRIP_TOP = 585, STRIP_HEIGHT = 15;
const int BAR_LEFT = 30, BAR_TOP = 586, BAR_BOTTOM = 598, BAR_TRACK = 741;

#endif
