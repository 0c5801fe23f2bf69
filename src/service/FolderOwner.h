#pragma once

#include <QString>

// Root editing a service's settings (sudo korvane-headless --import-pages FILE --settings
// /var/lib/korvane/KV.ini) writes the file anew, as root's. The service's own user, who owns the
// folder, could then no longer read its list: so the file goes back to the folder's owner. Nothing
// changes for another user than root, nor for a file that is not a plain file of one name (a link
// put there must not hand over what it points to). Returns why it could not; empty when done or
// not needed.
QString giveToFolderOwner(const QString& file);
