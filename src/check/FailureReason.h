#pragma once

#include "net/ConnectionTrouble.h"

#include <QString>

// The reason, in plain words, that a page's fetch failed when no other outcome explains it: the
// trouble the connection ran into, else the text of the error that ended the fetch.
QString failureReason(ConnectionTrouble trouble, const QString& detail, const QString& errorText);
