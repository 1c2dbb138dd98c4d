#pragma once

#include <exception>
#include <string>

namespace sapidoro {

// Base of every error the program reports to the user; the message is UTF-8.
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : m_message(std::move(message)) {}
    const char *what() const noexcept override { return m_message.c_str(); }
    const std::string &message() const noexcept { return m_message; }

private:
    std::string m_message;
};

// Runtime input/output failure ("File not found", "I/O error %d", ...).
class EInOutError : public Exception {
public:
    EInOutError(std::string message, int errorCode)
        : Exception(std::move(message)), m_errorCode(errorCode) {}
    int errorCode() const noexcept { return m_errorCode; }

    // The runtime text for an errno value of a failed open, read or write.
    static EInOutError fromErrno(int err);

private:
    int m_errorCode;
};

// A text that should have been a whole number.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

}  // namespace sapidoro
