#pragma once

#include <QByteArray>

// A body sent with "Transfer-Encoding: chunked", taken apart as its bytes arrive: each chunk's
// size line, its data and the line end after it, up to the last chunk (of size 0). Only the data
// comes out. What is held between two feeds is at most one unfinished line, and a line longer
// than LongestLine makes the body malformed: a server that never ends a size line gets no more
// of our memory than that.
class ChunkedDecoder {
public:
    // Far beyond a size and any extension a real server writes after it.
    static constexpr qsizetype LongestLine = 4096;

    // Takes the next bytes as they came; returns the data among them. After the last chunk, or
    // once the body is malformed, nothing more is taken.
    QByteArray feed(QByteArrayView bytes);
    bool finished() const { return state_ == State::Finished; }
    bool malformed() const { return state_ == State::Malformed; }
    // How many bytes of an unfinished line are held.
    qsizetype held() const { return line_.size(); }

private:
    enum class State { Size, Data, DataEnd, Finished, Malformed };

    // Gathers the line that starts at `at`; true once it is whole (at then follows its line feed).
    bool gatherLine(QByteArrayView bytes, qsizetype& at);
    // Acts on a whole line: a chunk's size line, or the line end after its data.
    void takeLine();

    State state_ = State::Size;
    QByteArray line_;
    qint64 left_ = 0; // of the chunk's data
};
