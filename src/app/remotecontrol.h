#pragma once

#include "core/request.h"

#include <QByteArray>

class EntrySession;
class MainWindow;

// Carries out a request that came over the instance channel, as the window's own controls do.
// `text` receives what the launch prints (Get, List).
void carryOut(MainWindow &window, EntrySession &session, const Request &request, QByteArray *text);

// The entry list of --list: one line an entry, number, tab, name, tab, the first 60 characters
// with line breaks and tabs shown as spaces.
QByteArray entryListing(const EntrySession &session);
