#pragma once

#include <QString>
#include <stdexcept>

// Base of the program's errors: carries the message text that the top-level
// error handler shows.
class Exception : public std::runtime_error {
  public:
    explicit Exception(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& Message() const { return message_; }

  private:
    QString message_;
};

// A file or folder operation refused by the system; the code is the errno value.
class EInOutError : public Exception {
  public:
    EInOutError(const QString& message, int errorCode) : Exception(message), ErrorCode(errorCode) {}
    int ErrorCode;
};

class EInvalidOperation : public Exception {
    using Exception::Exception;
};

class EInvalidGraphic : public Exception {
    using Exception::Exception;
};

// The system has none of something left to give, such as a timer.
class EOutOfResources : public Exception {
    using Exception::Exception;
};

// The text of any exception, as the error handler shows it.
QString ExceptionText(const std::exception& error);
