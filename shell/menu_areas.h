// The menu's buttons, as the menu picture paints them and the menu reads the mouse: the one
// home that the game, the data generator and the player scripts (through the facts tool in
// tests/e2e) read.
#ifndef VELMORA_MENU_AREAS_H
#define VELMORA_MENU_AREAS_H

// An area reacts while the left button is down with the pointer in x0 < x <= x1 and
// y0 < y <= y1: the lower bounds are outside it, the upper ones inside.
struct screen_area {
    int x0, x1, y0, y1;
};

const screen_area START_AREA = {50, 349, 215, 284};
const screen_area SECOND_AREA = {50, 349, 315, 384};
const screen_area QUIT_AREA = {50, 349, 415, 484};
// The music switch in the bottom-left corner: a translucent box with "Hudba: " and the state
// word, "ON" or "OFF", in white.
const screen_area MUSIC_AREA = {0, 99, 580, 599};
const int SWITCH_LABEL_X = 5, SWITCH_WORD_X = 70, SWITCH_TEXT_Y = 583;
// The translucent box, from (SWITCH_BOX_X, SWITCH_BOX_Y) to the screen's bottom-left corner.
const int SWITCH_BOX_X = 0, SWITCH_BOX_Y = 580, SWITCH_BOX_W = 100, SWITCH_BOX_H = 20;

#endif
