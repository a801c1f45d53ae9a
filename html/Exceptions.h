#pragma once
// The exception classes of the document model. Every failure the program raises derives
// from Exception and carries a message that can be shown to the user as it stands.

#include <stdexcept>
#include <string>

namespace zv {

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

// Streams.
class EStreamError : public Exception { using Exception::Exception; };
class EReadError : public EStreamError { using EStreamError::EStreamError; };
class EWriteError : public EStreamError { using EStreamError::EStreamError; };
class EFOpenError : public EStreamError { using EStreamError::EStreamError; };
class EFCreateError : public EStreamError { using EStreamError::EStreamError; };

// Lists.
class EStringListError : public Exception { using Exception::Exception; };

// Conversions of text to values.
class EConvertError : public Exception { using Exception::Exception; };

}  // namespace zv
