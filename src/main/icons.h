#pragma once

#include <QIcon>

// The program's pictures, drawn as SVG and rendered to PNG at build time.
namespace Icons {

// "snapvale", "paste", "copy", "tab", "open", "save", "exit", "clipexit", "update", "add".
QIcon get(const char *name);

} // namespace Icons
