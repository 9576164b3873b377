// The errors of the program. Each carries its message text; the
// application's general error box shows it.
#pragma once

#include <QString>

#include <exception>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(QString message) : message_(std::move(message)), utf8_(message_.toStdString()) {}
    const QString &Message() const { return message_; }
    const char *what() const noexcept override { return utf8_.c_str(); }

private:
    QString message_;
    std::string utf8_;
};

// An error reported by the database server or the client library.
class EDatabaseError : public Exception {
public:
    using Exception::Exception;
};

// A value that cannot be converted (text that is no integer, ...).
class EConvertError : public Exception {
public:
    using Exception::Exception;
};
