// The errors of the program. Each carries its message text; the
// application's general error box shows it.
#pragma once

#include <QString>

#include <exception>
#include <string>
#include <vector>

class Exception : public std::exception {
public:
    explicit Exception(QString message) : message_(std::move(message)), utf8_(message_.toStdString()) {}
    const QString &Message() const { return message_; }
    const char *what() const noexcept override { return utf8_.c_str(); }

private:
    QString message_;
    std::string utf8_;
};

// An error reported by the database server or the client library, with the
// error codes of its status vector, in order, and the operating system's
// error number the vector names (0 for none).
class EDatabaseError : public Exception {
public:
    explicit EDatabaseError(QString message, std::vector<long> codes = {}, int systemError = 0)
        : Exception(std::move(message)), codes_(std::move(codes)), systemError_(systemError)
    {
    }
    const std::vector<long> &Codes() const { return codes_; }
    int SystemError() const { return systemError_; }

private:
    std::vector<long> codes_;
    int systemError_;
};

// A value that cannot be converted (text that is no integer, ...).
class EConvertError : public Exception {
public:
    using Exception::Exception;
};
