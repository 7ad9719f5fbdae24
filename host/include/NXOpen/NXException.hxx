// The exception the platform's object interface throws. Derives from std::exception.
#ifndef NXOPEN_NXEXCEPTION_HXX_INCLUDED
#define NXOPEN_NXEXCEPTION_HXX_INCLUDED
#include <exception>
#include <string>

namespace NXOpen {
class NXException : public std::exception {
public:
    NXException(int code, std::string message) : m_code(code), m_message(std::move(message)) {}
    static NXException Create(int code);
    static NXException Create(const char *message) { return NXException(1, message ? message : ""); }
    const char *what() const noexcept override { return m_message.c_str(); }
    const char *Message() const { return m_message.c_str(); }
    int ErrorCode() const { return m_code; }

private:
    int m_code;
    std::string m_message;
};
}  // namespace NXOpen
#endif
