#pragma once

#include <QString>

// Reads the lines of a response header, each with the line end it arrived with, and keeps what
// the HTTP client looks at: the reply number, the cookie, the new location, the length and how the
// body is framed.
class ResponseHeaderReader {
public:
    // The status number, the second blank-separated word of the status line. A line end right
    // after the number does not hide it. 0 when the word is not a number, or not one that fits
    // a signed 16-bit reply number.
    static qint16 replyNumber(const QString& statusLine);

    // Takes one header line; returns true when it was the empty line that ends the header.
    // Only field names followed by a blank are recognised ("Location: x", not "Location:x").
    bool takeLine(const QString& line);

    QString CookieIn;         // value of the last Set-Cookie line
    QString Location;         // value of the last Location line
    bool HasLocation = false; // a Location line was seen
    qint32 BytesTotal = 0;    // Content-Length, saturated at 2147483647; 0 when none
    bool HasLength = false;   // a Content-Length line with a number was seen
    bool Chunked = false;     // the last Transfer-Encoding line ends in "chunked"
};
