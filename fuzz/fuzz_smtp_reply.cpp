// Any bytes as a mail server's replies, taken line by line as the mail client takes them: the
// dialogue never crashes, never reads on in a reply past its bound without cutting it off, and
// keeps no more of the extensions than that bound.
#include "net/ByteQueue.h"
#include "net/SmtpDialogue.h"

#include <cstdint>
#include <cstdlib>
#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    // The first byte picks the greeting, so every way through the dialogue gets its turn.
    const uint8_t how = data[0];
    ByteQueue received;
    received.append(QByteArray(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1)));
    SmtpDialogue dialogue;
    SmtpDialogue::Step step = dialogue.greet(
        {bool(how & 1), bool(how & 2), bool(how & 4), "me", "me", (how & 8) ? "user" : "", "secret"});
    qsizetype reply = 0; // bytes of the reply under way
    while (received.hasLine()) {
        using Kind = SmtpDialogue::Kind;
        const QString line = QString::fromLatin1(received.takeLine());
        // The session cuts a longer line off before the dialogue sees it.
        if (line.size() > 4096)
            break;
        reply += line.size();
        try {
            step = dialogue.take(line);
        } catch (const std::out_of_range&) {
            // A reply number past 16 bits ends the mail, as the session layer always did.
            step = dialogue.greet({bool(how & 1), false, false, "me", "me", "", ""});
            reply = 0;
            continue;
        }
        if (step.kind == Kind::Read && !dialogue.replyStarts() && reply > SmtpDialogue::LongestReply)
            std::abort();
        if (dialogue.extensions().join(QString()).size() > SmtpDialogue::LongestReply)
            std::abort();
        if (dialogue.replyStarts())
            reply = 0;
        // Each step the driver would take, taken at once; a dialogue that ended starts anew.
        switch (step.kind) {
        case Kind::StartTls:
            step = dialogue.tlsStarted();
            break;
        case Kind::HeloRefused:
            step = dialogue.retryHelo("again");
            break;
        case Kind::RecipientRefused:
            step = dialogue.recipientNoted();
            break;
        case Kind::Greeted:
            step = dialogue.deliver("ann@a.invalid", {"bob@b.invalid", "<carl@c.invalid>"});
            break;
        case Kind::SendText:
            step = dialogue.textSent();
            break;
        case Kind::Delivered:
            step = dialogue.quit();
            break;
        case Kind::Read:
        case Kind::Send:
            break;
        default:
            step = dialogue.greet({bool(how & 1), false, false, "me", "me", "", ""});
        }
    }
    return 0;
}
