#pragma once

#include <QString>

namespace LocalAddress {

// This computer's first IPv4 address, looked up by its host name; raises when there is none.
QString ipv4();

} // namespace LocalAddress
