// Lenka, the girl of the letters, drawn the same in every scene: her face, long brown hair
// with a white flower in it, and the small gold heart on its chain.
#ifndef VELMORA_ASSETS_GIRL_H
#define VELMORA_ASSETS_GIRL_H

#include "assets/data/canvas.h"

enum { EYES_OPEN, EYES_LOWERED, EYES_SMILING };
enum { MOUTH_SMILE, MOUTH_OPEN };

// Where and how she is drawn. Her own units put the centre of her face at (0,0), the face
// 176 units tall; `scale` turns them into pixels. Her body reaches down to her waist at
// y 330; skirts, laps and legs are the scene's.
struct girl_look {
    double x, y, scale;
    double tilt;            // of the head, radians
    int eyes, mouth;
    double gaze_x, gaze_y;  // pupils' offset in her units, for EYES_OPEN
    colour dress;
};

void draw_girl(cairo_t *cr, const girl_look &g);

// Makes her units the canvas's until the matching cairo_restore.
void enter_girl_space(cairo_t *cr, const girl_look &g);

// An arm in sleeve colour from her shoulder on `side` (-1 left, +1 right, as seen) through
// the elbow to the hand, in her units; the hand is drawn last.
void draw_girl_arm(cairo_t *cr, const girl_look &g, int side, double elbow_x, double elbow_y,
                   double hand_x, double hand_y, colour sleeve);

extern const colour GIRL_SKIN;

#endif
