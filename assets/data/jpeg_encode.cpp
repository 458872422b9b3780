#include "assets/data/encode.h"

#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

bytes encode_canvas_jpeg(cairo_t *cr, int quality)
{
    cairo_surface_t *surface = cairo_get_target(cr);
    cairo_surface_flush(surface);
    int w = cairo_image_surface_get_width(surface);
    int h = cairo_image_surface_get_height(surface);
    int stride = cairo_image_surface_get_stride(surface);
    const unsigned char *pixels = cairo_image_surface_get_data(surface);

    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char *out = nullptr;
    unsigned long out_size = 0;
    jpeg_mem_dest(&info, &out, &out_size);
    info.image_width = w;
    info.image_height = h;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);  // TRUE keeps every table entry in 8 bits
    info.optimize_coding = TRUE;
    info.restart_interval = 0;
    jpeg_start_compress(&info, TRUE);

    std::vector<unsigned char> row(3 * w);
    while (info.next_scanline < info.image_height) {
        // cairo's RGB24 is a native-endian 0x00RRGGBB word per pixel
        const uint32_t *src = (const uint32_t *)(pixels + stride * info.next_scanline);
        for (int x = 0; x < w; x++) {
            row[3 * x] = (src[x] >> 16) & 0xFF;
            row[3 * x + 1] = (src[x] >> 8) & 0xFF;
            row[3 * x + 2] = src[x] & 0xFF;
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    bytes result(out, out + out_size);
    free(out);
    return result;
}
