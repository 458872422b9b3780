// The pictures of the resource file, each drawn onto a new canvas of its drawn size.
#ifndef VELMORA_ASSETS_PICTURES_H
#define VELMORA_ASSETS_PICTURES_H

#include <cairo.h>

cairo_t *draw_paper_page();
cairo_t *draw_background_page();
cairo_t *draw_girl_photo(int n);    // n = 0..4: the letters' photos, PHOTO_01 to PHOTO_05
cairo_t *draw_reward_photo(int n);  // n = 0..4: the gallery's own, PHOTO_06 to PHOTO_10
cairo_t *draw_menu_page();
cairo_t *draw_splash_page();
cairo_t *draw_time_strip();
cairo_t *draw_second_page();

#endif
