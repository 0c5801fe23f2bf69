#pragma once

#include <QString>
#include <optional>

// Where a redirect reply sends us: the Location field of its header, found without regard to
// letter case as servers write it either way. A relative address is taken relative to the
// address that was redirected. None when the reply names no address.
namespace RedirectTarget {

std::optional<QString> fromHeader(const QString& header, const QString& redirectedURL);

} // namespace RedirectTarget
