#pragma once

#include <QObject>
#include <functional>

class QIODevice;

enum class UUMethods { uuMime, uuCode };

// Encodes one attachment: Base64 lines of 60 characters (uuMime), or uuencoded lines of 45 bytes
// each with a length character and a closing "`" line (uuCode). Neither writes begin or end lines.
class TNMUUProcessor : public QObject {
    Q_OBJECT
public:
    explicit TNMUUProcessor(QObject* parent = nullptr);

    UUMethods Method = UUMethods::uuMime;
    std::function<void(QObject* Sender)> OnBeginEncode;
    std::function<void(QObject* Sender)> OnEndEncode; // also after a failure

    QIODevice* InputStream = nullptr;  // not owned
    QIODevice* OutputStream = nullptr; // not owned

    // Reads the whole input from its start and writes the encoded lines, each ended by CR LF;
    // rewinds the output at the end.
    void Encode();

private:
    void encodeLines();
};
