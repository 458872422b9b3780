// The pictures of the resource file, each drawn onto a new canvas of its drawn size.
#ifndef VELMORA_ASSETS_PICTURES_H
#define VELMORA_ASSETS_PICTURES_H

#include <cairo.h>

cairo_t *draw_paper_page();
cairo_t *draw_background_page();
// The photos, each PHOTO_FRAME_W x PHOTO_FRAME_H (shell/catalogue_index.h):
cairo_t *draw_girl_photo(int n);    // letter_photos[n], the photo that opens letter n
cairo_t *draw_reward_photo(int n);  // gallery_pictures[LETTER_PHOTOS + n], the gallery's own
cairo_t *draw_menu_page();
cairo_t *draw_splash_page();
cairo_t *draw_time_strip();
cairo_t *draw_second_page();

#endif
