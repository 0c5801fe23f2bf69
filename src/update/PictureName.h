#pragma once

#include <QString>

// The banner picture's file name comes from a file on a server. It becomes a file in the folder
// that also holds the settings, so only a plain picture name is taken: nothing that could name
// the settings, the program, one of its libraries or a place outside the folder.
namespace PictureName {

// The name the picture address gives: the text after its last "/", "\" or ":". Empty when that
// name is not a plain picture name.
QString fromAddress(const QString& address);

} // namespace PictureName
