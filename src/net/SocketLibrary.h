#pragma once

#include <QStringList>

// What the session layer runs on, in the six lines the clients have always shown.
QStringList socketLibraryDescription();
