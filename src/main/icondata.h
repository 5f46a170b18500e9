#pragma once

// One size of one icon, as premultiplied ARGB pixels (generated at build time).
struct IconImage {
    const char *name;
    int size;
    const unsigned int *pixels;
};

extern const IconImage iconImages[];
extern const int iconImageCount;
