#pragma once
// The base of every error the components raise: a fixed English message.
#include <exception>
#include <string>
#include <utility>

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : Message(std::move(message)) {}
    const char* what() const noexcept override { return Message.c_str(); }

    std::string Message;
};

// The platform could not supply a resource (a timer, a window).
class EOutOfResources : public Exception {
public:
    using Exception::Exception;
};
