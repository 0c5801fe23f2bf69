#pragma once

#include <QString>

// How the settings file keeps an address: the characters that have no place in a URL (those
// outside ASCII, a space) percent-encoded as UTF-8, as a request sends them, so the address
// survives whatever encoding a reader of the file takes it in. A plain ASCII address is kept as
// it is.
QString storedPageAddress(const QString& address);
// The address as it was typed, from its kept form: the percent-encoded UTF-8 of characters
// outside ASCII, and "%20", decoded. The other sequences stay, so the address goes out in the
// same bytes either way.
QString typedPageAddress(const QString& stored);

// A typed address as the page list holds it. The settings file ends every page list item with a
// comma and has no escape for one, so an address keeps its commas percent-encoded ("%2C"), which
// web servers read as the same address. And it is held as it comes back from the settings file,
// so a page stays the same page (to its history, its options, its password) over a restart.
QString storablePageAddress(const QString& typed);

// An address that names a page of the list (one a maintenance window covers, the one a page
// depends on), as the list holds its pages, without a password: it names, it logs in nowhere.
QString namingPageAddress(const QString& typed);
