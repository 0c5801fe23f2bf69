#pragma once

#include <QString>

// Values the HTTP client puts into its request header; empty means "no such line".
class THeaderInfo {
public:
    QString LocalMailAddress; // From
    QString LocalProgram;     // User-Agent
    QString Cookie;
    QString Referer;
    QString UserId;
    QString Password;
};
