#pragma once

#include "app/instance.h"
#include "core/request.h"

#include <QByteArray>

class ClipboardHistory;
class EntrySession;
class MainWindow;

// Carries out a request that came over the instance channel, as the window's own controls do,
// and answers it once done: with what the launch prints (Get, List), or with an exit status
// and its reason (a paste that did not happen).
void carryOut(MainWindow &window, EntrySession &session, const Request &request,
              const InstanceServer::Answer &answer);

// The entry list of --list: one line an entry, number, tab, name, tab, the first 60 characters
// with line breaks and tabs shown as spaces.
QByteArray entryListing(const EntrySession &session);

// The history listing of --history: one line an item, newest first: number, tab, age in
// seconds at `nowMs`, tab, the start as --list shows it.
QByteArray historyListing(const ClipboardHistory &history, qint64 nowMs);
