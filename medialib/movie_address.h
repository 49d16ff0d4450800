#pragma once

#include <QString>

// What a movie or player address plays: the value of its "file" query
// parameter (everything after "file=", since players are handed addresses
// unescaped), or the address itself when it has none.
QString mediaOfMovieAddress(const QString &address);

// True when the flash variables ask for playback to start at once.
bool flashVarsAutostart(const QString &flashVars);
