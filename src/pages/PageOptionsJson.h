#pragma once

#include <QJsonObject>
#include <QString>

struct PageOptions;

// A page's options as a JSON object with readable keys ("mustContain", "timeOutSeconds", ...),
// for a page list kept as a file.
namespace PageOptionsJson {

// Only the options that differ from the plain check; the password is never written.
QJsonObject write(const PageOptions& options);
// Takes the keys of the object into options, over the plain check's. Returns what is wrong (an
// unknown key, a value of the wrong type or a wrong value), empty when everything is right.
QString read(const QJsonObject& object, PageOptions& options);

} // namespace PageOptionsJson
