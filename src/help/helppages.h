#pragma once

#include <QString>

// The pages of the help window, in the order of its contents list.
struct HelpPage {
    const char *anchor;
    const char *title;
    const char *html;
};

extern const HelpPage helpPages[];
extern const int helpPageCount;
