// Text as the platform's object interface passes it (UTF-8).
#ifndef NXOPEN_NXSTRING_HXX_INCLUDED
#define NXOPEN_NXSTRING_HXX_INCLUDED
#include <string>

namespace NXOpen {
class NXString {
public:
    NXString() = default;
    NXString(const char *text) : m_text(text ? text : "") {}
    NXString(std::string text) : m_text(std::move(text)) {}
    const char *GetText() const { return m_text.c_str(); }
    const char *GetUTF8Text() const { return m_text.c_str(); }
    const std::string &str() const { return m_text; }
    bool operator==(const NXString &other) const { return m_text == other.m_text; }
    bool operator!=(const NXString &other) const { return m_text != other.m_text; }

private:
    std::string m_text;
};
}  // namespace NXOpen
#endif
