#pragma once

// Why a connection failed, or ended before the peer's reply, as far as the session can tell.
// The check engine turns it into the reason of its "Connection failed" outcome.
enum class ConnectionTrouble {
    None,              // no trouble seen (or one that is none of these)
    Refused,           // the peer refused the connection
    ClosedBeforeReply, // connected, but closed or reset before a reply line came
    Untrusted,         // TLS: the peer's certificate is not trusted (chain or host name)
    SecureFailed,      // TLS: the handshake failed for another reason
};
